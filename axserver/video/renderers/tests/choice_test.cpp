// The renderer choice: which renderer each attempt makes, and what a stream ends up with on
// Xvfb, which has no XVideo.
#include <gtest/gtest.h>

#include "axserver/video/pixels/fourcc.h"
#include "axserver/video/renderers/blit_renderer.h"
#include "axserver/video/renderers/create_renderer.h"
#include "axserver/video/renderers/null_renderer.h"
#include "axserver/video/renderers/overlay_renderer.h"
#include "axserver/video/renderers/tests/test_host.h"

namespace vexa::video {
namespace {

using vexa::pixels::fourcc;

enum class Kind { kNone, kNull, kOverlay, kBlit };

Kind kindOf(const VideoRenderer* r) {
    if (r == nullptr)
        return Kind::kNone;
    if (dynamic_cast<const NullRenderer*>(r))
        return Kind::kNull;
    if (dynamic_cast<const OverlayRenderer*>(r))
        return Kind::kOverlay;
    if (dynamic_cast<const BlitRenderer*>(r))
        return Kind::kBlit;
    return Kind::kNone;
}

TEST(RendererChoiceTest, AttemptOrder) {
    const Kind withOverlay[] = {Kind::kNull, Kind::kOverlay, Kind::kBlit, Kind::kNone, Kind::kNone};
    const Kind withoutOverlay[] = {Kind::kNull, Kind::kBlit, Kind::kNone, Kind::kNone, Kind::kNone};
    for (int attempt = 0; attempt < 5; ++attempt) {
        EXPECT_EQ(kindOf(createRenderer(attempt, true).get()), withOverlay[attempt]) << attempt;
        EXPECT_EQ(kindOf(createRenderer(attempt, false).get()), withoutOverlay[attempt]) << attempt;
    }
}

// The video output's loop: the first renderer whose open succeeds.
TEST(RendererChoiceTest, StreamsEndUpWithTheirRenderer) {
    test::TestDisplay display(0);
    if (display.get() == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    test::TestHost host(display.get(), 64, 48, 64, 48);
    struct Case {
        std::uint32_t type;
        bool allowOverlay;
        Kind chosen;
    } cases[] = {
        {fourcc("NONE"), true, Kind::kNull},  {fourcc("RG32"), true, Kind::kBlit},
        {fourcc("YV12"), false, Kind::kBlit}, {fourcc("YV12"), true, Kind::kBlit},
        {fourcc("YUY2"), true, Kind::kBlit},
    };
    for (const Case& c : cases) {
        std::unique_ptr<VideoRenderer> chosen;
        for (int attempt = 0; !chosen; ++attempt) {
            auto r = createRenderer(attempt, c.allowOverlay);
            if (!r)
                break;
            if (r->open(host, 64, 48, c.type, 0, 1.0))
                chosen = std::move(r);
        }
        EXPECT_EQ(kindOf(chosen.get()), c.chosen);
    }
    // Xvfb has no XVideo: the overlay cannot open even for the types it takes.
    OverlayRenderer overlay;
    EXPECT_FALSE(overlay.open(host, 64, 48, fourcc("YUY2"), 0, 1.0));
}

}  // namespace
}  // namespace vexa::video
