// The Windows Media runtime version.
#include "axserver/convert/media_runtime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace vexa {
namespace {

TEST(MediaRuntime, VersionFollowsTheWmaDecoderOfFfmpeg) {
    const int version = windowsMediaRuntimeVersion();
    EXPECT_TRUE(version == 9 || version == 0);
    // The ffmpeg program of the same FFmpeg, where present, is the independent witness.
    std::unique_ptr<FILE, int (*)(FILE*)> list(
        ::popen("ffmpeg -hide_banner -decoders 2>/dev/null", "r"), ::pclose);
    if (!list) {
        GTEST_SKIP() << "no ffmpeg program";
    }
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, list.get()) != nullptr) {
        text += buffer;
    }
    if (text.empty()) {
        GTEST_SKIP() << "no ffmpeg program";
    }
    EXPECT_EQ(version, text.find(" wmav2 ") != std::string::npos ? 9 : 0);
}

}  // namespace
}  // namespace vexa
