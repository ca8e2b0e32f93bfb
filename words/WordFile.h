// The word file: reading it into a WordList and writing a WordList back safely.
#pragma once

#include <string>

class WordList;

// The word file's path: the current directory joined with "WL.txt".
std::string WordFilePath();

// Appends the file's records to `words`; false when the file cannot be opened or a read
// fails part way (the records read before the failure stay appended).
bool LoadWordFile(WordList& words, const std::string& path);

// Writes every entry, replacing the file only once the new content is safely on disk.
// On failure returns false with `message` set to the text for the learner's "Info" box,
// e.g. "Open file '<path>' failed!".
bool SaveWordFile(const WordList& words, const std::string& path, std::string& message);
