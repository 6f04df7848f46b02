#pragma once
// Where a stream's picture goes: the size the window takes for it (auto-size) and the letterbox
// inside a rectangle. Pure arithmetic; any thread.
//
// The aspect is the stream's pixel aspect: the picture shows height x aspect tall for width
// wide. An aspect at or below 0.001 (0 among them) counts as square for both, so a stream that
// declares none is neither squashed to nothing nor stretched.

#include "platform/x11/window_types.h"

namespace vexa::video {

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The inside size the window takes after an open: the taller of the two readings grows (an
// aspect of 1 or more stretches the height, a smaller one the width), truncated.
PictureSize displaySize(int width, int height, double aspect) noexcept;

// `rect` shrunk to the picture's shape and centred; an odd pad leaves the extra pixel at the
// bottom or right. A stream without a size (width or height 0 or less) keeps the rectangle.
win::RECT fitPicture(win::RECT rect, int width, int height, double aspect) noexcept;

}  // namespace vexa::video
