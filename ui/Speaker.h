// Reads a word aloud through the desktop's speech service or a built-in synthesizer; the
// speech module is loaded on the first word, so start-up does not wait for it.
#pragma once

#include <QString>
#include <memory>

class QTextToSpeech;

class Speaker {
public:
    Speaker();
    ~Speaker();

    // Why nothing can be spoken, or an empty text when an engine is installed. Asked once.
    QString Unavailable();
    // Starts reading `text` in an English voice and returns at once; false without an engine.
    bool Say(const QString& text);
    const QString& LastSaid() const { return m_lastSaid; }

private:
    std::unique_ptr<QTextToSpeech> m_speech;
    QString m_unavailable;
    bool m_checked = false;
    QString m_lastSaid;
};
