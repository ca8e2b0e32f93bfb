// Reads the word file on a thread of its own, so that a long list is parsed while the window
// that shows it is being built.
#pragma once

#include <memory>
#include <pthread.h>
#include <string>

#include "words/WordList.h"
#include "words/WordStore.h"

class WordListLoad {
public:
    // Starts reading through `store`, which is the load's until Finish hands it back.
    explicit WordListLoad(std::unique_ptr<WordStore> store);
    ~WordListLoad(); // waits for the read: the thread uses the store
    WordListLoad(const WordListLoad&) = delete;
    WordListLoad& operator=(const WordListLoad&) = delete;

    struct Result {
        std::unique_ptr<WordStore> store;
        bool loaded = false; // as WordStore::Load gives it, with its message
        std::string message;
    };
    // Waits for the read and gives what WordStore::Load into `words` would have: the read
    // list when `words` is empty, else a load made afresh after it. Once only.
    Result Finish(WordList& words);

private:
    static void* RunThread(void* load);
    void Run();
    void Wait();

    std::unique_ptr<WordStore> m_store;
    pthread_t m_thread{};
    bool m_started = false;
    WordList m_words;
    std::string m_message;
    bool m_loaded = false;
    bool m_ran = false; // the thread did the read (there may have been no thread to do it)
};
