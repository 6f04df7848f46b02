#pragma once
// What start-up and shutdown do to the windows: the splash, the connection-type dialog, the
// main window's placement, look and state, the tray icon and the mouse hook. The windowed
// program implements it with Qt; tests with a recording fake. Geometry is in twips: the window's
// client area (inside any frame a window manager adds), for position and size alike, so that a
// geometry read and set again leaves the window where it was.
// User-interface thread only.

#include "browser/core/form_layout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kinvo {

class MainWindowHost {
  public:
    virtual ~MainWindowHost() = default;

    virtual void showSplash() = 0;  // frmSplash, "Starting..", not waited for
    virtual void setSplashStatus(std::string_view text) = 0;  // lblS
    virtual void closeSplash() = 0;
    // 2 raised to the display's bits per pixel.
    virtual std::int64_t screenColourCount() const = 0;
    virtual void installMouseHook() = 0;
    virtual void removeMouseHook() = 0;  // harmless when none is installed
    // Asks the main window to close; closing runs the shutdown.
    virtual void closeMainWindow() = 0;
    // frmConn, modal; it stores "Speed" itself and can't be left without a choice.
    virtual void showConnectionDialog() = 0;

    virtual void setCaption(std::string_view caption) = 0;
    virtual TwipRect windowGeometry() const = 0;
    virtual void setWindowGeometry(const TwipRect& geometry) = 0;
    virtual int screenWidth() const = 0;  // twips
    virtual int screenHeight() const = 0;
    virtual bool windowMinimisedOrMaximised() const = 0;
    virtual void showWindowNormal() = 0;
    virtual void layOut() = 0;  // Form_Resize
    virtual void setAlwaysOnTop(bool onTop) = 0;
    virtual void setWindowVisible(bool visible) = 0;
    virtual void setWindowEnabled(bool enabled) = 0;
    // Horizontal logical dots per inch of the desktop.
    virtual int desktopLogicalDpiX() const = 0;

    // The tray icon gets the window's icon and this tooltip (it stays hidden until minimised).
    virtual void setTrayIcon(std::string_view tooltip) = 0;
    // The station list's font: its family name and its size in whole points.
    virtual std::string listFontName() const = 0;
    virtual void setListFontName(std::string_view name) = 0;
    virtual int listFontSize() const = 0;
    virtual void setListFontSize(int points) = 0;
    // A colour in the stored form: red in the lowest byte, green, then blue. Setting it colours
    // the window's background, the two labels of the volume display and the status label.
    virtual std::int64_t backgroundColour() const = 0;
    virtual void setBackgroundColour(std::int64_t colour) = 0;
    virtual void showStatLabel() = 0;  // shown and painted at once
    virtual void hideStatLabel() = 0;
    virtual void setStationPanelVisible(bool visible) = 0;  // frameStations
    virtual void StopPlayer() = 0;                          // unloads the player page, Web1 cleared
    virtual void resetZoom() = 0;                           // zoomPercent back to 50
    // Closes every other window of the program (dialogs, the splash); the main window closes
    // itself after its shutdown.
    virtual void closeOtherWindows() = 0;
};

}  // namespace kinvo
