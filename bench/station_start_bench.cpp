// Starting stations as the browser does, on the X display and a private sound server:
//  - the time from the start of a station (the player stopped, then its page built, as a double
//    click in the station list does) to the first picture in the page and to the first sound at
//    the sink, for a ".qrx" station (the playback control) and a ".mp4" station (a player
//    component), on the demo's clips served over loopback;
//  - the vexahost processes while 50 stations of every kind are started one after another
//    (never more than one), and after the view is gone (none).
// Run on an X display: build/bench/bench_station_start (QT_QPA_PLATFORM=xcb is set here).
#include <benchmark/benchmark.h>

#include "bench/monitor_tap.h"
#include "browser/core/category_box.h"
#include "browser/core/player_page.h"
#include "browser/core/program_folder.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/player_page_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/web/component_libraries.h"
#include "browser/web/component_probes.h"
#include "browser/web/control_window.h"
#include "browser/web/engine_web_view.h"
#include "browser/web/program_scheme.h"
#include "browser/web/tests/support/demo_stations.h"
#include "browser/web/tests/support/event_waits.h"
#include "catalogue/text_shift.h"
#include "lib/pulse/tests/fixture/sound_server.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using kinvo::bench::MonitorTap;
using kinvo::pulse::testing::SoundServer;
using kinvo::web::test_support::DemoClips;
using kinvo::web::test_support::registerMovieRuntime;
using kinvo::web::test_support::runningServers;
using kinvo::web::test_support::settle;
using kinvo::web::test_support::waitFor;

struct Browser {
    Browser() {
        state.dataServer = "127.0.0.1";
        window.setGeometry(0, 0, 800, 600);
        web->view()->setGeometry(0, 0, 800, 600);
        window.show();
    }
    // What a double click in the station list does to the player.
    void start(const std::string& address) {
        page.StopPlayer();
        page.build(kinvo::EncodeText(address));
    }
    // True once the player's area shows a picture: neither black nor the page.
    bool showsPicture() {
        kinvo::web::ControlWindow* w = web->controlWindow();
        if (!w->isVisible()) {
            return false;
        }
        const QPoint origin = w->mapToGlobal(QPoint(0, 0));
        const QImage image = QGuiApplication::primaryScreen()
                                 ->grabWindow(0, origin.x(), origin.y(), w->width(), w->height())
                                 .toImage()
                                 .scaled(64, 64);
        int lit = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y) & 0xFFFFFF;
                lit += (p != 0 && p != 0x0000C0 && qGray(p) > 24) ? 1 : 0;
            }
        }
        return lit > image.width() * image.height() / 5;
    }

    kinvo::testing::TemporaryHome home;
    QString folder = kinvo::programFolder();
    kinvo::ProgramState state;
    kinvo::SettingsStore settings;
    kinvo::CategoryBox comboS;
    kinvo::testing::ScriptedPrompts prompts;
    kinvo::testing::RecordingShell shell;
    kinvo::testing::RecordingPlayerView view;
    kinvo::web::ComponentLibraries libraries{QStringLiteral(KINVO_COMPONENTS_DIR)};
    kinvo::web::ComponentProbes probes{libraries};
    QWidget window;
    std::unique_ptr<kinvo::web::EngineWebView> web =
        std::make_unique<kinvo::web::EngineWebView>(&window, libraries);
    kinvo::PlayerPage page{
        {state, settings, comboS, prompts, shell, probes, *web, view, folder, [] { return 50; }}};
};

SoundServer& soundServer() {
    static SoundServer server;
    return server;
}

DemoClips& clips() {
    static DemoClips made{"live.qrx", "show.mp4", "film.mov", "news.wmv", "trail.rm"};
    return made;
}

void BM_FirstPictureAndSound(benchmark::State& state, const char* clip) {
    if (!soundServer().started() || !clips().made()) {
        state.SkipWithError("no sound server or no clips");
        return;
    }
    Browser browser;
    MonitorTap tap;
    double pictureMs = 0;
    double soundMs = 0;
    for (auto _ : state) {
        browser.page.StopPlayer();
        waitFor([] { return runningServers() == 0; }, 5000);
        settle(300);
        tap.mark();
        const auto started = Clock::now();
        browser.start(clips().url(clip));
        if (!waitFor([&] { return browser.showsPicture(); }, 20000)) {
            state.SkipWithError("no picture");
            return;
        }
        const auto picture = Clock::now();
        const auto heard = tap.heard(std::chrono::seconds(20));
        if (!heard) {
            state.SkipWithError("no sound");
            return;
        }
        const double seconds = std::chrono::duration<double>(picture - started).count();
        state.SetIterationTime(seconds);
        pictureMs += seconds * 1000;
        soundMs += std::chrono::duration<double, std::milli>(*heard - started).count();
    }
    state.counters["first_picture_ms"] = benchmark::Counter(pictureMs / state.iterations());
    state.counters["first_sound_ms"] = benchmark::Counter(soundMs / state.iterations());
    browser.page.StopPlayer();
    waitFor([] { return runningServers() == 0; }, 5000);
}
BENCHMARK_CAPTURE(BM_FirstPictureAndSound, qrx, "live.qrx")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstPictureAndSound, mp4, "show.mp4")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

void BM_FiftyStationChanges(benchmark::State& state) {
    if (!soundServer().started() || !clips().made() || !registerMovieRuntime()) {
        state.SkipWithError("no sound server, no clips or no movie runtime");
        return;
    }
    const char* const kinds[] = {"live.qrx", "show.mp4", "film.mov", "news.wmv", "trail.rm"};
    int most = 0;
    int afterExit = 0;
    for (auto _ : state) {
        auto browser = std::make_unique<Browser>();
        for (int change = 0; change < 50; ++change) {
            browser->start(clips().url(kinds[change % 5]));
            // Watch the servers while the page starts (a user clicking on at once).
            QDeadlineTimer deadline(change % 10 == 9 ? 3000 : 400);
            while (!deadline.hasExpired()) {
                most = std::max(most, runningServers());
                settle(20);
            }
        }
        browser.reset();  // the browser window goes
        waitFor([] { return runningServers() == 0; }, 5000);
        afterExit = runningServers();
    }
    state.counters["most_servers"] = most;
    state.counters["servers_after_exit"] = afterExit;
}
BENCHMARK(BM_FiftyStationChanges)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    kinvo::web::registerProgramScheme();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
