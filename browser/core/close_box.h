#pragma once
// The close box drawn in the top right corner of the station panel's background picture.

namespace kinvo {

inline constexpr int kCloseBoxLeft = 8310;   // twips from the picture's left edge, included
inline constexpr int kCloseBoxRight = 8640;  // included
inline constexpr int kCloseBoxBottom = 330;  // twips from the top, excluded (as is the top, 0)

// A press at (x, y) twips on Picture1 hides the station panel when this answers true.
constexpr bool inCloseBox(int x, int y) {
    return x >= kCloseBoxLeft && x <= kCloseBoxRight && y > 0 && y < kCloseBoxBottom;
}

}  // namespace kinvo
