#include "axserver/outputs/output_plugin_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "axserver/tests/plugins/fixture/program_folder.h"

namespace vexa {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::linesStartingWith;
using testing::ProgramFolder;

constexpr SonariWindow kServerWindow = 0x40001234;

struct Install {
    std::string stem;  // which test library
    std::string fileName;
    std::vector<std::string> config;
};

struct PreferenceCase {
    const char* name;
    std::vector<Install> installs;
    std::string preferred;
    bool preferredLoaded;
    std::vector<std::string> loaded;  // file names in table order
};

void PrintTo(const PreferenceCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputPreference : public ::testing::TestWithParam<PreferenceCase> {};

TEST_P(OutputPreference, LoadsAndChooses) {
    const PreferenceCase& c = GetParam();
    ProgramFolder folder;
    for (const auto& install : c.installs) {
        folder.addPlugin(install.stem, install.fileName, install.config);
    }
    OutputPluginHost host;
    EXPECT_EQ(host.preferredOutput(), "out_qpcm.so");
    host.loadAll(folder.path(), kServerWindow);

    EXPECT_EQ(host.preferredOutput(), c.preferred);
    EXPECT_EQ(host.findByFileName(host.preferredOutput()) != nullptr, c.preferredLoaded);
    std::vector<std::string> loaded;
    for (SonariOutModule* record : host.outputs()) {
        loaded.push_back(record->fileName);
    }
    EXPECT_THAT(loaded, ElementsAreArray(c.loaded));
}

const Install kQsnd{"out_qsnd", "out_qsnd.so", {}};
const Install kQsndFails{"out_qsnd", "out_qsnd.so", {"open=-1"}};
const Install kQmix{"out_qmix", "out_qmix.so", {}};
const Install kQpcm{"out_qpcm", "out_qpcm.so", {}};

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputPreference,
    ::testing::Values(
        PreferenceCase{"NothingInstalled", {}, "out_qsnd.so", false, {}},
        PreferenceCase{"OnlyQpcm", {kQpcm}, "out_qsnd.so", false, {"out_qpcm.so"}},
        PreferenceCase{
            "QsndOpens", {kQsnd, kQmix}, "out_qsnd.so", true, {"out_qmix.so", "out_qsnd.so"}},
        PreferenceCase{"QsndFailsQmixPresent",
                       {kQsndFails, kQmix},
                       "out_qmix.so",
                       true,
                       {"out_qmix.so", "out_qsnd.so"}},
        PreferenceCase{"QsndFailsQmixAbsent",
                       {kQsndFails, kQpcm},
                       "out_qmix.so",
                       false,
                       {"out_qpcm.so", "out_qsnd.so"}},
        PreferenceCase{"QsndOpenAnswersZeroOrPositive",
                       {{"out_qsnd", "out_qsnd.so", {"open=5"}}},
                       "out_qsnd.so",
                       true,
                       {"out_qsnd.so"}},
        PreferenceCase{"UpperCaseNameCounts",
                       {{"out_qsnd", "OUT_QSND.SO", {}}},
                       "out_qsnd.so",
                       true,
                       {"OUT_QSND.SO"}},
        PreferenceCase{"UpperCaseNameFailsToo",
                       {{"out_qsnd", "Out_QSnd.so", {"open=-2"}}},
                       "out_qmix.so",
                       false,
                       {"Out_QSnd.so"}},
        PreferenceCase{"Version0x11NotLoaded",
                       {{"out_qsnd", "out_qsnd.so", {"version=0x11"}}, kQpcm},
                       "out_qsnd.so",
                       false,
                       {"out_qpcm.so"}},
        PreferenceCase{"Version0x0FNotLoaded",
                       {{"out_qmix", "out_qmix.so", {"version=0x0F"}}},
                       "out_qsnd.so",
                       false,
                       {}},
        PreferenceCase{
            "NullRecordAndNoExportSkipped",
            {{"out_qsnd", "out_qsnd.so", {"record=null"}}, {"no_export", "out_a.so", {}}, kQmix},
            "out_qsnd.so",
            false,
            {"out_qmix.so"}},
        PreferenceCase{"NameOrderIgnoresCase",
                       {{"out_qmix", "out_B.so", {}},
                        {"out_qpcm", "OUT_a.so", {}},
                        {"out_qsnd", "out_c.so", {}}},
                       "out_qsnd.so",
                       false,
                       {"OUT_a.so", "out_B.so", "out_c.so"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputPluginHost, SkipsFilesThatAreNotLibrariesOrDoNotMatch) {
    ProgramFolder folder;
    folder.writeFile("Plugins/out_broken.so", "not a library");
    folder.addPlugin("out_qsnd", "in_qsnd.so");       // another prefix
    folder.addPlugin("out_qmix", "out_qmix.so.bak");  // another suffix
    folder.addPlugin("out_qpcm", "out_qpcm.so");
    OutputPluginHost host;
    host.loadAll(folder.path(), kServerWindow);
    ASSERT_EQ(host.outputs().size(), 1u);
    EXPECT_STREQ(host.outputs()[0]->fileName, "out_qpcm.so");
}

TEST(OutputPluginHost, MissingPluginFolderLeavesTableEmpty) {
    OutputPluginHost host;
    host.loadAll("/nonexistent/folder", kServerWindow);
    EXPECT_TRUE(host.outputs().empty());
    EXPECT_EQ(host.preferredOutput(), "out_qsnd.so");
}

TEST(OutputPluginHost, HostFieldsInitAndTrialOpenOrder) {
    ProgramFolder folder;
    folder.addPlugin("out_qsnd", "out_qsnd.so");
    OutputPluginHost host;
    host.loadAll(folder.path(), kServerWindow);
    SonariOutModule* record = host.findByFileName("OUT_QSND.so");
    ASSERT_NE(record, nullptr);
    EXPECT_NE(record->libraryHandle, nullptr);
    EXPECT_EQ(record->hostWindow, kServerWindow);
    // init sees the host's copy of the file name; the trial open sees the server window.
    EXPECT_THAT(
        folder.pluginLog("out_qsnd.so"),
        ElementsAre("get", "init fileName=out_qsnd.so",
                    "open 44100 2 16 -1 -1 window=" + std::to_string(kServerWindow), "close"));
    host.unloadAll();
    EXPECT_EQ(folder.pluginLog("out_qsnd.so").back(), "quit");
    EXPECT_TRUE(host.outputs().empty());
}

TEST(OutputPluginHost, OtherOutputsAreNotOpenedAndHaveNoWindow) {
    ProgramFolder folder;
    folder.addPlugin("out_qmix", "out_qmix.so");
    OutputPluginHost host;
    host.loadAll(folder.path(), kServerWindow);
    EXPECT_EQ(host.findByFileName("out_qmix.so")->hostWindow, 0u);
    EXPECT_THAT(folder.pluginLog("out_qmix.so"), ElementsAre("get", "init fileName=out_qmix.so"));
}

TEST(OutputPluginHost, AtMost31OutputsLoadAndTheRestAreNotTouched) {
    ProgramFolder folder;
    for (int i = 0; i < 33; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "out_%02d.so", i);
        folder.addPlugin("out_qpcm", name);
    }
    OutputPluginHost host;
    host.loadAll(folder.path(), kServerWindow);
    ASSERT_EQ(host.outputs().size(), 31u);
    EXPECT_STREQ(host.outputs().back()->fileName, "out_30.so");
    EXPECT_TRUE(folder.pluginLog("out_31.so").empty());
    EXPECT_TRUE(folder.pluginLog("out_32.so").empty());
}

TEST(OutputPluginHost, SkippedLibrariesDoNotCountTowardTheLimit) {
    ProgramFolder folder;
    folder.addPlugin("out_qpcm", "out_00.so", {"version=0x11"});
    for (int i = 1; i <= 31; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "out_%02d.so", i);
        folder.addPlugin("out_qpcm", name);
    }
    OutputPluginHost host;
    host.loadAll(folder.path(), kServerWindow);
    ASSERT_EQ(host.outputs().size(), 31u);
    EXPECT_STREQ(host.outputs().front()->fileName, "out_01.so");
}

TEST(OutputPluginHost, UnloadsInTableOrder) {
    ProgramFolder folder;
    const std::string shared = "sharedlog=" + folder.path() + "/order.log";
    folder.addPlugin("out_qpcm", "out_c.so", {shared});
    folder.addPlugin("out_qmix", "out_a.so", {shared});
    folder.addPlugin("out_qsnd", "out_b.so", {shared});
    {
        OutputPluginHost host;
        host.loadAll(folder.path(), kServerWindow);
    }  // the destructor unloads
    std::vector<std::string> quits;
    for (const auto& line : folder.lines("order.log")) {
        if (line.ends_with(" quit")) {
            quits.push_back(line);
        }
    }
    EXPECT_THAT(quits, ElementsAre("out_a.so quit", "out_b.so quit", "out_c.so quit"));
}

}  // namespace
}  // namespace vexa
