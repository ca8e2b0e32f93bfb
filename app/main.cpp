// The program's entry: the command line first, then the one application object and the
// hand-over to the framework.
#include "app/CVocabApp.h"
#include "app/CommandLine.h"

CVocabApp theApp;

int main(int argc, char** argv) {
    const CommandLineOutcome outcome = RunCommandLine(argc, argv);
    if (outcome.done) {
        return outcome.status;
    }
    return AfxWinMain(argc, argv);
}
