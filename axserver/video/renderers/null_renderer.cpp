#include "axserver/video/renderers/null_renderer.h"

#include "axserver/video/pixels/fourcc.h"

namespace vexa::video {

bool NullRenderer::open(RendererHost& /*host*/, int /*width*/, int /*height*/, std::uint32_t type,
                        int /*flip*/, double /*aspect*/) noexcept {
    return type == vexa::pixels::kTypeNone;
}

}  // namespace vexa::video
