#pragma once
// The order in which the video output tries renderers for a stream: attempt 0 the null
// renderer, attempt 1 the overlay (the blit renderer when overlays are not allowed), attempt 2
// the blit renderer (nothing when overlays are not allowed, since attempt 1 was it), then
// nothing. The video output opens each in turn and keeps the first whose open succeeds.
// Any thread; null means the choice is exhausted.

#include <memory>

#include "axserver/video/video_renderer.h"

namespace vexa::video {

std::unique_ptr<VideoRenderer> createRenderer(int attempt, bool allowOverlay) noexcept;

}  // namespace vexa::video
