// Real pages in the browser engine: the playback control page's calls reach C++ in order, the
// control's events reach the page, its window follows the element, and unloading the page
// deinitialises the control.

#include "browser/core/category_box.h"
#include "browser/core/player_page.h"
#include "browser/core/program_folder.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/player_page_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/web/component_factory.h"
#include "browser/web/control_bridge.h"
#include "browser/web/control_window.h"
#include "browser/web/engine_web_view.h"
#include "browser/web/tests/support/event_waits.h"
#include "catalogue/text_shift.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kinvo::web {
namespace {

using test_support::waitFor;

using kinvo::testing::RecordingPlayerView;
using kinvo::testing::RecordingShell;
using kinvo::testing::ScriptedProbes;
using kinvo::testing::ScriptedPrompts;

class RecordingControl final : public component::PlaybackControl {
  public:
    void Release() noexcept override { ++releases; }
    void setCallback(component::PlaybackEvents* events) noexcept override {
        sink = events;
        calls.push_back("setCallback");
    }
    void SetCrossInstanceControl(std::int32_t on) noexcept override {
        record("SetCrossInstanceControl", {on});
    }
    void SetVideoAutoSize(std::int32_t on) noexcept override { record("SetVideoAutoSize", {on}); }
    void SetVideoLogo(std::int32_t on) noexcept override { record("SetVideoLogo", {on}); }
    void SetRetryParams(std::int32_t a, std::int32_t b) noexcept override {
        record("SetRetryParams", {a, b});
    }
    void SetFallbackParams(std::int32_t a, std::int32_t b) noexcept override {
        record("SetFallbackParams", {a, b});
    }
    void SetUseCustomDRMURL(std::int32_t on) noexcept override {
        record("SetUseCustomDRMURL", {on});
    }
    void AppendFileToPlaylist(const char* address) noexcept override {
        calls.push_back("AppendFileToPlaylist(" + std::string(address) + ")");
    }
    void setRepeat(std::int32_t repeat) noexcept override { record("Repeat", {repeat}); }
    void Play() noexcept override { calls.push_back("Play()"); }
    void SetVideoHWND(std::uint64_t window) noexcept override {
        calls.push_back("SetVideoHWND(" + std::to_string(window) + ")");
    }
    void Deinitialize() noexcept override { calls.push_back("Deinitialize()"); }

    bool has(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    std::vector<std::string> calls;
    component::PlaybackEvents* sink = nullptr;
    int releases = 0;

  private:
    void record(const char* name, std::initializer_list<int> values) {
        std::string text = std::string(name) + "(";
        bool first = true;
        for (int v : values) {
            text += (first ? "" : ",") + std::to_string(v);
            first = false;
        }
        calls.push_back(text + ")");
    }
};

class RecordingPlayer final : public component::MediaPlayer {
  public:
    void Release() noexcept override { calls.push_back("Release"); }
    void SetEvents(component::PlayerEvents* e) noexcept override { events = e; }
    void SetParam(const char* name, const char* value) noexcept override { params[name] = value; }
    std::int32_t ShowsControls() noexcept override { return controls; }
    void SetWindow(std::uint64_t w) noexcept override { window = w; }
    void Start() noexcept override { calls.push_back("Start"); }
    void Play() noexcept override { calls.push_back("Play"); }
    void Pause() noexcept override { calls.push_back("Pause"); }
    void Stop() noexcept override { calls.push_back("Stop"); }
    void Seek(std::int32_t ms) noexcept override { calls.push_back("Seek " + std::to_string(ms)); }
    void SetVolume(std::int32_t v) noexcept override {
        calls.push_back("SetVolume " + std::to_string(v));
    }

    std::map<std::string, std::string> params;
    std::vector<std::string> calls;
    component::PlayerEvents* events = nullptr;
    std::uint64_t window = 0;
    std::int32_t controls = 0;
};

// Hands out the rig's objects (released, never deleted).
class RecordingComponents : public ComponentFactory {
  public:
    ControlPtr createPlaybackControl() override {
        ++controlsMade;
        return ControlPtr(&control);
    }
    PlayerPtr createPlayer(const std::string& classId) override {
        playerClasses.push_back(classId);
        return PlayerPtr(&player);
    }

    RecordingControl control;
    RecordingPlayer player;
    int controlsMade = 0;
    std::vector<std::string> playerClasses;
};

struct EngineRig {
    EngineRig() {
        state.dataServer = "127.0.0.1";
        window.resize(800, 600);
        web.view()->setGeometry(0, 0, 800, 600);
        window.show();
    }

    void play(std::string_view plainAddress) { page.build(EncodeText(plainAddress)); }

    QVariant evaluate(const QString& script) {
        QVariant result;
        bool done = false;
        web.view()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(waitFor([&] { return done; }, 10000)) << script.toStdString();
        return result;
    }

    kinvo::testing::TemporaryHome home;
    QString folder = programFolder();
    ProgramState state;
    SettingsStore settings;
    CategoryBox comboS;
    ScriptedPrompts prompts;
    RecordingShell shell;
    ScriptedProbes probes;
    RecordingPlayerView view;
    RecordingComponents components;
    RecordingControl& control = components.control;
    QWidget window;
    EngineWebView web{&window, components};
    int zoom = 50;
    PlayerPage page{{state, settings, comboS, prompts, shell, probes, web, view, folder,
                     [this] { return zoom; }}};
};

TEST(ControlPage, CallsReachTheControlInOrderAndUnloadingDeinitialises) {
    EngineRig rig;
    rig.play("http://127.0.0.1/live.qrx?CDC=abc");
    ASSERT_TRUE(waitFor([&] { return rig.control.has("Play()"); }))
        << "calls so far: " << rig.control.calls.size();
    // The page's end can be reported after its script's first calls: wait for it.
    EXPECT_TRUE(waitFor([&] { return rig.view.layOuts > 0; }));
    EXPECT_TRUE(rig.web.view()->isVisible());
    EXPECT_EQ(rig.view.layOuts, 1);

    const std::vector<std::string> expected = {
        "setCallback",
        "SetCrossInstanceControl(1)",
        "SetVideoAutoSize(0)",
        "SetVideoLogo(0)",
        "SetRetryParams(5,2000)",
        "SetFallbackParams(2,300)",
        "SetUseCustomDRMURL(1)",
        "AppendFileToPlaylist(http://127.0.0.1/live.qrx)",
        "Repeat(1)",
        "Play()",
    };
    EXPECT_EQ(rig.control.calls, expected);

    // The control's window is ready: the page reads hwnd, hands it back and plays again.
    ASSERT_NE(rig.control.sink, nullptr);
    rig.control.sink->SonariMsgEvent(8);
    const std::string setWindow =
        "SetVideoHWND(" + std::to_string(rig.web.controlWindow()->hwnd()) + ")";
    ASSERT_TRUE(waitFor([&] { return rig.control.count("Play()") == 2; }));
    ASSERT_EQ(rig.control.calls.size(), expected.size() + 2);
    EXPECT_EQ(rig.control.calls[expected.size()], setWindow);
    EXPECT_NE(rig.web.controlWindow()->hwnd(), 0u);

    // Other events are accepted and ignored by the page's own handlers.
    rig.control.sink->SonariStatus(208, 1);
    rig.control.sink->SonariMetaData("title=News", 10);

    rig.page.StopPlayer();
    ASSERT_TRUE(waitFor([&] { return rig.control.has("Deinitialize()"); }));
    EXPECT_EQ(rig.control.calls.back(), "Deinitialize()");
    EXPECT_EQ(rig.control.count("Deinitialize()"), 1);
    EXPECT_EQ(rig.control.releases, 1);
    EXPECT_FALSE(rig.web.view()->isVisible());
    EXPECT_FALSE(rig.web.controlWindow()->isVisible());
}

TEST(ControlPage, EventsReachTheSinkThePageRegistered) {
    EngineRig rig;
    rig.play("http://127.0.0.1/live.qrx");
    ASSERT_TRUE(waitFor([&] { return rig.control.has("Play()"); }));
    rig.evaluate(QStringLiteral(
        "window.seen = [];"
        "events.SonariMsgEvent = function (a) { window.seen.push('msg ' + a); };"
        "events.SonariStatus = function (a, b) { window.seen.push('status ' + a + ' ' + b); };"
        "events.SonariMetaData = function (s, n) { window.seen.push('meta ' + s + ' ' + n); };"));
    rig.control.sink->SonariMsgEvent(4);
    rig.control.sink->SonariStatus(208, 3);
    rig.control.sink->SonariMetaData("title=News", 10);
    QString seen;
    ASSERT_TRUE(waitFor(
        [&] {
            seen = rig.evaluate(QStringLiteral("window.seen.join('|')")).toString();
            return seen.count(QLatin1Char('|')) == 2;
        },
        10000));
    EXPECT_EQ(seen.toStdString(), "msg 4|status 208 3|meta title=News 10");
    EXPECT_EQ(rig.evaluate(QStringLiteral("sonarix.hwnd")).toULongLong(),
              rig.web.controlWindow()->hwnd());
}

bool near(const QRect& a, const QRect& b) {
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1 &&
           std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

TEST(ControlPage, TheControlsWindowCoversItsElement) {
    EngineRig rig;
    rig.play("http://127.0.0.1/live.qrx");
    ControlWindow* window = rig.web.controlWindow();
    ASSERT_TRUE(waitFor([&] { return window->isVisible(); }));
    const auto elementRect = [&] {
        const QStringList parts =
            rig.evaluate(QStringLiteral(
                             "(function(){const r=sonarix.getBoundingClientRect();"
                             "return [r.left,r.top,r.width,r.height].map(Math.round).join(',');"
                             "})()"))
                .toString()
                .split(QLatin1Char(','));
        return parts.size() == 4
                   ? QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt())
                   : QRect();
    };
    const QRect first = elementRect();
    EXPECT_GT(first.width(), 300);  // half of the 800 pixels at the default zoom
    EXPECT_TRUE(near(window->geometry(), first));

    // The page lays out anew at another size; the window follows.
    rig.web.view()->resize(600, 400);
    EXPECT_TRUE(waitFor([&] { return window->geometry().width() < first.width() - 50; }))
        << window->geometry().width();
    EXPECT_TRUE(near(window->geometry(), elementRect()));
    EXPECT_TRUE(rig.web.view()->rect().contains(window->geometry()));
}

TEST(ControlPage, OtherPagesNeverReachTheControl) {
    EngineRig rig;
    rig.play("http://127.0.0.1/clip.swf");
    ASSERT_TRUE(waitFor([&] { return rig.web.view()->isVisible(); }));
    // The object element of another player has none of the control's members.
    EXPECT_EQ(
        rig
            .evaluate(QStringLiteral(
                "(function(){const o=document.createElement('object');"
                "o.setAttribute('classid','clsid:d27cdb6e-ae6d-11cf-96b8-444553540000');"
                "document.body.appendChild(o);"
                "try { o.Play(); return 'played'; } catch (e) { return String(o.hwnd); }})()"))
            .toString()
            .toStdString(),
        "undefined");
    rig.page.StopPlayer();
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(rig.control.calls.empty());
    EXPECT_FALSE(rig.web.controlWindow()->isVisible());
}

// The player elements of the other page kinds: the class, the parameters as the page wrote
// them, the window over the picture and, when asked for, a control bar that drives the player.
TEST(PlayerElement, EachKindReachesItsComponentWithItsParameters) {
    struct Case {
        const char* address;
        const char* classId;
        const char* param;  // the parameter that holds the address
        bool showControls;
        int bars;  // bars drawn: 1 below the picture, or 1 in the control panel element
    };
    const Case cases[] = {
        {"http://127.0.0.1/clip.mov", "02bf25d5-8c17-4b23-bc80-d3488abddc6b", "src", false, 0},
        {"http://127.0.0.1/clip.wmv", "22d6f312-b0f6-11d0-94ab-0080c74c7e95", "FileName", true, 1},
        {"http://127.0.0.1/clip.rm", "cfcdaa03-8be4-11cf-b84b-0020afbbccfa", "src", false, 0},
        {"http://127.0.0.1/clip.rm", "cfcdaa03-8be4-11cf-b84b-0020afbbccfa", "src", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + (c.showControls ? " with controls" : ""));
        EngineRig rig;
        rig.settings.write("ShowControls", c.showControls ? "1" : "0");
        rig.components.player.controls = c.showControls ? 1 : 0;
        rig.play(c.address);
        ASSERT_TRUE(waitFor([&] { return !rig.components.player.calls.empty(); }));
        ASSERT_EQ(rig.components.playerClasses.size(), 1u);
        EXPECT_EQ(rig.components.playerClasses[0], c.classId);
        EXPECT_EQ(rig.components.player.params[c.param], c.address);
        EXPECT_EQ(rig.components.player.window, rig.web.controlWindow()->hwnd());
        EXPECT_EQ(rig.components.player.calls.front(), "Start");
        ASSERT_TRUE(waitFor([&] { return rig.web.controlWindow()->isVisible(); }));
        EXPECT_GT(rig.web.controlWindow()->width(), 300);
        // The fallback never loads and no second player is made for a control panel.
        EXPECT_EQ(rig.evaluate(QStringLiteral("document.querySelectorAll('object,embed').length"))
                      .toInt(),
                  0);
        ASSERT_TRUE(waitFor([&] {
            return rig.evaluate(
                          QStringLiteral("document.querySelectorAll('.kinvo-control-bar').length"))
                       .toInt() == c.bars;
        }));
        if (c.bars > 0) {
            // The picture leaves the bar free; the bar drives the player.
            const int barTop =
                rig.evaluate(QStringLiteral("Math.round(document.querySelector("
                                            "'.kinvo-control-bar').getBoundingClientRect().top)"))
                    .toInt();
            EXPECT_LE(rig.web.controlWindow()->geometry().bottom(), barTop);
            rig.components.player.events->PlayerStateChanged(component::PlayerState::kPlaying, 0);
            rig.components.player.events->PlayerPosition(3000, 6000);
            ASSERT_TRUE(waitFor([&] {
                return rig
                    .evaluate(QStringLiteral("document.querySelector('.kinvo-control-bar')"
                                             ".innerText.includes('0:03 / 0:06')"))
                    .toBool();
            }));
            rig.evaluate(QStringLiteral(
                "document.querySelectorAll('.kinvo-control-bar button').forEach(b => b.click())"));
            ASSERT_TRUE(waitFor([&] { return rig.components.player.calls.size() >= 3; }));
            EXPECT_EQ(rig.components.player.calls[1], "Pause");
            EXPECT_EQ(rig.components.player.calls[2], "Stop");
        }
        rig.page.StopPlayer();
        ASSERT_TRUE(waitFor([&] { return rig.components.player.calls.back() == "Release"; }));
        EXPECT_FALSE(rig.web.controlWindow()->isVisible());
    }
}

}  // namespace
}  // namespace kinvo::web
