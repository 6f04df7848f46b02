#pragma once
// The renderer of streams that declare no picture ("NONE"): opens for that type only and draws
// nothing.

#include "axserver/video/video_renderer.h"

namespace vexa::video {

class NullRenderer final : public VideoRenderer {
  public:
    bool open(RendererHost& host, int width, int height, std::uint32_t type, int flip,
              double aspect) noexcept override;
    bool needsReopen() const noexcept override { return false; }
    void draw(const void* /*frame*/) noexcept override {}
};

}  // namespace vexa::video
