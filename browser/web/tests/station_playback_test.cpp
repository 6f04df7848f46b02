// Every page kind plays for real: a player page for a demo clip served over HTTP, the installed
// components, vexahost drawing into the page's window on the X display and sounding on a
// private sound server's null sink. Seen as a user would: the picture moves, the tone arrives,
// Stop leaves no server and silence, a zoom change goes on playing at the new size. The probes
// find exactly the components that are installed.

#include "browser/core/category_box.h"
#include "browser/core/player_page.h"
#include "browser/core/program_folder.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/player_page_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/texts.h"
#include "browser/web/component_libraries.h"
#include "browser/web/component_probes.h"
#include "browser/web/control_window.h"
#include "browser/web/engine_web_view.h"
#include "browser/web/tests/support/demo_stations.h"
#include "browser/web/tests/support/event_waits.h"
#include "catalogue/text_shift.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace kinvo::web {
namespace {

using test_support::DemoClips;
using test_support::registerMovieRuntime;
using test_support::runningServers;
using test_support::settle;
using test_support::waitFor;

using pulse::testing::MonitorRecording;
using pulse::testing::SoundServer;

// The largest sample of a recording's stretch after skipping `skipMs`.
int peak(const std::vector<int16_t>& samples, int skipMs = 0) {
    int highest = 0;
    const std::size_t from = static_cast<std::size_t>(skipMs) * MonitorRecording::kRate *
                             MonitorRecording::kChannels / 1000;
    for (std::size_t i = from; i < samples.size(); ++i) {
        highest = std::max(highest, std::abs(static_cast<int>(samples[i])));
    }
    return highest;
}

// The share of pixels that differ between two grabs, and the share of the page colour.
double changed(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) {
        return 0;
    }
    long differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return static_cast<double>(differing) / (a.width() * a.height());
}

double share(const QImage& image, QRgb colour) {
    long same = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            same += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return image.isNull() ? 1 : static_cast<double>(same) / (image.width() * image.height());
}

namespace tp = kinvo::texts::page;

constexpr QRgb kPageColour = 0x0000C0;  // "0000C0", the default page colour

struct Rig {
    explicit Rig(const QString& components) : libraries(components), probes(libraries) {
        state.dataServer = "127.0.0.1";
        window.setGeometry(0, 0, 800, 600);
        web.view()->setGeometry(0, 0, 800, 600);
        window.show();
    }

    void play(const std::string& address) { page.build(EncodeText(address)); }

    // The picture's area on the screen, grabbed from the display (other programs' windows in).
    QImage grab() {
        ControlWindow* w = web.controlWindow();
        const QPoint origin = w->mapToGlobal(QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, origin.x(), origin.y(), w->width(), w->height())
            .toImage();
    }

    testing::TemporaryHome home;
    QString folder = programFolder();
    ProgramState state;
    SettingsStore settings;
    CategoryBox comboS;
    testing::ScriptedPrompts prompts;
    testing::RecordingShell shell;
    testing::RecordingPlayerView view;
    ComponentLibraries libraries;
    ComponentProbes probes;
    QWidget window;
    EngineWebView web{&window, libraries};
    int zoom = 50;
    PlayerPage page{{state, settings, comboS, prompts, shell, probes, web, view, folder,
                     [this] { return zoom; }}};
};

class StationPlayback : public ::testing::TestWithParam<const char*> {};

TEST_P(StationPlayback, PlaysMovesSoundsStopsAndFollowsTheZoom) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        GTEST_SKIP() << "needs an X display";
    }
    SoundServer sound;
    if (!sound.started()) {
        GTEST_SKIP() << sound.failure();
    }
    static const DemoClips clips{"live.qrx", "film.mov", "news.wmv", "trail.rm", "show.mp4"};
    ASSERT_TRUE(clips.made());
    ASSERT_TRUE(registerMovieRuntime());
    const std::string name = GetParam();

    Rig rig(QStringLiteral(KINVO_COMPONENTS_DIR));
    auto recording = std::make_unique<MonitorRecording>(sound);
    rig.play(clips.url(name));
    ASSERT_TRUE(rig.prompts.shown.empty()) << rig.prompts.shown.front().text;
    ASSERT_TRUE(waitFor([&] { return rig.web.controlWindow()->isVisible(); }, 20000));

    // A moving picture that is not the page.
    QImage first;
    QImage second;
    const bool moving = waitFor(
        [&] {
            first = rig.grab();
            settle(1000);
            second = rig.grab();
            return changed(first, second) > 0.02 && share(second, kPageColour) < 0.5;
        },
        20000);
    EXPECT_TRUE(moving) << "changed " << changed(first, second) << ", page colour "
                        << share(second, kPageColour);
    EXPECT_EQ(runningServers(), 1);

    // A zoom change builds the page anew; playback goes on in the wider window.
    const int narrow = rig.web.controlWindow()->width();
    rig.zoom = 75;
    rig.play(clips.url(name));
    EXPECT_TRUE(waitFor(
        [&] {
            return rig.web.controlWindow()->isVisible() &&
                   rig.web.controlWindow()->width() > narrow + 100;
        },
        20000));
    EXPECT_TRUE(waitFor(
        [&] {
            first = rig.grab();
            settle(1000);
            second = rig.grab();
            return changed(first, second) > 0.02;
        },
        20000));
    // The last page's server ends by itself once its client has let it go (its liveness tick).
    EXPECT_TRUE(waitFor([] { return runningServers() == 1; }, 3000)) << runningServers();
    EXPECT_GT(peak(recording->stop()), 1000) << "no tone reached the sink";

    // Stop: no server left, and silence.
    rig.page.StopPlayer();
    EXPECT_TRUE(waitFor([] { return runningServers() == 0; }, 3000));
    recording = std::make_unique<MonitorRecording>(sound);
    settle(1000);
    EXPECT_LT(peak(recording->stop(), 200), 100) << "the sink still sounds after Stop";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, StationPlayback,
                         ::testing::Values("live.qrx", "film.mov", "news.wmv", "trail.rm",
                                           "show.mp4"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n) {
                                 c = c == '.' ? '_' : c;
                             }
                             return n;
                         });

// Each player's question appears exactly when its component is left out.
TEST(ComponentProbes, AQuestionAppearsExactlyWhenTheComponentIsMissing) {
    struct Case {
        const char* library;  // the component left out
        const char* address;
        std::vector<std::string_view> shown;  // what a missing component's page shows
    };
    const Case cases[] = {
        {"quicktime", "http://127.0.0.1/a.mov", {tp::kQuickTimeQuestion}},
        {"media_player", "http://127.0.0.1/a.wmv", {tp::kNoObject, tp::kWindowsMediaQuestion}},
        {"real_player", "http://127.0.0.1/a.rm", {tp::kRealPlayerQuestion}},
    };
    for (const Case& c : cases) {
        // A program folder with the movie runtime and the plug-ins, and every component but one.
        QTemporaryDir program;
        const QDir bin(QStringLiteral(KINVO_COMPONENTS_DIR "/.."));
        for (const char* item : {"QuickTime.qts", "Plugins", "vexahost"}) {
            QFile::link(bin.filePath(QLatin1String(item)), program.filePath(QLatin1String(item)));
        }
        QDir(program.path()).mkdir(QStringLiteral("Components"));
        const QDir installed(program.filePath(QStringLiteral("Components")));
        for (const QFileInfo& file :
             QDir(QStringLiteral(KINVO_COMPONENTS_DIR)).entryInfoList(QDir::Files)) {
            if (file.completeBaseName() != QLatin1String(c.library)) {
                QFile::copy(file.filePath(), installed.filePath(file.fileName()));
            }
        }
        for (const Case& other : cases) {
            SCOPED_TRACE(std::string(c.library) + " left out, playing " + other.address);
            Rig rig(installed.path());
            rig.prompts.script({Prompts::Answer::Cancel});
            rig.play(other.address);
            std::vector<std::string_view> shown;
            for (const auto& box : rig.prompts.shown) {
                shown.push_back(box.text);
            }
            EXPECT_EQ(shown, &other == &c ? other.shown : std::vector<std::string_view>{});
        }
    }
}

}  // namespace
}  // namespace kinvo::web
