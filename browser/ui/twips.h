#pragma once
// Design sizes are in twips: 1440 to the inch, 15 to a pixel at 96 dots per inch.

#include <QRect>

namespace kinvo {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

}  // namespace kinvo
