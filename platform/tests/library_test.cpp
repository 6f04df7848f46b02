// Run-time libraries.
#include "platform/library.h"

#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace
}  // namespace win
