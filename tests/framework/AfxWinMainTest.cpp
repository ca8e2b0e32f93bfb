// The program's entry: locale from the environment, a toolkit that never sees the arguments,
// one InitInstance and the exit status of ExitInstance.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <clocale>
#include <cstdlib>
#include <string>

#include "framework/CWinApp.h"

namespace {

class ProbeApp : public CWinApp {
public:
    int initCalls = 0;
    bool toolkitOpen = false;
    QStringList arguments;
    std::size_t maxCharBytes = 0;
    BOOL initResult = FALSE;

    BOOL InitInstance() override {
        ++initCalls;
        toolkitOpen = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        arguments = QCoreApplication::arguments();
        maxCharBytes = MB_CUR_MAX;
        return initResult;
    }
    int ExitInstance() override { return 7; }
};

TEST(AfxWinMain, RunsInitInstanceOnceWithTheLocalesCodeSetAndIgnoresArguments) {
    const std::string previousLocale = std::setlocale(LC_ALL, nullptr);
    setenv("QT_QPA_PLATFORM", "offscreen", 0); // this program has no display
    for (BOOL initResult : {FALSE, TRUE}) {
        ProbeApp app;
        app.initResult = initResult;
        ASSERT_EQ(AfxGetApp(), &app);
        setenv("LC_ALL", "C.UTF-8", 1);
        // The toolkit would stop at once if it read this platform argument.
        char name[] = "vocamint";
        char platform[] = "-platform";
        char bogus[] = "no-such-platform";
        char* argv[] = {name, platform, bogus, nullptr};
        EXPECT_EQ(AfxWinMain(3, argv), 7);
        EXPECT_EQ(app.initCalls, 1);
        EXPECT_TRUE(app.toolkitOpen);
        EXPECT_EQ(app.arguments, QStringList{"vocamint"});
        EXPECT_EQ(app.maxCharBytes, 6u); // UTF-8
        EXPECT_EQ(QCoreApplication::instance(), nullptr);
    }
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, previousLocale.c_str());
    EXPECT_EQ(AfxGetApp(), nullptr);
}

// Under the C or POSIX locale text is UTF-8, as most programs make it today.
TEST(AfxWinMain, MakesTheCAndPosixLocalesUtf8) {
    const std::string previousLocale = std::setlocale(LC_ALL, nullptr);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    for (const char* locale : {"C", "POSIX"}) {
        ProbeApp app;
        setenv("LC_ALL", locale, 1);
        char name[] = "vocamint";
        char* argv[] = {name, nullptr};
        AfxWinMain(1, argv);
        EXPECT_EQ(app.maxCharBytes, 6u) << locale;
    }
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, previousLocale.c_str());
}

} // namespace
