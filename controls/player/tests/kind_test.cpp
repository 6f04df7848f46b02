// The three player kinds without a server: what each makes of an element's parameters (the
// address and its rollover, starting by itself, the control bar), which identifiers create a
// player, and what their probe objects answer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "controls/media_player/kind.h"
#include "controls/player/player_library.h"
#include "controls/quicktime/kind.h"
#include "controls/real_player/kind.h"

namespace {

using namespace kinvo::controls;
namespace fs = std::filesystem;

using Addresses = std::vector<std::string>;

TEST(PlayerKinds, ParametersGiveTheAddressesAutostartAndControlBar) {
    struct Case {
        const PlayerKind* kind;
        ElementParams params;
        Addresses addresses;
        bool autostart;
        bool controls;
    };
    const Case cases[] = {
        {&kMoviePlayerKind, {{"SRC", "http://h/a.mov"}}, {"http://h/a.mov"}, true, false},
        {&kMoviePlayerKind,
         {{"src", " http://h/a.mov "}, {"AutoPlay", "false"}, {"controller", "TRUE"}},
         {"http://h/a.mov"},
         false,
         true},
        {&kMoviePlayerKind, {{"controller", "false"}, {"autoplay", "true"}}, {}, true, false},
        {&kMediaPlayerKind,
         {{"filename", "mms://h/live"}, {"autostart", "0"}, {"showcontrols", "1"}},
         {"mms://h/live", "http://h/live"},
         false,
         true},
        {&kMediaPlayerKind,
         {{"FileName", "MMS://h/x"}, {"ShowControls", "true"}},
         {"MMS://h/x", "http://h/x"},
         true,
         true},
        {&kMediaPlayerKind,
         {{"FileName", "http://h/x.asf"}, {"ShowControls", "0"}, {"AutoStart", "-1"}},
         {"http://h/x.asf"},
         true,
         false},
        {&kStreamingPlayerKind,
         {{"src", "rtsp://h/s.rm"}, {"controls", "ImageWindow"}, {"autostart", "false"}},
         {"rtsp://h/s.rm"},
         false,
         false},
        {&kStreamingPlayerKind,
         {{"src", "rtsp://h/s.rm"}, {"controls", "StatusBar, ControlPanel"}},
         {"rtsp://h/s.rm"},
         true,
         true},
        {&kStreamingPlayerKind, {{"SRC", "a.ram"}, {"CONTROLS", "all"}}, {"a.ram"}, true, true},
        // The last value of a parameter given twice counts; mms is the media player's only.
        {&kStreamingPlayerKind, {{"src", "x"}, {"src", "mms://h/y"}}, {"mms://h/y"}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind->progId) + " " + c.params.front().second);
        PlayerSetup setup = resolveSetup(*c.kind, c.params);
        EXPECT_EQ(setup.addresses, c.addresses);
        EXPECT_EQ(setup.autostart, c.autostart);
        EXPECT_EQ(setup.showsControls, c.controls);
    }
}

TEST(PlayerKinds, OnlyTheirOwnClassAndVersionCreateAPlayer) {
    const void* self = reinterpret_cast<const void*>(&resolveSetup);
    for (const PlayerKind* kind : {&kMoviePlayerKind, &kMediaPlayerKind, &kStreamingPlayerKind}) {
        std::string lower(kind->classId);
        for (char& ch : lower) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        kinvo::component::MediaPlayer* player =
            createPlayer(*kind, self, lower.c_str(), kinvo::component::kAbiVersion);
        ASSERT_NE(player, nullptr) << kind->classId;
        player->SetParam("controls", "All");
        player->SetParam("controller", "true");
        player->SetParam("ShowControls", "1");
        EXPECT_EQ(player->ShowsControls(), 1);
        player->Release();
        EXPECT_EQ(createPlayer(*kind, self, lower.c_str(), kinvo::component::kAbiVersion + 1),
                  nullptr);
        EXPECT_EQ(createPlayer(*kind, self, "7A3C0E51-9D24-4B8F-B6E2-51C9D0A4F3B8",
                               kinvo::component::kAbiVersion),
                  nullptr);
    }
}

TEST(PlayerKinds, ProbesAnswerTheirOwnObjectAndMember) {
    const void* self = reinterpret_cast<const void*>(&resolveSetup);
    char text[32];
    EXPECT_EQ(answerProbe(kMediaPlayerKind, self, "wmplayer.ocx", "VersionInfo", text, 32), 1);
    EXPECT_GE(std::atoi(text), 9);
    EXPECT_EQ(answerProbe(kStreamingPlayerKind, self, "rmocx.RealPlayer G2 Control",
                          "GetVersionInfo", text, 32),
              1);
    EXPECT_STREQ(text, "6.0.14.806");
    EXPECT_EQ(answerProbe(kStreamingPlayerKind, self, "rmocx.RealPlayer G2 Control",
                          "GetVersionInfo", text, 4),
              1);
    EXPECT_STREQ(text, "6.0");  // cut to the size given
    EXPECT_EQ(answerProbe(kMediaPlayerKind, self, "WMPlayer.OCX", "Play", text, 32), 0);
    EXPECT_EQ(answerProbe(kMediaPlayerKind, self, "QuickTimeCheckObject.QuickTimeCheck.1",
                          "IsQuickTimeAvailable", text, 32),
              -1);

    // The movie runtime counts as there only with its input plug-in beside it.
    char pattern[] = "/tmp/kinvo-probe-XXXXXX";
    const fs::path folder = ::mkdtemp(pattern);
    EXPECT_EQ(kMoviePlayerKind.probe(folder.string()), "0");
    std::ofstream(folder / "QuickTime.qts") << "x";
    EXPECT_EQ(kMoviePlayerKind.probe(folder.string()), "0");
    fs::create_directory(folder / "Plugins");
    std::ofstream(folder / "Plugins" / "in_mova.so") << "x";
    EXPECT_EQ(kMoviePlayerKind.probe(folder.string()), "1");
    fs::remove_all(folder);
}

}  // namespace
