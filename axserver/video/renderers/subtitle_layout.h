#pragma once
// Where a subtitle goes: the font height for a window, the height of a text of several lines,
// and the text's rectangle and alignment inside an area. Pure arithmetic; any thread.

#include <cstdint>
#include <string_view>

#include "platform/x11/window_types.h"

namespace vexa::video {

enum class SubtitleAlign { kLeft, kCentre, kRight };

struct SubtitlePlacement {
    win::RECT rect;       // the text's rectangle: lines run down from its top
    SubtitleAlign align;  // of every line inside rect
    bool bottom = false;  // the text's bottom goes to the rectangle's bottom (y >= 128)
};

// The font's pixel height for a window `clientHeight` tall, with the record's adjustment.
int subtitleFontHeight(int clientHeight, int sizeAdjust) noexcept;

// A text's height: one line's height times the number of lines ("\n" starts a line).
int subtitleTextHeight(std::string_view text, int lineHeight) noexcept;

// Places a text `textHeight` tall in `area` by the record's position bytes: x 0 at the left
// edge, 127 centred, 255 at the right edge; y 0 at the top, 255 at the bottom.
SubtitlePlacement placeSubtitle(win::RECT area, std::uint8_t x, std::uint8_t y,
                                int textHeight) noexcept;

}  // namespace vexa::video
