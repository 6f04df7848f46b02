// The main window's arithmetic and rules: layout, volume steps, the close box, the mouse hook.
#include "browser/core/close_box.h"
#include "browser/core/form_layout.h"
#include "browser/core/mouse_hook.h"
#include "browser/core/volume_control.h"
#include "browser/core/wave_out.h"

#include <gtest/gtest.h>

namespace kinvo {
namespace {

LayoutInput designInput(int width, int height, bool volumeVisible = false) {
    LayoutInput in;
    in.width = width;
    in.height = height;
    in.stat = {0, 0, kStatWidth, kStatHeight};
    in.volume = {0, 0, kVolWidth, kVolHeight};
    in.volumeVisible = volumeVisible;
    in.panel = {0, 0, kPanelWidth, kPanelHeight};
    return in;
}

TEST(FormLayout, ASmallWindowIsLaidOutAsTwoThousandSquare) {
    const auto out = layOutMainWindow(designInput(1500, 1500, true));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->width, 2000);
    EXPECT_EQ(out->height, 2000);
    EXPECT_EQ(out->web1, (TwipRect{-100, -100, 2300, 1500}));
    EXPECT_EQ(out->stat, (TwipRect{1000 - 2467, 1000 - 307 - 300, kStatWidth, kStatHeight}));
    ASSERT_TRUE(out->volume);
    EXPECT_EQ(*out->volume, (TwipRect{1000 - 2707, 2000 - 1335 - 1000, kVolWidth, kVolHeight}));
    EXPECT_EQ(out->panel, (TwipRect{1000 - 4750, 1000 - 3127 - 300, kPanelWidth, kPanelHeight}));
}

TEST(FormLayout, TheOpeningWindowCentresItsPartsAndKeepsAHiddenVolumeDisplay) {
    const auto out = layOutMainWindow(designInput(12000, 9500));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->web1, (TwipRect{-100, -100, 12300, 9000}));
    EXPECT_EQ(out->panel.left, 6000 - 4750);
    EXPECT_EQ(out->panel.top, 4750 - 3127 - 300);
    EXPECT_EQ(out->stat.left, 6000 - 2467);
    EXPECT_FALSE(out->volume);

    LayoutInput minimised = designInput(12000, 9500);
    minimised.minimised = true;
    EXPECT_FALSE(layOutMainWindow(minimised));
}

TEST(FormLayout, LargeFontsPlacementsFollowTheCategory) {
    const auto music = largeFontsPlacement("Music Video");
    const auto search = largeFontsPlacement("Video Search");
    const auto news = largeFontsPlacement("News");
    EXPECT_EQ(music.lstStations, (TwipRect{860, 700, 7750, 5100}));
    EXPECT_EQ(search.lstStations.height, 5100);
    EXPECT_EQ(news.lstStations.height, 4000);
    EXPECT_EQ(news.panelWidth, 8652);
    EXPECT_EQ(news.comboS, (TwipRect{5000, 260, 3000, 200}));
    EXPECT_EQ(news.picSearch.top, 2100);
    EXPECT_EQ(news.label3BelowPicture, -20);
    EXPECT_EQ(news.label5BelowPicture, -50);
    EXPECT_EQ(news.label4BelowPicture, 10);
    EXPECT_EQ(news.frameRateTop, 4700);
}

TEST(TwipScale, ConvertsAtTheDesktopsResolution) {
    const struct {
        int dpi, twips, pixels;
    } cases[] = {{96, 9500, 633},  {96, -100, -7},     {96, 15, 1},
                 {144, 9500, 950}, {120, 12000, 1000}, {0, 150, 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(TwipScale(c.dpi).toPixels(c.twips), c.pixels) << c.dpi << " " << c.twips;
    }
    EXPECT_EQ(TwipScale(96).toTwips(800), 12000);
    EXPECT_EQ(TwipScale(144).toTwips(800), 8000);
}

class RecordingWaveOut : public WaveOut {
  public:
    bool setVolume(std::uint32_t value) override {
        values.push_back(value);
        return false;  // a refusing device changes nothing for the caller
    }
    std::vector<std::uint32_t> values;
};

class RecordingVolumeView : public VolumeView {
  public:
    void showVolumeDisplay() override { ++shown; }
    void startVolumeTimer() override { ++timers; }
    void setVolumeMarks(const std::string& m) override { marks = m; }
    void layOut() override { ++layOuts; }
    int shown = 0, timers = 0, layOuts = 0;
    std::string marks = "unset";
};

std::string marks(int bars) {
    std::string out;
    for (int i = 0; i < bars; ++i)
        out += "|    ";
    return out;
}

TEST(VolumeControl, TenStepsDownReachSilenceAndTenUpComeBack) {
    RecordingWaveOut device;
    RecordingVolumeView view;
    VolumeControl control(device, view);
    const std::int32_t down[] = {58981, 52427, 45873, 39319, 32765, 26211,
                                 19657, 13103, 6549,  0,     0};
    for (int i = 0; i < 11; ++i) {
        control.vol(false);
        EXPECT_EQ(control.volumeLevel(), down[i]) << i;
        const int bars = i < 9 ? 9 - i : 0;
        EXPECT_EQ(control.bars(), bars) << i;
        EXPECT_EQ(view.marks, marks(bars)) << i;
        const auto level = static_cast<std::uint32_t>(down[i]);
        EXPECT_EQ(device.values.back(), level | (level << 16)) << i;
    }
    const std::int32_t up[] = {6554,  13108, 19662, 26216, 32770, 39324,
                               45878, 52432, 58986, 65535, 65535};
    for (int i = 0; i < 11; ++i) {
        control.vol(true);
        EXPECT_EQ(control.volumeLevel(), up[i]) << i;
        EXPECT_EQ(control.bars(), std::min(i + 1, 10)) << i;
    }
    EXPECT_EQ(device.values.back(), 0xFFFF'FFFFu);
    EXPECT_EQ(view.marks, marks(10));
    EXPECT_EQ(view.shown, 2 * 22);
    EXPECT_EQ(view.timers, 22);
    EXPECT_EQ(view.layOuts, 22);
}

TEST(VolumeControl, BarsRoundHalvesToEven) {
    const struct {
        std::int32_t level;
        int bars;
    } cases[] = {{65535, 10}, {6549, 1}, {3277, 0},  {3278, 1},
                 {3276, 0},   {9831, 2}, {16385, 2}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(volumeBars(c.level), c.bars) << c.level;
    }
}

TEST(CloseBox, CoversItsTwipRangeWithBothEndsIncluded) {
    const struct {
        int x, y;
        bool hit;
    } cases[] = {{8300, 100, false}, {8309, 100, false}, {8310, 100, true},
                 {8640, 100, true},  {8641, 100, false}, {8310, 0, false},
                 {8310, 1, true},    {8310, 329, true},  {8310, 330, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(inCloseBox(c.x, c.y), c.hit) << c.x << "," << c.y;
    }
}

TEST(MouseHook, SwallowsRightReleasesOverThePlayerOnly) {
    const struct {
        int code, message;
        std::string_view target;
        bool swallowed;
    } cases[] = {
        {0, kRightButtonUp, kWebDocumentClass, true},
        {0, kRightButtonUp, kPlayerWindowClass, true},
        {3, kRightButtonUp, kWebDocumentClass, true},
        {0, kRightButtonUp, "SBListClass", false},  // the station list
        {-1, kRightButtonUp, kWebDocumentClass, false},
        {0, 0x204, kWebDocumentClass, false},  // the press itself passes
        {0, kRightButtonUp, "Internet Explorer_Server2", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MouseHook(c.code, c.message, c.target), c.swallowed) << c.target;
    }
}

}  // namespace
}  // namespace kinvo
