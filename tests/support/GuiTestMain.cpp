// Main of the GUI test programs: a QApplication on the offscreen platform, the application
// object the dialogs look for, and the C library's code set set to UTF-8.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <clocale>
#include <memory>

#include "framework/CWinApp.h"
#include "framework/ProgramStyle.h"
#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "tests/support/DialogDriver.h"

namespace {

// Message-box watchers must not outlive the test that armed them.
class DisarmWatchers : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { CancelMessageBoxWatchers(); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The learner's own preferences stay untouched by windows the tests open.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // A screen on which the window fits at every zoom, unless a test names another.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VOCAMINT_TEST_SCREENS "/screen-4k.json");
    AfxSetResourceModule(VocamintResources());
    QApplication application(argc, argv);
    // The toolkit sets the locale from the environment; the tests expect UTF-8 throughout.
    std::setlocale(LC_ALL, "C.UTF-8");
    UseProgramStyle(); // as the program's entry routine gives it
    // A desktop without optional plugins (speech engines, say): none is found from here on.
    // The platform plugin is loaded already.
    if (qEnvironmentVariableIsSet("VOCAMINT_TEST_NO_PLUGINS"))
        QCoreApplication::setLibraryPaths({});
    // A program's own application object may already exist in the tests that link it.
    std::unique_ptr<CWinApp> app;
    if (AfxGetApp() == nullptr)
        app = std::make_unique<CWinApp>();
    ::testing::UnitTest::GetInstance()->listeners().Append(new DisarmWatchers);
    return RUN_ALL_TESTS();
}
