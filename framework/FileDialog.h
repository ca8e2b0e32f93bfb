// The toolkit's file choosers, for dialogs that ask for a file to read or to write.
#pragma once

#include <string>

class CWnd;

// `filter` as the toolkit takes it: "Word lists (*.csv *.tsv);;All files (*)". On OK, `path`
// is the chosen file in the file system's own bytes; false when the learner cancelled.
bool AfxGetOpenFileName(CWnd* owner, const char* filter, std::string& path);
// The same for a file to write; the toolkit asks before an existing file is replaced.
bool AfxGetSaveFileName(CWnd* owner, const char* filter, std::string& path);
// A folder: one that exists, or one the learner makes in the chooser. `title` is the
// chooser's caption.
bool AfxGetFolderName(CWnd* owner, const char* title, std::string& path);
