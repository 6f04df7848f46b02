#include "axserver/inputs/input_plugin_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "axserver/inputs/tests/host_fixture.h"

namespace vexa {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::Hosts;
using ::testing::IsEmpty;
using testing::kServerWindow;
using testing::linesStartingWith;
using ::testing::Not;

// ---- Loading -------------------------------------------------------------------------------

struct VersionCase {
    const char* name;
    std::vector<std::string> config;
    bool loads;
    bool detailsCallbacks;  // reportAddress, postStatus, sendMetadata
    bool eventCallback;     // postEvent
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

class InputLoading : public ::testing::TestWithParam<VersionCase> {};

TEST_P(InputLoading, ByVersion) {
    const VersionCase& c = GetParam();
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_x.so", c.config);
    hosts.load();
    ASSERT_EQ(hosts.inputs.plugins().size(), c.loads ? 1u : 0u);
    if (!c.loads) {
        EXPECT_THAT(hosts.log("in_x.so"), Not(Contains(HasSubstr("init"))));
        return;
    }
    SonariInModule* record = hosts.inputs.plugins()[0];
    EXPECT_NE(record->libraryHandle, nullptr);
    EXPECT_EQ(record->hostWindow, kServerWindow);
    for (auto entry :
         {(void*)record->visInit, (void*)record->visQuit, (void*)record->visAddPcm,
          (void*)record->visGetMode, (void*)record->visAdd, (void*)record->visAddPcm2,
          (void*)record->visGetMode2, (void*)record->visAdd2, (void*)record->visSetInfo,
          (void*)record->dspIsActive, (void*)record->dspProcess, (void*)record->setStreamInfo}) {
        EXPECT_NE(entry, nullptr);
    }
    EXPECT_EQ(record->reportAddress != nullptr, c.detailsCallbacks);
    EXPECT_EQ(record->postStatus != nullptr, c.detailsCallbacks);
    EXPECT_EQ(record->sendMetadata != nullptr, c.detailsCallbacks);
    EXPECT_EQ(record->postEvent != nullptr, c.eventCallback);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, InputLoading,
    ::testing::Values(VersionCase{"V100", {"version=0x100"}, true, false, false},
                      VersionCase{"V101", {"version=0x101"}, true, true, false},
                      VersionCase{"V102", {"version=0x102"}, true, true, true},
                      VersionCase{"V103", {"version=0x103"}, false, false, false},
                      VersionCase{"V200", {"version=0x200"}, false, false, false},
                      VersionCase{"NullRecord", {"record=null"}, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InputPluginHost, HostFieldsAreFilledBeforeInitAndStreamInfoAfter) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_x.so", {"flags=7"});
    hosts.load();
    // Bits 1 and 2 cleared, bit 0 kept; window and library set; setStreamInfo not yet.
    EXPECT_THAT(hosts.log("in_x.so"),
                ElementsAre("get", "init flags=1 window=" + std::to_string(kServerWindow) +
                                       " library=set streaminfo=null"));
    EXPECT_EQ(hosts.inputs.plugins()[0]->flags, 1);
}

TEST(InputPluginHost, SkipsLibrariesThatFailALoadingTest) {
    Hosts hosts;
    hosts.folder.writeFile("Plugins/in_0junk.so", "not a library");
    hosts.folder.addPlugin("no_export", "in_1none.so");
    hosts.folder.addPlugin("in_test", "in_2null.so", {"record=null"});
    hosts.folder.addPlugin("in_test", "in_3new.so", {"version=0x103"});
    hosts.folder.addPlugin("in_test", "IN_4Good.SO");
    hosts.folder.addPlugin("in_test", "in_5good.so.old");
    hosts.folder.addPlugin("in_test", "out_6.so");
    hosts.load();
    ASSERT_EQ(hosts.inputs.plugins().size(), 1u);
    EXPECT_EQ(Hosts::fileOf(hosts.inputs.plugins()[0]), "IN_4Good.SO");
}

TEST(InputPluginHost, LoadsInNameOrderAndUnloadsInTableOrder) {
    Hosts hosts;
    const std::string shared = "sharedlog=" + hosts.folder.path() + "/order.log";
    for (const char* name : {"in_c.so", "IN_A.so", "in_b.so"}) {
        hosts.folder.addPlugin("in_test", name, {shared});
    }
    hosts.load();
    std::vector<std::string> order;
    for (SonariInModule* record : hosts.inputs.plugins()) {
        order.push_back(Hosts::fileOf(record));
    }
    EXPECT_THAT(order, ElementsAre("IN_A.so", "in_b.so", "in_c.so"));
    hosts.inputs.unloadAll();
    std::vector<std::string> quits;
    for (const auto& line : hosts.folder.lines("order.log")) {
        if (line.ends_with(" quit")) {
            quits.push_back(line);
        }
    }
    EXPECT_THAT(quits, ElementsAre("IN_A.so quit", "in_b.so quit", "in_c.so quit"));
    EXPECT_TRUE(hosts.inputs.plugins().empty());
}

TEST(InputPluginHost, AtMost511PluginsLoad) {
    Hosts hosts;
    for (int i = 0; i < 513; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "in_%03d.so", i);
        hosts.folder.addPlugin("in_minimal", name);
    }
    hosts.load();
    EXPECT_EQ(hosts.inputs.plugins().size(), 511u);
}

// ---- Finding the plug-in for a name --------------------------------------------------------

struct FindCase {
    const char* name;
    const char* plugin;  // findPlugin's answer ("none" for null)
    int index;           // findPluginFrom(name, start)
    int start;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class FindPlugin : public ::testing::TestWithParam<FindCase> {
  protected:
    static void SetUpTestSuite() {
        hosts = new Hosts;
        hosts->folder.addPlugin("in_test", "in_a.so", {"types=mp3;mp2|MPEG audio|wav|Wave"});
        hosts->folder.addPlugin(
            "in_test", "in_b.so",
            {"types=MOV;QT;M4P|QuickTime File (*.MOV;*.QT;*.M4P)", "claim=special://x"});
        hosts->folder.addPlugin("in_test", "in_c.so",
                                {"types=aac|AAC", "claim=claimed.mp3", "claim=x.abc.mov"});
        hosts->load();
    }
    static void TearDownTestSuite() { delete hosts; }
    static Hosts* hosts;
};
Hosts* FindPlugin::hosts = nullptr;

TEST_P(FindPlugin, TwoPassesAndFallback) {
    const FindCase& c = GetParam();
    EXPECT_EQ(Hosts::fileOf(hosts->inputs.findPlugin(c.name)), c.plugin);
    EXPECT_EQ(hosts->inputs.findPluginFrom(c.name, c.start), c.index);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FindPlugin,
    ::testing::Values(
        FindCase{"song.MP3", "in_a.so", 0, 0}, FindCase{"/music/song.mp2", "in_a.so", 0, 0},
        // Not declared: no match from an index, the "hi.mp3" plug-in without one.
        FindCase{"song.mp3x", "in_a.so", -1, 0}, FindCase{"x.abc", "in_a.so", -1, 0},
        FindCase{"http://h.example/live", "in_a.so", -1, 0},
        FindCase{"uvox://h.example/live", "in_a.so", -1, 0}, FindCase{"movie.qt", "in_b.so", 1, 0},
        FindCase{"movie.QT", "in_b.so", -1, 2},
        FindCase{"http://h.example/stream.aac?sid=1", "in_c.so", 2, 0},
        FindCase{"http://h.example/stream.aac?sid=1", "in_c.so", 2, 1},
        // A claim wins over an earlier plug-in's extension; the start index skips plug-ins.
        FindCase{"claimed.mp3", "in_c.so", 2, 0}, FindCase{"claimed.mp3", "in_c.so", -1, 3},
        FindCase{"special://x", "in_b.so", 1, 0}, FindCase{"special://x", "in_b.so", -1, 2},
        FindCase{"x.abc.mov", "in_c.so", 2, 0}, FindCase{"song.mp3", "in_a.so", -1, 1}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(InputPluginHost, NoFallbackWithoutAnMp3Plugin) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=ogg|Ogg"});
    hosts.load();
    EXPECT_EQ(hosts.inputs.findPlugin("x.abc"), nullptr);
    EXPECT_EQ(hosts.inputs.findPlugin("hi.mp3"), nullptr);
    EXPECT_EQ(Hosts::fileOf(hosts.inputs.findPlugin("a.OGG")), "in_a.so");
}

TEST(InputPluginHost, FindingSetsAHostWindowThePluginCleared) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=mp3|MP3", "zerowindow=1"});
    hosts.load();
    ASSERT_EQ(hosts.inputs.plugins()[0]->hostWindow, 0u);
    hosts.inputs.findPluginFrom("x.ogg", 0);
    EXPECT_EQ(hosts.inputs.plugins()[0]->hostWindow, 0u);
    hosts.inputs.findPlugin("x.mp3");
    EXPECT_EQ(hosts.inputs.plugins()[0]->hostWindow, kServerWindow);
}

// ---- Prepare and play ----------------------------------------------------------------------

struct PlayCase {
    const char* name;
    std::vector<std::string> input;    // configuration of in_a.so (takes ".mp3")
    std::vector<std::string> outputs;  // "out_qsnd", "out_qsnd-fails", "out_qmix", "out_qpcm"
    const char* file;
    int32_t answer;
    std::vector<std::string> pluginCalls;  // in_a.so's log after loading, without the time
    std::vector<std::string> clientCalls;
};

void PrintTo(const PlayCase& c, std::ostream* os) {
    *os << c.name;
}

class Play : public ::testing::TestWithParam<PlayCase> {};

TEST_P(Play, PreparesAndStarts) {
    const PlayCase& c = GetParam();
    Hosts hosts;
    std::vector<std::string> config = {"types=mp3|MP3"};
    config.insert(config.end(), c.input.begin(), c.input.end());
    hosts.folder.addPlugin("in_test", "in_a.so", config);
    for (const auto& output : c.outputs) {
        if (output == "out_qsnd-fails") {
            hosts.folder.addPlugin("out_qsnd", "out_qsnd.so", {"open=-1"});
        } else {
            hosts.folder.addPlugin(output, output + ".so");
        }
    }
    hosts.load();
    const size_t before = hosts.log("in_a.so").size();
    EXPECT_EQ(hosts.inputs.play(c.file, 200), c.answer);
    auto log = hosts.log("in_a.so");
    std::vector<std::string> calls;
    for (auto it = log.begin() + static_cast<long>(before); it != log.end(); ++it) {
        if (!it->starts_with("claims ")) {
            calls.push_back(*it);
        }
    }
    EXPECT_EQ(calls, c.pluginCalls);
    EXPECT_EQ(hosts.client.calls(), c.clientCalls);
    EXPECT_EQ(hosts.inputs.active() != nullptr, c.answer != -1);
}

const std::string kNeutralEq = "setEqualizer 0 31 31 31 31 31 31 31 31 31 31 31";

INSTANTIATE_TEST_SUITE_P(
    Cases, Play,
    ::testing::Values(
        PlayCase{"WithoutOutput",
                 {},
                 {"out_qsnd"},
                 "a.mp3",
                 0,
                 {"setVolume 200", "setPan 0", "play a.mp3 flags=0 output=none"},
                 {}},
        PlayCase{"ThroughPreferredOutput",
                 {"initflags=1"},
                 {"out_qsnd", "out_qmix"},
                 "a.mp3",
                 0,
                 {"setVolume 200", "setPan 0", "play a.mp3 flags=1 output=out_qsnd.so"},
                 {}},
        PlayCase{"ThroughFallbackOutput",
                 {"initflags=1"},
                 {"out_qsnd-fails", "out_qmix"},
                 "a.mp3",
                 0,
                 {"setVolume 200", "setPan 0", "play a.mp3 flags=1 output=out_qmix.so"},
                 {}},
        // The preferred output is not loaded: preparing fails without an event.
        PlayCase{"PreferredOutputMissing", {"initflags=1"}, {"out_qpcm"}, "a.mp3", -1, {}, {}},
        PlayCase{"FallbackOutputMissing", {"initflags=1"}, {"out_qsnd-fails"}, "a.mp3", -1, {}, {}},
        // Bit 1 set again in init, with the entry present: the neutral equaliser, switched off.
        PlayCase{"OwnEqualizer",
                 {"initflags=2"},
                 {},
                 "a.mp3",
                 0,
                 {kNeutralEq, "setVolume 200", "setPan 0", "play a.mp3 flags=2 output=none"},
                 {}},
        // Bit 1 as the record started is cleared at load: no equaliser call.
        PlayCase{"EqualizerBitClearedAtLoad",
                 {"flags=2"},
                 {},
                 "a.mp3",
                 0,
                 {"setVolume 200", "setPan 0", "play a.mp3 flags=0 output=none"},
                 {}},
        PlayCase{"EqualizerEntryMissing",
                 {"initflags=2", "equalizer=0"},
                 {},
                 "a.mp3",
                 0,
                 {"setVolume 200", "setPan 0", "play a.mp3 flags=2 output=none"},
                 {}},
        PlayCase{"PluginFailureCodePassedOn",
                 {"play=-200"},
                 {},
                 "a.mp3",
                 -200,
                 {"setVolume 200", "setPan 0", "play a.mp3 flags=0 output=none"},
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InputPluginHost, NoPluginRaisesEvent101AndClearsTheActivePlugin) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=ogg|Ogg"});
    hosts.load();
    EXPECT_EQ(hosts.inputs.play("a.ogg", 100), 0);
    EXPECT_NE(hosts.inputs.active(), nullptr);
    EXPECT_EQ(hosts.inputs.play("a.xyz", 100), -1);
    EXPECT_EQ(hosts.inputs.active(), nullptr);
    EXPECT_THAT(hosts.client.calls(), ElementsAre("send event 101"));
}

TEST(InputPluginHost, PlaysTheResolvedName) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=mp3|MP3"});
    hosts.load();
    int resolutions = 0;
    hosts.inputs.setNameResolver([&](std::string_view name) {
        ++resolutions;
        if (name.starts_with("range://")) {
            return ResolvedName{"real.mp3", true};
        }
        return ResolvedName{std::string(name), false};
    });
    EXPECT_EQ(hosts.inputs.play("range://1,2,real.mp3", 10), 0);
    EXPECT_EQ(resolutions, 1);  // resolving may raise statuses: once per play
    EXPECT_THAT(hosts.log("in_a.so"), Contains("play real.mp3 flags=0 output=none"));
}

TEST(InputPluginHost, ControlsGoToTheActivePluginAndStayAfterStop) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=mp3|MP3", "length=5000"});
    hosts.load();
    // Nothing active: nothing happens, length -1 and position 0.
    hosts.inputs.pause();
    hosts.inputs.unpause();
    hosts.inputs.stop();
    hosts.inputs.seek(10);
    hosts.inputs.setVolume(3);
    hosts.inputs.setPan(4);
    EXPECT_EQ(hosts.inputs.length(), -1);
    EXPECT_EQ(hosts.inputs.position(), 0);
    EXPECT_THAT(hosts.log("in_a.so"), ElementsAre("get", HasSubstr("init")));

    ASSERT_EQ(hosts.inputs.play("a.mp3", 7), 0);
    hosts.inputs.pause();
    hosts.inputs.unpause();
    hosts.inputs.seek(1500);
    hosts.inputs.setVolume(9);
    hosts.inputs.setPan(-20);
    hosts.inputs.stop();
    EXPECT_EQ(hosts.inputs.position(), 1500);
    EXPECT_EQ(hosts.inputs.length(), 5000);
    auto log = hosts.log("in_a.so");
    EXPECT_THAT(
        std::vector<std::string>(log.end() - 6, log.end()),
        ElementsAre("pause", "unpause", "setOutputTime 1500", "setVolume 9", "setPan -20", "stop"));
}

// ---- File information ----------------------------------------------------------------------

TEST(InputPluginHost, FileLength) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so",
                           {"types=mp3|MP3", "info=a.mp3|A|61999", "info=b.mp3|B|-1"});
    hosts.load();
    hosts.inputs.setNameResolver([](std::string_view name) {
        if (name == "select://none") {
            return ResolvedName{"", true};
        }
        if (name == "select://a") {
            return ResolvedName{"a.mp3", true};
        }
        return ResolvedName{std::string(name), false};
    });
    EXPECT_EQ(hosts.inputs.fileLength("a.mp3"), 61999);
    EXPECT_EQ(hosts.inputs.fileLength("select://a"), 61999);
    EXPECT_EQ(hosts.inputs.fileLength("b.mp3"), -1);
    EXPECT_EQ(hosts.inputs.fileLength("select://none"), -1);
    EXPECT_EQ(hosts.inputs.fileLength(""), -1);
    EXPECT_EQ(hosts.inputs.fileLength("c.mp3"), -1);  // the plug-in's default
    EXPECT_THAT(linesStartingWith(hosts.log("in_a.so"), "getFileInfo"),
                ElementsAre("getFileInfo a.mp3", "getFileInfo a.mp3", "getFileInfo b.mp3",
                            "getFileInfo c.mp3"));
}

TEST(InputPluginHost, FileLengthWithoutAPlugin) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=ogg|Ogg", "length=1000"});
    hosts.load();
    EXPECT_EQ(hosts.inputs.fileLength("a.mp3"), -1);
    EXPECT_EQ(hosts.inputs.fileLength("a.ogg"), 1000);
}

struct DetailsCase {
    const char* name;
    std::vector<std::string> config;
    const char* file;
    int32_t answer;
    bool asked;
};

void PrintTo(const DetailsCase& c, std::ostream* os) {
    *os << c.name;
}

class Details : public ::testing::TestWithParam<DetailsCase> {};

TEST_P(Details, AskThePluginThatTakesTheFile) {
    const DetailsCase& c = GetParam();
    Hosts hosts;
    std::vector<std::string> config = {"types=mp3|MP3"};
    config.insert(config.end(), c.config.begin(), c.config.end());
    hosts.folder.addPlugin("in_test", "in_a.so", config);
    hosts.load();
    hosts.inputs.setNameResolver([](std::string_view name) {
        return ResolvedName{std::string(name), name.starts_with("select://")};
    });
    FileDetails details;
    EXPECT_EQ(hosts.inputs.details(c.file, details), c.answer);
    EXPECT_EQ(linesStartingWith(hosts.log("in_a.so"), "getDetails").size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(details.texts[0], std::string(c.file) + ":1");
        EXPECT_EQ(details.texts[5], std::string(c.file) + ":6");
        EXPECT_THAT(details.numbers, ElementsAre(11, 70000, 33, 44));
    } else {
        EXPECT_EQ(details.texts[0], "");
        EXPECT_THAT(details.numbers, ElementsAre(0, 0, 0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Details,
    ::testing::Values(DetailsCase{"Answers", {"version=0x101"}, "a.mp3", 1, true},
                      DetailsCase{"Fails", {"details=fail"}, "a.mp3", 0, true},
                      DetailsCase{"EntryMissing", {"details=none"}, "a.mp3", 0, false},
                      DetailsCase{"Version100", {"version=0x100"}, "a.mp3", 0, false},
                      DetailsCase{"PseudoAddress", {}, "select://1,'a.mp3'", 0, false},
                      DetailsCase{"FallbackPlugin", {}, "a.zzz", 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Lists ---------------------------------------------------------------------------------

TEST(InputPluginHost, FileTypeListOfTheQuickTimePluginAlone) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_mova.so",
                           {"types=MOV;QT;M4P|QuickTime File (*.MOV;*.QT;*.M4P)"});
    hosts.load();
    EXPECT_EQ(hosts.inputs.fileTypeList(), "MOV;QT;M4P\tQuickTime File (*.MOV;*.QT;*.M4P)");
}

TEST(InputPluginHost, FileTypeListOfSeveralPlugins) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"types=mp3;mp2|MPEG audio|wav|Wave"});
    hosts.folder.addPlugin("in_test", "in_b.so");  // declares nothing
    hosts.folder.addPlugin("in_test", "in_mova.so",
                           {"types=MOV;QT;M4P|QuickTime File (*.MOV;*.QT;*.M4P)"});
    hosts.load();
    EXPECT_EQ(hosts.inputs.fileTypeList(),
              "mp3;mp2\tMPEG audio\twav\tWave\tMOV;QT;M4P\tQuickTime File (*.MOV;*.QT;*.M4P)");
    EXPECT_THAT(hosts.inputs.extensionList(), ElementsAre("mp3", "mp2", "wav", "MOV", "QT", "M4P"));
}

TEST(InputPluginHost, FileTypeListIsCutAt8191Characters) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so",
                           {"types=" + std::string(5000, 'e') + "|" + std::string(5000, 'd')});
    hosts.load();
    std::string list = hosts.inputs.fileTypeList();
    EXPECT_EQ(list.size(), 8191u);
    EXPECT_EQ(list.substr(4998, 4), "ee\td");
}

TEST(InputPluginHost, FindByDescriptionAndCustomDrm) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"description=kestrine WMA plug-in 1"});
    hosts.folder.addPlugin("in_test_ext", "in_b.so", {"description=Kestrine WMA plug-in 2.0"});
    hosts.folder.addPlugin("in_test_ext", "in_c.so", {"description=Kestrine WMA plug-in 3.0"});
    hosts.load();
    EXPECT_EQ(hosts.inputs.findByDescription("Kestrine WMA plug-in"), hosts.inputs.plugins()[1]);
    EXPECT_EQ(hosts.inputs.findByDescription("kestrine"), hosts.inputs.plugins()[0]);
    EXPECT_EQ(hosts.inputs.findByDescription("Kestrine WMA plug-in 3"), hosts.inputs.plugins()[2]);
    EXPECT_EQ(hosts.inputs.findByDescription("Kestrine WMA plug-in 2.0 and more"), nullptr);
    EXPECT_TRUE(hosts.inputs.setCustomDrm(1));
    EXPECT_THAT(hosts.log("in_b.so"), Contains("drm 1"));
    EXPECT_THAT(hosts.log("in_c.so"), Not(Contains(HasSubstr("drm"))));
}

TEST(InputPluginHost, CustomDrmWithoutPluginOrExport) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test", "in_a.so", {"description=Kestrine WMA plug-in 1"});
    hosts.folder.addPlugin("in_test_ext", "in_b.so", {"description=Kestrine WMA plug-in 2"});
    hosts.load();
    EXPECT_FALSE(hosts.inputs.setCustomDrm(0));  // the first match has no export
    EXPECT_THAT(hosts.log("in_b.so"), Not(Contains(HasSubstr("drm"))));
    Hosts none;
    none.load();
    EXPECT_FALSE(none.inputs.setCustomDrm(0));
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

TEST(InputPluginHost, EntriesLeftNullAreNotCalled) {
    Hosts hosts;
    hosts.folder.addPlugin(
        "in_test", "in_a.so",
        {"types=mp3|MP3", "claim=x.abc",
         "nullentries=init,quit,getFileInfo,claimsFile,play,pause,unpause,stop,getLength,"
         "getOutputTime,setOutputTime,setVolume,setPan"});
    hosts.load();
    ASSERT_EQ(hosts.inputs.plugins().size(), 1u);
    EXPECT_EQ(hosts.inputs.findPluginFrom("x.abc", 0), -1);  // no claimsFile: no claim
    EXPECT_EQ(hosts.inputs.fileLength("a.mp3"), -1);
    std::string title;
    int32_t length = 0;
    EXPECT_FALSE(hosts.inputs.fileInfo("a.mp3", title, length));
    EXPECT_EQ(hosts.inputs.play("a.mp3", 10), -1);  // prepared, but it cannot start
    hosts.inputs.pause();
    hosts.inputs.unpause();
    hosts.inputs.seek(5);
    hosts.inputs.stop();
    EXPECT_EQ(hosts.inputs.length(), -1);
    EXPECT_EQ(hosts.inputs.position(), 0);
    hosts.unload();
    EXPECT_THAT(hosts.log("in_a.so"), ElementsAre("get"));
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

TEST(InputPluginHost, TextsAPluginLeavesUnterminatedStayWithinTheirBuffers) {
    Hosts hosts;
    hosts.folder.addPlugin("in_test_ext", "in_a.so",
                           {"types=mp3|MP3", "unterminated=1", "ext=title|T"});
    hosts.load();
    std::string title;
    int32_t length = 0;
    ASSERT_TRUE(hosts.inputs.fileInfo("a.mp3", title, length));
    EXPECT_EQ(title, std::string(SONARI_IN_TITLE_SIZE - 1, 'u'));
    FileDetails details;
    EXPECT_EQ(hosts.inputs.details("a.mp3", details), 1);
    for (const auto& text : details.texts) {
        EXPECT_EQ(text, std::string(SONARI_IN_DETAILS_TEXT_SIZE - 1, 'u'));
    }
    std::string value;
    EXPECT_NE(hosts.inputs.getExtendedInfo("a.mp3", "title", value, 1024), 0);
    EXPECT_EQ(value, std::string(1023, 'u'));
}

}  // namespace
}  // namespace vexa
