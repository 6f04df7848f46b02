// Flash pages in the browser engine: a movie made by ffmpeg's swf muxer plays in the emulator
// with moving pictures and its tone reaching the sound server, and the program's scheme serves
// nothing outside the emulator's folder.

#include "browser/core/category_box.h"
#include "browser/core/player_page.h"
#include "browser/core/program_folder.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/fixture/http_fixture.h"
#include "browser/core/tests/player_page_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/web/component_libraries.h"
#include "browser/web/engine_web_view.h"
#include "browser/web/tests/support/event_waits.h"
#include "catalogue/text_shift.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "lib/pulse/tests/fixture/tone.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>

namespace kinvo::web {
namespace {

using test_support::settle;
using test_support::waitFor;

using kinvo::pulse::testing::MonitorRecording;
using kinvo::pulse::testing::SoundServer;

struct FlashRig {
    FlashRig() {
        state.dataServer = "127.0.0.1";
        window.resize(800, 600);
        web.view()->setGeometry(0, 0, 800, 600);
        window.show();
    }

    // The script's value once its promise settles (a string), or "timeout".
    std::string settle(const QString& promise) {
        const QString start = QStringLiteral(
                                  "window.settled = undefined; Promise.resolve(%1).then("
                                  "v => { window.settled = String(v); },"
                                  "e => { window.settled = 'rejected ' + e; }); 0")
                                  .arg(promise);
        web.view()->page()->runJavaScript(start);
        QString value;
        waitFor(
            [&] {
                bool answered = false;
                web.view()->page()->runJavaScript(QStringLiteral("window.settled"),
                                                  [&](const QVariant& v) {
                                                      value = v.isNull() ? QString() : v.toString();
                                                      answered = true;
                                                  });
                waitFor([&] { return answered; }, 5000);
                return !value.isEmpty();
            },
            15000);
        return value.isEmpty() ? "timeout" : value.toStdString();
    }

    kinvo::testing::TemporaryHome home;
    QString folder = programFolder();
    ProgramState state;
    SettingsStore settings;
    CategoryBox comboS;
    kinvo::testing::ScriptedPrompts prompts;
    kinvo::testing::RecordingShell shell;
    kinvo::testing::ScriptedProbes probes;
    kinvo::testing::RecordingPlayerView view;
    ComponentLibraries components{QString()};  // none installed
    QWidget window;
    EngineWebView web{&window, components};
    PlayerPage page{
        {state, settings, comboS, prompts, shell, probes, web, view, folder, [] { return 50; }}};
};

// The demo's recipe for a Flash clip: Sorenson video and MP3 sound in ffmpeg's swf muxer.
std::string makeMovie(const std::string& folder, int hz) {
    const std::string path = folder + "/clip.swf";
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "
        "testsrc2=size=320x240:rate=15 -f lavfi -i sine=frequency=" +
        std::to_string(hz) +
        ":sample_rate=22050 -t 6 -c:v flv -b:v 250k -c:a libmp3lame -ar 22050 -b:a 32k " + path;
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The share of the image's pixels at which differs(pixel) holds; how many colours it holds.
double share(const QImage& image, const std::function<bool(int, int)>& differs) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += differs(x, y);
        }
    }
    return static_cast<double>(count) / (image.width() * image.height());
}
std::size_t colours(const QImage& image) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            seen.insert(image.pixel(x, y));
        }
    }
    return seen.size();
}

TEST(FlashPage, MoviePlaysWithMovingPicturesAndSound) {
    SoundServer sound;
    if (!sound.started()) {
        GTEST_SKIP() << "no private sound server: " << sound.failure();
    }
    constexpr int kHz = 660;
    const std::string movie = makeMovie(sound.folder(), kHz);
    ASSERT_FALSE(movie.empty()) << "ffmpeg made no movie";
    kinvo::testing::HttpFixture server;
    server.answer("/media/clip.swf", movie);

    MonitorRecording recording(sound);
    FlashRig rig;
    rig.page.build(EncodeText(server.url("/media/clip.swf")));
    ASSERT_TRUE(waitFor([&] { return server.countRequests("/media/clip.swf") > 0; }, 30000))
        << "the emulator never asked for the movie";

    // The box that took the object's place, in window pixels (the view sits at the origin).
    const QStringList parts =
        QString::fromStdString(
            rig.settle(
                QStringLiteral("(function(){const r=document.querySelector('[data-kinvo-flash]')"
                               ".getBoundingClientRect();return [r.left,r.top,r.width,r.height]"
                               ".map(Math.round).join(',');})()")))
            .split(QLatin1Char(','));
    ASSERT_EQ(parts.size(), 4);
    const QRect area(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
    EXPECT_GT(area.width(), 300);  // half of the 800 pixels
    EXPECT_GT(area.height(), 100);

    // The page's own colour, beside the player.
    const auto grab = [&](const QRect& rect) {
        return rig.window.screen()
            ->grabWindow(rig.window.winId(), rect.x(), rect.y(), rect.width(), rect.height())
            .toImage();
    };
    const QRgb pageColour = grab(QRect(790, 590, 1, 1)).pixel(0, 0);
    // The emulator shows a plain area until its first frame: the test picture has many colours.
    QImage first;
    ASSERT_TRUE(waitFor(
        [&] {
            first = grab(area);
            return colours(first) > 50;
        },
        20000))
        << "the player shows " << colours(first) << " colours";
    settle(1000);
    const QImage second = grab(area);
    for (const QImage* image : std::initializer_list<const QImage*>{&first, &second}) {
        EXPECT_GT(share(*image,
                        [&](int x, int y) {
                            return (image->pixel(x, y) & 0xFFFFFF) != (pageColour & 0xFFFFFF);
                        }),
                  0.5);
    }
    EXPECT_GT(share(first, [&](int x, int y) { return first.pixel(x, y) != second.pixel(x, y); }),
              0.01);

    settle(2000);
    const auto tone = kinvo::pulse::testing::measureTone(recording.stop(), 2, 0, 44100);
    ASSERT_TRUE(tone.has_value()) << "no tone reached the sink";
    EXPECT_NEAR(tone->hz, kHz, kHz * 0.02);
    EXPECT_GT(tone->seconds, 2.0);
}

TEST(FlashPage, TheProgramSchemeServesTheEmulatorAndFlashMoviesAlone) {
    kinvo::testing::HttpFixture server;
    server.answer("/media/clip.swf", "FWS movie");
    server.answer("/notes.txt", "private");
    FlashRig rig;
    rig.page.build(EncodeText(server.url("/media/clip.swf")));
    ASSERT_TRUE(waitFor([&] { return rig.view.layOuts > 0; }, 20000));
    const QStringList wasm =
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/ruffle"))
            .entryList({QStringLiteral("*.wasm")});
    ASSERT_FALSE(wasm.isEmpty()) << "no emulator beside the test program";
    const std::string self = QCoreApplication::applicationName().toStdString();
    const auto relay = [&](const std::string& target) {
        return "kinvo-app://program/movie?" +
               QUrl::toPercentEncoding(QString::fromStdString(server.url(target))).toStdString();
    };

    struct Case {
        std::string address;
        std::string answer;  // the content type, or "refused"
    };
    const Case cases[] = {
        {"kinvo-app://program/ruffle/ruffle.js", "text/javascript"},
        {"kinvo-app://program/ruffle/" + wasm.front().toStdString(), "application/wasm"},
        {relay("/media/clip.swf"), "application/x-shockwave-flash"},
        {relay("/notes.txt"), "refused"},
        {relay("/media/missing.swf"), "refused"},
        {"kinvo-app://program/ruffle/missing.js", "refused"},
        {"kinvo-app://program/ruffle/..%2F" + self, "refused"},
        {"kinvo-app://program/ruffle/%2e%2e/" + self, "refused"},
        {"kinvo-app://program/" + self, "refused"},
        {"kinvo-app://elsewhere/ruffle/ruffle.js", "refused"},
    };
    // XMLHttpRequest, unlike the engine's fetch, brings every address to the scheme's handler.
    for (const Case& c : cases) {
        const std::string answer =
            rig.settle(QStringLiteral("new Promise(done => { const r = new XMLHttpRequest();"
                                      "r.open('GET', '%1');"
                                      "r.onload = () => done(r.status === 200 ? "
                                      "r.getResponseHeader('content-type') : 'status ' + r.status);"
                                      "r.onerror = () => done('refused'); r.send(); })")
                           .arg(QString::fromStdString(c.address)));
        EXPECT_EQ(answer, c.answer) << c.address;
    }
    EXPECT_EQ(server.countRequests("/notes.txt"), 0);
}

}  // namespace
}  // namespace kinvo::web
