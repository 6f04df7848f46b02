#include "browser/core/form_layout.h"

#include "browser/core/texts.h"

#include <algorithm>

namespace kinvo {

namespace {
constexpr int kTwipsPerInch = 1440;

// Half of a size as the layout takes it: whole twips, rounded down.
constexpr int half(int twips) {
    return twips / 2;
}

TwipRect centredAbove(int width, int height, const TwipRect& item) {
    return {half(width) - half(item.width), half(height) - half(item.height) - 300, item.width,
            item.height};
}
}  // namespace

int TwipScale::toPixels(int twips) const {
    // Round half away from zero so that -100 twips is -7 pixels at 96 dpi as 100 is 7.
    const long long scaled = static_cast<long long>(twips) * dpi_;
    const long long rounded = scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                          : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch);
    return static_cast<int>(rounded);
}

int TwipScale::toTwips(int pixels) const {
    return static_cast<int>(static_cast<long long>(pixels) * kTwipsPerInch / dpi_);
}

std::optional<LayoutResult> layOutMainWindow(const LayoutInput& input) {
    if (input.minimised) {
        return std::nullopt;
    }
    LayoutResult out;
    out.width = std::max(input.width, kMinimumWindowTwips);
    out.height = std::max(input.height, kMinimumWindowTwips);
    const int w = out.width;
    const int h = out.height;
    // Web1's border lies outside the window on every side but the bottom.
    out.web1 = {-100, -100, w + 300, h - (-100) - 600};
    out.stat = centredAbove(w, h, input.stat);
    if (input.volumeVisible) {
        out.volume = TwipRect{half(w) - half(input.volume.width), h - input.volume.height - 1000,
                              input.volume.width, input.volume.height};
    }
    out.panel = centredAbove(w, h, input.panel);
    return out;
}

LargeFontsPlacement largeFontsPlacement(std::string_view category) {
    const bool longList = category == texts::kVideoSearch || category == texts::kMusicVideo;
    LargeFontsPlacement p{};
    p.panelWidth = kLargeFontsPanelWidth;
    p.comboS = {5000, 260, 3000, 200};
    p.label6Left = 4500;
    p.label6Top = 60;
    p.lstStations = {860, 700, 7750, longList ? 5100 : 4000};
    p.picTV = {102, 600, 600, 0};
    p.label3Left = 60;
    p.label3Width = 800;
    p.label3BelowPicture = -20;
    p.picSearch = {102, 2100, 600, 0};
    p.label5Left = 80;
    p.label5BelowPicture = -50;
    p.picRate = {102, 3800, 600, 0};
    p.label4Left = 102;
    p.label4Width = 600;
    p.label4BelowPicture = 10;
    p.frameRateLeft = 100;
    p.frameRateTop = 4700;
    return p;
}

}  // namespace kinvo
