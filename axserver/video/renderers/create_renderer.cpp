#include "axserver/video/renderers/create_renderer.h"

#include <new>

#include "axserver/video/renderers/blit_renderer.h"
#include "axserver/video/renderers/null_renderer.h"
#include "axserver/video/renderers/overlay_renderer.h"

namespace vexa::video {

std::unique_ptr<VideoRenderer> createRenderer(int attempt, bool allowOverlay) noexcept {
    switch (attempt) {
        case 0:
            return std::unique_ptr<VideoRenderer>(new (std::nothrow) NullRenderer);
        case 1:
            if (allowOverlay) {
                return std::unique_ptr<VideoRenderer>(new (std::nothrow) OverlayRenderer);
            }
            return std::unique_ptr<VideoRenderer>(new (std::nothrow) BlitRenderer);
        case 2:
            if (allowOverlay) {
                return std::unique_ptr<VideoRenderer>(new (std::nothrow) BlitRenderer);
            }
            return nullptr;
        default:
            return nullptr;
    }
}

}  // namespace vexa::video
