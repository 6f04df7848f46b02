// Conversions through the service with real input plug-ins (the test WAV decoders): both decoding
// paths, the error texts, ending midway and jobs side by side.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "axserver/convert/conversion_service.h"
#include "axserver/convert/tests/media.h"
#include "axserver/inputs/tests/host_fixture.h"
#include "platform/messages.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr uint32_t kWav = SONARI_TYPE_WAV;
constexpr uint32_t kPcm = SONARI_TYPE_PCM;
constexpr uint32_t kMp3 = SONARI_FOURCC('M', 'P', '3', ' ');

class Conversion : public ::testing::Test {
  protected:
    // A program folder with one test decoder, loaded as the server loads it.
    void load(const char* plugin, bool burnMode) {
        hosts.folder.copyIn(std::string(CONVERT_TEST_PLUGIN_DIR) + "/" + plugin,
                            std::string("Plugins/") + plugin);
        hosts.load();
        service = std::make_unique<ConversionService>(hosts.inputs, hosts.client,
                                                      hosts.folder.path(), 0, burnMode);
        ASSERT_TRUE(convert_test::makeTone(dir / "tone.wav", 44100, 2, "pcm_s16le", 2.0));
    }
    void TearDown() override { service.reset(); }

    int32_t startOk(const std::string& source, const std::string& destination, uint32_t type,
                    WavParameters wav = {}) {
        auto started = service->start({source, destination, type, wav, 0});
        EXPECT_TRUE(std::holds_alternative<int32_t>(started)) << std::get<std::string>(started);
        return std::holds_alternative<int32_t>(started) ? std::get<int32_t>(started) : 0;
    }
    std::string startError(const std::string& source, const std::string& destination,
                           uint32_t type) {
        auto started = service->start({source, destination, type, {}, 0});
        return std::holds_alternative<std::string>(started) ? std::get<std::string>(started)
                                                            : "started";
    }
    size_t count(const std::string& call) const {
        auto calls = hosts.client.calls();
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
    }
    // Pumps this thread's messages (the play path's window lives here) until the job finished.
    bool waitJob(int32_t job) {
        auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!service->finished(job) && std::chrono::steady_clock::now() < deadline) {
            win::MSG msg;
            while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
                win::dispatchMessage(msg);
            }
            std::this_thread::sleep_for(5ms);
        }
        return service->finished(job);
    }
    // Waits until `n` conversions reported their end to the client.
    bool waitFinished(size_t n) {
        auto deadline = std::chrono::steady_clock::now() + 20s;
        bool done = false;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            done = count("status 225 0") >= n;  // what was posted before it is pumped below
            win::MSG msg;
            while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
                win::dispatchMessage(msg);
            }
            std::this_thread::sleep_for(5ms);
        }
        return done;
    }

    convert_test::TempDir dir;
    testing::Hosts hosts;
    std::unique_ptr<ConversionService> service;
};

// The notices a window received (message 0x400: lParam 604 with the percent, 605 at the end).
std::vector<std::pair<win::LPARAM, win::WPARAM>> notices;

win::HWND noticeWindow() {
    static const bool registered = [] {
        win::WindowClass c;
        c.name = "convertNoticeTest";
        c.proc = [](win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                    win::LPARAM lParam) -> win::LRESULT {
            if (message == 0x400) {
                notices.emplace_back(lParam, wParam);
                return 0;
            }
            return win::defWindowProc(hwnd, message, wParam, lParam);
        };
        return win::registerClass(c);
    }();
    return registered ? win::createWindow("convertNoticeTest") : 0;
}

TEST_F(Conversion, ExtendedReadWritesTheSamplesTheDecoderGives) {
    load("in_wavread.so", false);
    const auto pcm = convert_test::ffmpegDecode(dir / "tone.wav", "-f s16le");
    const win::HWND window = noticeWindow();
    ASSERT_NE(window, 0u);
    notices.clear();
    auto started = service->start({dir / "tone.wav", dir / "out.mp3", kWav, {}, window});
    ASSERT_TRUE(std::holds_alternative<int32_t>(started));
    int32_t wav = std::get<int32_t>(started);
    int32_t raw = startOk(dir / "tone.wav", dir / "out.raw", kPcm);
    ASSERT_TRUE(waitFinished(2));
    // The end reaches the notify window once (the short source reports no progress before).
    EXPECT_EQ(notices, (std::vector<std::pair<win::LPARAM, win::WPARAM>>{{605, 0}}));
    win::destroyWindow(window);
    EXPECT_EQ(service->destinationOf(wav), dir / "out.WAV");
    service->end(wav);
    service->end(raw);
    auto file = convert_test::readFile(dir / "out.WAV");
    ASSERT_EQ(file.size(), pcm.size() + 44);
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), file.begin() + 44));
    EXPECT_EQ(convert_test::readFile(dir / "out.raw"), pcm);
}

TEST_F(Conversion, PlayPathConvertsInBurnModeOnly) {
    load("in_wavplay.so", true);
    const auto pcm = convert_test::ffmpegDecode(dir / "tone.wav", "-f s16le");
    int32_t job = startOk(dir / "tone.wav", dir / "track.wav", kWav);
    ASSERT_TRUE(waitJob(job));
    service->end(job);
    // Burn mode keeps the name; the header was written at the end.
    auto file = convert_test::readFile(dir / "track.wav");
    ASSERT_EQ(file.size(), pcm.size() + 44);
    EXPECT_EQ(file[40] | (file[41] << 8) | (file[42] << 16), static_cast<int>(pcm.size()));
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), file.begin() + 44));

    ConversionService serverMode(hosts.inputs, hosts.client, hosts.folder.path(), 0, false);
    auto refused = serverMode.start({dir / "tone.wav", dir / "x.wav", kWav, {}, 0});
    ASSERT_TRUE(std::holds_alternative<std::string>(refused));
    EXPECT_EQ(std::get<std::string>(refused), "Decoder doesn't support new 2.92 methods");
}

TEST_F(Conversion, EncoderLibrariesAreTriedInNameOrderAndTakeOptions) {
    hosts.folder.copyIn(std::string(CONVERT_TEST_PLUGIN_DIR) + "/enc_a_nothing.so",
                        "Plugins/enc_a_nothing.so");
    hosts.folder.copyIn(std::string(CONVERT_TEST_PLUGIN_DIR) + "/enc_b_test.so",
                        "Plugins/enc_b_test.so");
    load("in_wavread.so", false);
    const auto pcm = convert_test::ffmpegDecode(dir / "tone.wav", "-f s16le");
    int32_t job = startOk(dir / "tone.wav", dir / "out.tst", SONARI_FOURCC('T', 'E', 'S', 'T'));
    ASSERT_TRUE(waitFinished(1));
    service->end(job);
    // The encoder's output, drained after PrepareToFinish; FinishAudio3 after the close.
    auto file = convert_test::readFile(dir / "out.tst");
    std::string expected = "TEST" + std::string(pcm.begin(), pcm.end()) + "END!FIN";
    EXPECT_EQ(std::string(file.begin(), file.end()), expected);

    const fs::path ini = fs::path(hosts.folder.path()) / "vexa.ini";
    EXPECT_TRUE(service->setEncoderItem(SONARI_FOURCC('T', 'E', 'S', 'T'), "quality", "7"));
    const auto stored = convert_test::readFile(ini);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "[TEST]\nquality=7\n");
    EXPECT_FALSE(service->setEncoderItem(SONARI_FOURCC('T', 'E', 'S', 'T'), "speed", "1"));
    EXPECT_FALSE(service->setEncoderItem(kMp3, "quality", "1"));
}

TEST_F(Conversion, FailuresAnswerTheirTextAndLeaveNoFile) {
    load("in_wavread.so", false);
    std::ofstream(dir / "notes.wav") << "not a sound";
    struct Case {
        std::string source, destination;
        uint32_t type;
        const char* text;
    };
    const Case cases[] = {
        {dir / "tone.xyz", dir / "a.raw", kPcm, "Can't find decoder"},
        {dir / "notes.wav", dir / "a.raw", kPcm, "Not a WAV file"},
        {dir / "tone.wav", dir / "missing/a.raw", kPcm, "Can't open destination file"},
        {dir / "tone.wav", dir / "tone.wav", kPcm, "Destination is the source file"},
        {dir / "tone.wav", dir / "a.mp3", kMp3, "Can't open encoder"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(startError(c.source, c.destination, c.type), c.text) << c.destination;
    }
    EXPECT_FALSE(fs::exists(dir / "a.raw"));
    EXPECT_FALSE(fs::exists(dir / "a.mp3"));
    EXPECT_EQ(service->jobCount(), 0u);
    EXPECT_EQ(fs::file_size(dir / "tone.wav"), 44 + 2 * 44100 * 4u);
}

TEST_F(Conversion, AFullDiskFailsTheConversionAndRemovesItsFile) {
    load("in_wavread.so", false);
    // Files may grow to 64 KB only: the writes past it fail as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 65536;
    ::setrlimit(RLIMIT_FSIZE, &small);
    int32_t job = startOk(dir / "tone.wav", dir / "full.wav", kWav);
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (count("status 225 1") == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    service->end(job);
    EXPECT_EQ(count("status 225 1"), 1u);
    EXPECT_EQ(count("status 225 0"), 0u);
    EXPECT_FALSE(fs::exists(dir / "full.WAV"));
}

size_t threadCount() {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

TEST_F(Conversion, EndingMidwayStopsTheWorkerWithoutFinishing) {
    load("in_wavread.so", false);
    fs::copy_file(dir / "tone.wav", dir / "tone.slow.wav");
    // ThreadSanitizer starts a thread of its own at the first thread made: make one first.
    std::thread([] {}).join();
    const size_t threadsBefore = threadCount();
    int32_t job = startOk(dir / "tone.slow.wav", dir / "cut.raw", kPcm);
    std::this_thread::sleep_for(200ms);
    auto started = std::chrono::steady_clock::now();
    service->end(job);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(threadCount(), threadsBefore) << "the worker is gone";
    service->end(job);  // a second end of the same handle does nothing
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(count("status 225 0"), 0u);
    EXPECT_EQ(count("status 225 1"), 0u);
    EXPECT_FALSE(fs::exists(dir / "cut.raw"));
    EXPECT_EQ(service->jobCount(), 0u);
}

TEST_F(Conversion, JobsRunSideBySide) {
    load("in_wavread.so", false);
    const auto pcm = convert_test::ffmpegDecode(dir / "tone.wav", "-f s16le");
    std::vector<int32_t> jobs;
    for (int i = 0; i < 6; ++i) {
        jobs.push_back(startOk(dir / "tone.wav", dir / ("out" + std::to_string(i) + ".wav"), kWav,
                               {i % 2 == 0 ? 0 : 48000, 16, 2}));
    }
    ASSERT_TRUE(waitFinished(jobs.size()));
    for (int32_t job : jobs) {
        service->end(job);
    }
    for (int i = 0; i < 6; i += 2) {
        auto file = convert_test::readFile(dir / ("out" + std::to_string(i) + ".WAV"));
        ASSERT_EQ(file.size(), pcm.size() + 44);
    }
    EXPECT_EQ(service->jobCount(), 0u);
}

}  // namespace
}  // namespace vexa
