#include "words/WordListLoad.h"

#include <utility>

WordListLoad::WordListLoad(std::unique_ptr<WordStore> store) : m_store(std::move(store)) {
    if (m_store == nullptr)
        return;
    // Without a thread (none could be made) Finish does the read itself.
    m_started = ::pthread_create(&m_thread, nullptr, &WordListLoad::RunThread, this) == 0;
}

WordListLoad::~WordListLoad() {
    Wait();
}

void* WordListLoad::RunThread(void* load) {
    static_cast<WordListLoad*>(load)->Run();
    return nullptr;
}

void WordListLoad::Run() {
    m_loaded = m_store->Load(m_words, m_message);
    m_ran = true;
}

void WordListLoad::Wait() {
    if (m_started) {
        ::pthread_join(m_thread, nullptr);
        m_started = false;
    }
}

WordListLoad::Result WordListLoad::Finish(WordList& words) {
    Result result;
    if (m_store == nullptr)
        return result;
    Wait();
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
