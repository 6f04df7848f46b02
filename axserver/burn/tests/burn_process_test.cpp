// The burn process against a recording back end: the calls it makes in order, the messages the
// server window receives, the status texts of failures, the queries, abort while converting and
// while burning, and the track files gone in every case. Conversions are stood in for by a
// converter that writes a second of silence and is finished by the test's server window.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "axserver/burn/burn_process.h"
#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

struct Report {
    win::UINT message;
    win::WPARAM wParam;
    win::LPARAM lParam;
    bool operator==(const Report&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Report& r) {
    return out << std::hex << r.message << std::dec << "(" << r.wParam << "," << r.lParam << ")";
}

class SilenceConverter final : public TrackConverter {
  public:
    std::variant<int32_t, std::string> start(const std::string& source,
                                             const std::string& destination,
                                             win::HWND) noexcept override {
        if (source.ends_with(".bad")) {
            return std::string("Can't find decoder");
        }
        std::ofstream(destination, std::ios::binary) << std::string(44 + 176400, '\0');
        started.push_back(destination);
        return static_cast<int32_t>(started.size());
    }
    int64_t decodedBytes(int32_t) const noexcept override { return 176400; }
    void end(int32_t handle) noexcept override { ended.push_back(handle); }

    std::vector<std::string> started;
    std::vector<int32_t> ended;
};

// What the test's server window does when a report arrives.
enum class Reaction { kFinishConversions, kAbortWhileConverting, kAbortWhileBurning };

struct BurnRun {
    std::vector<Report> reports;  // 0x900 and 0x901 (with lParam 1 for the burn window)
    std::vector<std::string> calls;
    std::string statusText;
    std::string title;
    std::vector<uint32_t> statusWords;  // query 1 at each conversion's start and burn report
    bool trackFilesRemain = false;
};

#define ASSERT_TRUE_OR_RETURN(condition) \
    if (!(condition)) {                  \
        ADD_FAILURE() << #condition;     \
        return run;                      \
    }

class BurnProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("burn_process_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        ::setenv("RECORDING_BURNER_LOG", (dir / "calls.log").c_str(), 1);
        win::registerClass({"BurnTestServer", 0, &serverProc, 0});
    }
    void TearDown() override {
        ::unsetenv("RECORDING_BURNER_SCRIPT");
        fs::remove_all(dir);
    }

    static win::LRESULT serverProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                   win::LPARAM lParam) {
        if (message != SRV_BURN_STATUS && message != SRV_BURN_WINDOW) {
            return win::defWindowProc(hwnd, message, wParam, lParam);
        }
        BurnProcessTest& self = *current;
        if (message == SRV_BURN_WINDOW) {
            self.burnWindow = static_cast<win::HWND>(lParam);
            self.run.reports.push_back({message, wParam, 1});
            return 0;
        }
        self.run.reports.push_back({message, wParam, lParam});
        const bool converting = wParam == 1;
        const bool burning = wParam == 2 && lParam > 0;
        if (converting || burning) {
            win::sendMessage(self.burnWindow, kBurnQuery, 0, kQueryStatusWord);
            self.run.statusWords.push_back(
                static_cast<uint32_t>(win::getWindowValue(self.burnWindow, 0)));
        }
        if ((converting && self.reaction == Reaction::kAbortWhileConverting) ||
            (burning && self.reaction == Reaction::kAbortWhileBurning)) {
            win::sendMessage(self.burnWindow, kBurnQuery, 0, kQueryAbort);
        } else if (converting) {
            win::postMessage(self.burnWindow, 0x400, 0, 605);
        }
        return 0;
    }

    BurnRun burn(const std::string& script, std::vector<std::string> sources = {"a.mp3", "b.ogg"},
                 Reaction react = Reaction::kFinishConversions, int32_t speed = 8,
                 std::string library = std::string(BURN_TEST_BACKEND_DIR) + "/RecordingBurner.so") {
        ::setenv("RECORDING_BURNER_SCRIPT", script.c_str(), 1);
        current = this;
        reaction = react;
        run = BurnRun();
        const win::HWND server = win::createWindow("BurnTestServer", "");
        BurnSetup setup;
        setup.arguments.drive = 'e';
        setup.arguments.numbers = {0, 1, speed, 1, static_cast<int32_t>(server), 42};
        for (const std::string& source : sources) {
            setup.entries.push_back({source, source, 100});
            setup.pauses.push_back(static_cast<int32_t>(setup.pauses.size()) * 2);
        }
        setup.tempPrefix = (dir / "sonariburn_e_").string();
        setup.burnerLibrary = library;
        {
            BurnProcess process(setup, converter);
            ASSERT_TRUE_OR_RETURN(process.create());
            run.title = win::getWindowText(process.window());
            win::MSG msg;
            while (win::isWindow(process.window()) && win::getMessage(msg, 0, 0, 0) > 0) {
                win::dispatchMessage(msg);
            }
            while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
                win::dispatchMessage(msg);
            }
            run.statusText = process.statusText();
            for (int32_t n = 1; n <= static_cast<int32_t>(sources.size()); ++n) {
                run.trackFilesRemain = run.trackFilesRemain || fs::exists(process.trackFile(n));
            }
        }
        win::destroyWindow(server);
        std::ifstream log(dir / "calls.log");
        for (std::string line; std::getline(log, line);) {
            run.calls.push_back(line);
        }
        fs::remove(dir / "calls.log");
        return run;
    }

    static inline BurnProcessTest* current = nullptr;
    fs::path dir;
    SilenceConverter converter;
    Reaction reaction = Reaction::kFinishConversions;
    win::HWND burnWindow = 0;
    BurnRun run;
};

constexpr Report kStarted{SRV_BURN_STATUS, 0, 0};
constexpr Report kWindow{SRV_BURN_WINDOW, 42, 1};
constexpr Report kConvert0{SRV_BURN_STATUS, 1, 0};
constexpr Report kConvert1{SRV_BURN_STATUS, 1, 1};
constexpr Report kBurnerStarting{SRV_BURN_STATUS, 2, 0};
constexpr Report kFailed{SRV_BURN_STATUS, 4, 0};
constexpr Report kBurned{SRV_BURN_STATUS, 3, 0};

TEST_F(BurnProcessTest, BurnsTheConvertedTracksAndReports) {
    BurnRun r = burn("UnitSpeeds=0 RunningStatus=10:0:20000,10:10000:20000,0:20000:20000");
    EXPECT_EQ(r.title, "E: (0%) Burning 2 tracks at 8x");
    EXPECT_EQ(r.reports, (std::vector<Report>{kStarted,
                                              kWindow,
                                              kConvert0,
                                              kConvert1,
                                              kBurnerStarting,
                                              {SRV_BURN_STATUS, 2, 0},
                                              kBurned}));
    EXPECT_EQ(r.calls,
              (std::vector<std::string>{
                  "Init", "GetHandle", "NewAudio 7 e ffffffff",
                  "AddAudioTrack 7 sonariburn_e_track01.wav 0",
                  "AddAudioTrack 7 sonariburn_e_track02.wav 150", "UnitSpeeds 7 e",
                  "WriteAudio 7 10010 8", "RunningStatus 7 1000000", "RunningStatus 7 1000000",
                  "RunningStatus 7 1000000", "CloseAudio 7", "RunningStatus 7 1000000"}));
    EXPECT_EQ(r.statusWords, (std::vector<uint32_t>{0, 1}));  // the tracks in hand
    EXPECT_EQ(converter.ended, (std::vector<int32_t>{1, 2}));
    EXPECT_FALSE(r.trackFilesRemain);
}

TEST_F(BurnProcessTest, SpeedZeroFollowsTheUnitsFlags) {
    for (const auto& [flags, speed] : {std::pair{"4", "fffffff0"}, std::pair{"3", "0"}}) {
        BurnRun r = burn(std::string("UnitSpeeds=") + flags + " RunningStatus=0:1:1", {"a.mp3"},
                         Reaction::kFinishConversions, 0);
        EXPECT_EQ(r.title, "E: (0%) Burning 1 track at 0x");
        EXPECT_NE(
            std::find(r.calls.begin(), r.calls.end(), std::string("WriteAudio 7 10010 ") + speed),
            r.calls.end())
            << flags;
    }
}

TEST_F(BurnProcessTest, EveryFailureEndsWithCodeFourAndItsText) {
    struct Case {
        const char* script;
        const char* text;
        const char* lastCall;
    };
    const Case cases[] = {
        {"Init=2", "Couldn't initialize Veritas API!", "Init"},
        {"Init=3", "Couldn't initialize Veritas API!", "Init"},
        {"GetHandle=1", "Can't get Veritas handle!", "GetHandle"},
        {"NewAudio=5", "Can't create new audio session", "NewAudio 7 e ffffffff"},
        {"AddAudioTrack=0,1", "Can't add audio file", "CloseAudio 7"},
        {"WriteAudio=1", "Can't start burning!", "CloseAudio 7"},
        {"RunningStatus=10:5000:20000,3:5000:20000", "Error during burning process",
         "CloseAudio 7"},
        // Finished, but short of the sectors in all.
        {"RunningStatus=0:100:20000", "Burnin'.", "RunningStatus 7 1000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        BurnRun r = burn(c.script);
        ASSERT_FALSE(r.reports.empty());
        EXPECT_EQ(r.reports.back(), kFailed);
        EXPECT_EQ(std::count(r.reports.begin(), r.reports.end(), kFailed), 1);
        EXPECT_EQ(r.statusText, c.text);
        ASSERT_FALSE(r.calls.empty());
        EXPECT_EQ(r.calls.back(), c.lastCall);
        EXPECT_FALSE(r.trackFilesRemain);
    }
    BurnRun added = burn("AddAudioTrack=0,1");
    EXPECT_EQ(std::count_if(added.calls.begin(), added.calls.end(),
                            [](const std::string& call) { return call.starts_with("Write"); }),
              0);  // the burner is never started
}

TEST_F(BurnProcessTest, MissingLibraryOrEntryAndBadTrackFail) {
    BurnRun missing =
        burn("", {"a.mp3"}, Reaction::kFinishConversions, 8, (dir / "none.so").string());
    EXPECT_EQ(missing.statusText, "Can't load Veritas DLL!");
    EXPECT_EQ(missing.reports.back(), kFailed);
    BurnRun noEntries = burn("", {"a.mp3"}, Reaction::kFinishConversions, 8, "libm.so.6");
    EXPECT_EQ(noEntries.statusText, "Couldn't locate methods in Veritas DLL!");
    EXPECT_EQ(noEntries.reports.back(), kFailed);
    BurnRun bad = burn("", {"a.mp3", "b.bad"});
    EXPECT_EQ(bad.statusText, "Can't find decoder");
    EXPECT_EQ(bad.reports, (std::vector<Report>{kStarted, kWindow, kConvert0, kConvert1, kFailed}));
    EXPECT_TRUE(bad.calls.empty());
    EXPECT_FALSE(bad.trackFilesRemain);
}

TEST_F(BurnProcessTest, AbortReportsNothingAndLeavesNoFiles) {
    BurnRun converting = burn("", {"a.mp3", "b.ogg", "c.flac"}, Reaction::kAbortWhileConverting);
    EXPECT_EQ(converting.reports, (std::vector<Report>{kStarted, kWindow, kConvert0}));
    EXPECT_TRUE(converting.calls.empty());
    EXPECT_EQ(converter.ended, (std::vector<int32_t>{1}));  // the running job ended
    EXPECT_FALSE(converting.trackFilesRemain);

    BurnRun burning = burn("RunningStatus=10:8000:20000,10:8000:20000,1:8000:20000", {"a.mp3"},
                           Reaction::kAbortWhileBurning);
    EXPECT_EQ(burning.reports,
              (std::vector<Report>{
                  kStarted, kWindow, kConvert0, kBurnerStarting, {SRV_BURN_STATUS, 2, 40}}));
    ASSERT_GE(burning.calls.size(), 3u);
    EXPECT_EQ(burning.calls[burning.calls.size() - 3], "RunningStatus 7 2000000");
    EXPECT_EQ(burning.calls.back(), "CloseAudio 7");
    // The status word at the burn report: 40 percent, the first track (8000 sectors: 106 s of
    // a 100-second track is the last one), bit 8 set.
    EXPECT_EQ(burning.statusWords, (std::vector<uint32_t>{0, (40u << 9) | 0x100}));
    EXPECT_FALSE(burning.trackFilesRemain);
}

}  // namespace
}  // namespace vexa
