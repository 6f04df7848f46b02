// Run-time libraries and the Windows Media runtime version.
#include "platform/library.h"
#include "platform/media_runtime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace win {
namespace {

namespace fs = std::filesystem;

// Built as "in_sample.so" in its own folder.
const fs::path kSample = TEST_LIBRARY_PATH;

TEST(Library, DllNamesLoadTheirSharedObjectWithoutRegardToCase) {
    EXPECT_EQ(libraryFileName("out_qsnd.dll"), "out_qsnd.so");
    EXPECT_EQ(libraryFileName("IN_MOVA.DLL"), "IN_MOVA.so");
    EXPECT_EQ(libraryFileName("QuickTime.qts"), "QuickTime.qts");

    const std::string folder = kSample.parent_path().string();
    for (const std::string& name :
         {folder + "/in_sample.so", folder + "/IN_SAMPLE.DLL", folder + "\\In_Sample.dll"}) {
        auto library = Library::load(name);
        ASSERT_TRUE(library) << name;
        EXPECT_EQ(fs::canonical(library->path()), fs::canonical(kSample)) << name;
        const auto answer = library->function<int (*)()>("sampleAnswer");
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer(), 42);
        EXPECT_EQ(library->symbol("missingEntry"), nullptr);
    }
    EXPECT_FALSE(Library::load(folder + "/in_missing.dll"));
    EXPECT_FALSE(Library::load("SHELL32.DLL"));
}

TEST(Library, FindsALibraryTheProcessHasLoaded) {
    EXPECT_FALSE(Library::findLoaded("in_sample.dll"));
    auto first = Library::load(kSample.string());
    ASSERT_TRUE(first);
    auto again = Library::findLoaded("IN_SAMPLE.DLL");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->symbol("sampleAnswer"), first->symbol("sampleAnswer"));
    // Each holds its own reference: freeing one leaves the other usable.
    first->free();
    EXPECT_NE(again->symbol("sampleAnswer"), nullptr);
    again->free();
    EXPECT_FALSE(Library::findLoaded("in_sample.so"));
}

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
}  // namespace win
