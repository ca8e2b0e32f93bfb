// The program's entry: the one application object and the hand-over to the framework.
#include "app/CVocabApp.h"

CVocabApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
