#pragma once
// A main window for the dialogs' tests: it keeps the station list's font and the background
// colour it is given and counts layouts; everything else it is asked does nothing.

#include "browser/core/main_window_host.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kinvo::testing {

class RecordingHost : public MainWindowHost {
  public:
    std::string listFontName() const override { return fontName; }
    void setListFontName(std::string_view name) override { fontName = name; }
    int listFontSize() const override { return fontSize; }
    void setListFontSize(int points) override { fontSize = points; }
    std::int64_t backgroundColour() const override { return background; }
    void setBackgroundColour(std::int64_t colour) override { background = colour; }
    void layOut() override { ++layOuts; }

    void showSplash() override {}
    void setSplashStatus(std::string_view) override {}
    void closeSplash() override {}
    std::int64_t screenColourCount() const override { return std::int64_t{1} << 24; }
    void installMouseHook() override {}
    void removeMouseHook() override {}
    void closeMainWindow() override {}
    void showConnectionDialog() override {}
    void setCaption(std::string_view) override {}
    TwipRect windowGeometry() const override { return {0, 0, 12000, 9500}; }
    void setWindowGeometry(const TwipRect&) override {}
    int screenWidth() const override { return 19200; }
    int screenHeight() const override { return 15360; }
    bool windowMinimisedOrMaximised() const override { return false; }
    void showWindowNormal() override {}
    void setAlwaysOnTop(bool) override {}
    void setWindowVisible(bool) override {}
    void setWindowEnabled(bool) override {}
    int desktopLogicalDpiX() const override { return 96; }
    void setTrayIcon(std::string_view) override {}
    void showStatLabel() override {}
    void hideStatLabel() override {}
    void setStationPanelVisible(bool) override {}
    void StopPlayer() override {}
    void resetZoom() override {}
    void closeOtherWindows() override {}

    std::string fontName = "Design Sans";
    int fontSize = 8;
    std::int64_t background = 0x00C000;
    int layOuts = 0;
};

}  // namespace kinvo::testing
