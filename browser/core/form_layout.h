#pragma once
// Form_Resize's arithmetic: where the main window's floating parts go for a window size, all in
// twips. Pure; the window applies the result to its widgets (and converts to pixels with
// TwipScale). Design sizes are those the window is drawn with.

#include <optional>
#include <string_view>

namespace kinvo {

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// Twips per pixel: 1440 to the inch, so 15 at 96 dots per inch and 10 at 144.
class TwipScale {
  public:
    explicit TwipScale(int logicalDpi = 96) : dpi_(logicalDpi > 0 ? logicalDpi : 96) {}
    int toPixels(int twips) const;  // rounded to the nearest pixel
    int toTwips(int pixels) const;
    int dpi() const { return dpi_; }

  private:
    int dpi_;
};

inline constexpr int kMinimumWindowTwips = 2000;
inline constexpr int kPanelWidth = 9500;
inline constexpr int kPanelHeight = 6255;
inline constexpr int kLargeFontsPanelWidth = 8652;
inline constexpr int kStatWidth = 4935;
inline constexpr int kStatHeight = 615;
inline constexpr int kVolWidth = 5415;
inline constexpr int kVolHeight = 1335;

struct LayoutInput {
    int width = 0;  // the window's outer size
    int height = 0;
    bool minimised = false;
    TwipRect stat;    // lblStat's current size (left and top ignored)
    TwipRect volume;  // frameVol's current size
    bool volumeVisible = false;
    TwipRect panel;  // frameStations' current size
};

struct LayoutResult {
    int width = 0;  // the size the layout used, at least 2000 by 2000
    int height = 0;
    TwipRect web1;
    TwipRect stat;
    std::optional<TwipRect> volume;  // only placed while visible
    TwipRect panel;
};

// Steps 2 and 4 to 8; nullopt for a minimised window (only the tray step runs then).
std::optional<LayoutResult> layOutMainWindow(const LayoutInput& input);

// The fixed placements on the station panel used when the desktop is not at 96 dots per inch.
struct LargeFontsPlacement {
    int panelWidth;  // Picture1 and frameStations
    TwipRect comboS;
    int label6Left, label6Top;
    TwipRect lstStations;
    // The pictures keep their own heights (height 0 here); each label's top follows the bottom
    // of its picture: Label3 20 twips above, Label5 50 above, Label4 10 below.
    TwipRect picTV;
    int label3Left, label3Width, label3BelowPicture;
    TwipRect picSearch;
    int label5Left, label5BelowPicture;
    TwipRect picRate;
    int label4Left, label4Width, label4BelowPicture;
    int frameRateLeft, frameRateTop;
};

// category is the text of the category box: "Video Search" and "Music Video" get the longer list.
LargeFontsPlacement largeFontsPlacement(std::string_view category);

}  // namespace kinvo
