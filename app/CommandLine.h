// The command line: import and export without a window, help, version, and the folder to
// start in. Runs before any toolkit object exists.
#pragma once

struct CommandLineOutcome {
    bool done = false; // true: the program ends with `status`; false: the window starts
    int status = 0;
};

// Handles argv; when the window is to start, the current folder may have changed.
CommandLineOutcome RunCommandLine(int argc, char** argv);
