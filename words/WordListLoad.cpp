#include "words/WordListLoad.h"

#include <QThread>
#include <utility>

WordListLoad::WordListLoad(std::unique_ptr<WordStore> store) : m_store(std::move(store)) {
    if (m_store == nullptr)
        return;
    m_thread.reset(QThread::create([this] { Run(); }));
    m_thread->start();
}

WordListLoad::~WordListLoad() {
    if (m_thread != nullptr)
        m_thread->wait();
}

void WordListLoad::Run() {
    m_loaded = m_store->Load(m_words, m_message);
    m_ran = true;
}

WordListLoad::Result WordListLoad::Finish(WordList& words) {
    Result result;
    if (m_store == nullptr)
        return result;
    // A thread that could not start leaves the read to be done here.
    if (m_thread != nullptr)
        m_thread->wait();
    m_thread.reset();
    if (!m_ran)
        Run();
    if (words.GetCount() == 0) {
        words = std::move(m_words);
        result.loaded = m_loaded;
        result.message = std::move(m_message);
    } else {
        result.loaded = m_store->Load(words, result.message);
    }
    m_words = WordList();
    result.store = std::move(m_store);
    return result;
}
