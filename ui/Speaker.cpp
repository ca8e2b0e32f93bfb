#include "ui/Speaker.h"

#include <QLocale>
#include <QTextToSpeech>
#include <QVoice>

Speaker::Speaker() = default;
Speaker::~Speaker() = default;

QString Speaker::Unavailable() {
    if (!m_checked) {
        m_checked = true;
        if (QTextToSpeech::availableEngines().isEmpty())
            m_unavailable = QStringLiteral(
                "No speech engine is installed: install speech-dispatcher or the flite plugin "
                "of Qt (qt6-speech-speechd-plugin, qt6-speech-flite-plugin).");
    }
    return m_unavailable;
}

bool Speaker::Say(const QString& text) {
    if (!Unavailable().isEmpty() || text.isEmpty())
        return false;
    if (!m_speech) {
        m_speech = std::make_unique<QTextToSpeech>();
        // An English voice when the engine has one; its own default otherwise.
        for (const QLocale& locale : m_speech->availableLocales()) {
            if (locale.language() == QLocale::English) {
                m_speech->setLocale(locale);
                break;
            }
        }
    }
    m_speech->stop();
    m_speech->say(text);
    m_lastSaid = text;
    return true;
}
