// The main window's place across restarts under a window manager, which puts a frame with a title
// bar around it: what shutdown stores is where the next start-up puts the window again.
#include "browser/core/browser.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/recording_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/ui/frm_main.h"
#include "browser/web/component_libraries.h"
#include "platform/x11/testing/managed_display.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <string>

namespace kinvo {
namespace {

std::string noDisplay;  // why the tests skip: set by main when no managed display could be had

class WindowPlacementTest : public ::testing::Test {
  protected:
    WindowPlacementTest() {
        testing::installCannedCatalogue(fixture);
        SettingsStore settings;
        settings.write("QHShow", "1");
        settings.write("Speed", "Broadband");
        settings.write("AdultSettings", "1");
    }

    // One run of the program: start-up, the window manager frames the window, close.
    void run(QRect& client, QRect& frame) {
        ParsedOptions parsed = parseBrowserOptions({"--discovery", fixture.url("/redirect35.asp")});
        Browser browser(*parsed.options);
        frmMain window(browser, prompts, shell, waveOut, components);
        ASSERT_TRUE(window.startUp());
        // Framed once its outer rectangle is larger; then a moment for the manager's last move.
        QElapsedTimer waited;
        waited.start();
        int settled = 0;
        while (waited.elapsed() < 10000 && settled < 20) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
            settled = window.frameGeometry() != window.geometry() ? settled + 1 : 0;
        }
        client = window.geometry();
        frame = window.frameGeometry();
        window.close();
    }

    testing::TemporaryHome home;
    testing::HttpFixture fixture;
    testing::ScriptedPrompts prompts;
    testing::RecordingShell shell;
    testing::RecordingWaveOut waveOut;
    web::ComponentLibraries components{QString()};  // none installed
};

TEST_F(WindowPlacementTest, RestartsKeepTheWindowWhereItWas) {
    if (!noDisplay.empty()) {
        GTEST_SKIP() << noDisplay;
    }
    SettingsStore().write("Top", "2925");   // 195 pixels at 96 dpi
    SettingsStore().write("Left", "1500");  // 100 pixels
    for (int restart = 0; restart < 3; ++restart) {
        SCOPED_TRACE(restart);
        QRect client, frame;
        run(client, frame);
        EXPECT_LT(frame.top(), client.top());  // a title bar, or this proves nothing
        EXPECT_EQ(client.topLeft(), QPoint(100, 195));
        SettingsStore stored;
        EXPECT_EQ(stored.readText("Top", ""), "2925");
        EXPECT_EQ(stored.readText("Left", ""), "1500");
    }
}

}  // namespace
}  // namespace kinvo

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no display; the runs get one with a window manager on it.
    kinvo::testing::ManagedDisplay display;
    if (!GTEST_FLAG_GET(list_tests)) {
        if (display.start()) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        } else {
            kinvo::noDisplay = display.reason();
        }
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
