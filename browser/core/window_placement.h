#pragma once
// Where the main window opens and what is stored of it at exit, in twips. Pure.

#include "browser/core/form_layout.h"

#include <optional>
#include <string>

namespace kinvo {

class SettingsStore;

// Settings texts as read; a text that is not a whole number leaves that value as it was.
struct StoredPlacement {
    std::string width;                // "Width", default 1000
    std::string height;               // "Height", default 1000
    std::optional<std::string> top;   // "Top"; nullopt: never written (a centring default)
    std::optional<std::string> left;  // "Left"
};

StoredPlacement readStoredPlacement(const SettingsStore& settings);

// The size every window opens with, whatever was stored.
inline constexpr int kOpeningWindowWidth = 12000;
inline constexpr int kOpeningWindowHeight = 9500;

// Start-up's placement steps: the size from "Width" and "Height", the top and left from "Top"
// and "Left" (never stored: centred for the opening size), then a window off the
// screen is brought back: a top below 0 or beyond the screen height becomes half the screen
// height, then a left beyond the screen width or below 0 half the screen width.
// current is the window's geometry before the steps; screenWidth/Height the screen in twips.
TwipRect startupPlacement(const StoredPlacement& stored, TwipRect current, int screenWidth,
                          int screenHeight);

// Stores the normal geometry in "Top", "Left", "Width" and "Height" as decimal twips.
void storePlacement(SettingsStore& settings, const TwipRect& normal);

}  // namespace kinvo
