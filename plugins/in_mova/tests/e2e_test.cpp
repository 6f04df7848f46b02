// in_mova.so in a real vexahost driven by vexactl, over the real movie runtime: movies the ffmpeg
// tool makes play into the video window (a child of a window of the test's own, read back),
// letterboxed with black strips, with their sound on a private sound server; length, title,
// seek and pause answer; the playlist moves on at a movie's end; a movie served over loopback
// HTTP reports its loading. Skips with the reason when the display, the sound server, the
// runtime or the ffmpeg tool is missing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <qtml/qtml.h>
#include "axserver/download/tests/loopback_server.h"
#include "control/tests/program_folder.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "lib/pulse/tests/fixture/tone.h"
#include "platform/registry.h"
#include "runtimes/qtml/install/runtime_registration.h"

// After httplib and gtest, whose names Xlib's macros would take.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr unsigned kMovieColour = 0x3080E0;

struct Movies {
    fs::path folder;
    std::string colour;  // H.264 + AAC .mov, 320 x 240 of one colour and 440 Hz, 3 s, titled
    std::string long_;   // H.264 + AAC .mov, 12 s
    std::string mpeg4;   // MPEG-4 video (the mpeg4 encoder) + AAC .mov, 2 s
    std::string qt;      // H.264 + AAC as ".qt", 2 s
    bool made = false;
};

bool ffmpeg(const std::string& args, const std::string& out) {
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -nostdin -y " + args + " '" + out + "'";
    return std::system(command.c_str()) == 0;
}

void removeAtExit(const fs::path& folder) {
    static fs::path removed;
    removed = folder;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(removed, ignored);
    });
}

const Movies& movies() {
    static const Movies made = [] {
        Movies m;
        char pattern[] = "/tmp/in_mova_e2e_XXXXXX";
        m.folder = mkdtemp(pattern);
        removeAtExit(m.folder);
        m.colour = (m.folder / "colour.mov").string();
        m.long_ = (m.folder / "long.mov").string();
        m.mpeg4 = (m.folder / "mpeg4.mov").string();
        m.qt = (m.folder / "clip.qt").string();
        const auto source = [](const char* size, int seconds, const char* picture) {
            const std::string d = std::to_string(seconds);
            return std::string("-f lavfi -i ") + picture + "size=" + size +
                   ":rate=25:duration=" + d + " -f lavfi -i sine=frequency=440:duration=" + d + " ";
        };
        const std::string h264 = "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac ";
        m.made = ffmpeg(source("320x240", 3, "color=c=0x3080E0:") + h264 +
                            "-metadata title='Colour Clip' -movflags +faststart",
                        m.colour) &&
                 ffmpeg(source("320x240", 12, "testsrc2=") + h264 +
                            "-metadata title='Long One' -movflags +faststart",
                        m.long_) &&
                 ffmpeg(source("320x240", 2, "testsrc2=") + "-c:v mpeg4 -c:a aac", m.mpeg4) &&
                 ffmpeg(source("320x240", 2, "testsrc2=") + h264 + "-f mov", m.qt);
        return m;
    }();
    return made;
}

// A window of the test's own that the video window fills, read back pixel by pixel.
class Canvas {
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 360;

    Canvas() : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) {
            return;
        }
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, kWidth, kHeight,
                                      0, 0, 0xFFFFFF);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~Canvas() {
        if (display_ != nullptr) {
            XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    bool ok() const { return display_ != nullptr; }
    unsigned long window() const { return window_; }
    // 0xRRGGBB of the screen's pixel at x, y of the canvas (its children included).
    unsigned pixel(int x, int y) {
        XImage* image = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return 0xFFFFFFFF;
        }
        const unsigned long value = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return static_cast<unsigned>(value & 0xFFFFFF);
    }

  private:
    ::Display* display_;
    ::Window window_ = 0;
};

bool near(unsigned pixel, unsigned colour) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                     static_cast<int>((colour >> shift) & 0xFF)) > 16) {
            return false;
        }
    }
    return true;
}

// vexactl with pipes on its standard input and output.
class Vexactl {
  public:
    explicit Vexactl(const std::string& server) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::string path = VEXACTL_PATH;
        std::string flag = "--server";
        std::string serverPath = server;
        char* argv[] = {path.data(), flag.data(), serverPath.data(), nullptr};
        if (posix_spawn(&pid_, VEXACTL_PATH, &actions, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    // vexactl ends at the end of its input and waits for its server to end.
    ~Vexactl() {
        close(input_);
        close(output_);
        if (pid_ > 0) {
            waitpid(pid_, nullptr, 0);
        }
    }
    Vexactl(const Vexactl&) = delete;
    Vexactl& operator=(const Vexactl&) = delete;

    void say(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] const auto written = write(input_, text.data(), text.size());
    }
    // The next line the test waits for: every line read on the way is kept in seen().
    std::string lineWhere(const std::function<bool(const std::string&)>& wanted,
                          std::chrono::milliseconds timeout = 20s) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            for (size_t nl; (nl = buffer_.find('\n')) != std::string::npos;) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                seen_.push_back(line);
                if (wanted(line)) {
                    return line;
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return "<timeout>";
            }
            char chunk[4096];
            const ssize_t n = read(output_, chunk, sizeof chunk);
            if (n <= 0) {
                return "<eof>";
            }
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    // The answer of one command (the next line that is no event, status or metadata).
    std::string ask(const std::string& command) {
        say(command);
        return lineWhere([](const std::string& l) {
            return l.rfind("event\t", 0) != 0 && l.rfind("status\t", 0) != 0 &&
                   l.rfind("metadata\t", 0) != 0;
        });
    }
    const std::vector<std::string>& seen() const { return seen_; }

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffer_;
    std::vector<std::string> seen_;
};

int field(const std::string& line, size_t index) {
    size_t start = 0;
    for (size_t i = 0; i < index; ++i) {
        start = line.find('\t', start);
        if (start == std::string::npos) {
            return -1000000;
        }
        ++start;
    }
    return std::atoi(line.c_str() + start);
}

class MovaEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        vexa::test::isolateProcess();
        win::Registry registry(win::RegistryPaths::fromEnvironment());
        kinvo::qtml::registerRuntime(registry, QTML_VERSION, fs::path(RUNTIME_PATH).parent_path());
    }

    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "no X display";
        }
        if (!fs::exists(RUNTIME_PATH)) {
            GTEST_SKIP() << "the movie runtime is not built: " << RUNTIME_PATH;
        }
        if (!movies().made) {
            GTEST_SKIP() << "the ffmpeg tool could not make the movies";
        }
        if (!sound_.started()) {
            GTEST_SKIP() << "no sound server: " << sound_.failure();
        }
        folder_.emplace();
        fs::copy_file(IN_MOVA_PATH, folder_->dir() / "Plugins" / "in_mova.so");
        ASSERT_TRUE(canvas_.ok());
        ctl_.emplace(folder_->server());
        ASSERT_EQ(ctl_->ask("video-parent " + std::to_string(canvas_.window())), "0");
        ASSERT_EQ(ctl_->ask("auto-size 0"), "0");
    }
    void TearDown() override {
        ctl_.reset();
        folder_.reset();
    }

    bool waitForEvent(int code, std::chrono::milliseconds timeout = 30s) {
        const std::string want = "event\t" + std::to_string(code) + "\t";
        return ctl_->lineWhere([&](const std::string& l) { return l.rfind(want, 0) == 0; },
                               timeout) != "<timeout>";
    }
    bool waitForPixels(const std::function<bool()>& shown) {
        for (const auto until = Clock::now() + 15s; Clock::now() < until;) {
            if (shown()) {
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    std::string seenLines() {
        ctl_->lineWhere([](const std::string&) { return false; }, 200ms);
        std::string all = "pixels " + std::to_string(canvas_.pixel(320, 180)) + " " +
                          std::to_string(canvas_.pixel(40, 180)) + ": ";
        for (const auto& line : ctl_->seen()) {
            all += line + " | ";
        }
        return all;
    }

    static kinvo::pulse::testing::SoundServer sound_;
    std::optional<vexa::test::ProgramFolder> folder_;
    Canvas canvas_;
    std::optional<Vexactl> ctl_;
};
kinvo::pulse::testing::SoundServer MovaEndToEnd::sound_;

TEST_F(MovaEndToEnd, TheMovieShowsLetterboxedBetweenBlackStripsAndItsToneIsHeard) {
    kinvo::pulse::testing::MonitorRecording recording(sound_);
    ASSERT_EQ(ctl_->ask("append " + movies().colour), "0");
    ASSERT_EQ(ctl_->ask("play"), "0");
    // 320 x 240 in 640 x 360: the picture from x 80 to 560, black strips beside it.
    EXPECT_TRUE(waitForPixels([&] {
        return near(canvas_.pixel(320, 180), kMovieColour) &&
               near(canvas_.pixel(100, 20), kMovieColour) && canvas_.pixel(40, 180) == 0 &&
               canvas_.pixel(600, 180) == 0;
    })) << std::hex
        << canvas_.pixel(320, 180) << " " << canvas_.pixel(40, 180);
    ASSERT_TRUE(waitForEvent(1)) << "the movie did not end";
    const auto tone = kinvo::pulse::testing::measureTone(
        recording.stop(), kinvo::pulse::testing::MonitorRecording::kChannels, 0,
        kinvo::pulse::testing::MonitorRecording::kRate);
    ASSERT_TRUE(tone.has_value()) << "no tone reached the sink";
    EXPECT_NEAR(tone->hz, 440.0, 10.0);
    EXPECT_GT(tone->seconds, 1.5);
}

TEST_F(MovaEndToEnd, LengthTitleSeekAndPauseAnswer) {
    ASSERT_EQ(ctl_->ask("append " + movies().long_), "0");
    ctl_->say("list");
    ctl_->lineWhere([](const std::string& l) { return l.rfind("0\t1", 0) == 0; });
    const std::string entry = ctl_->lineWhere(
        [](const std::string& l) { return l.find("long.mov") != std::string::npos; });
    EXPECT_NE(entry.find("\tLong One\t12"), std::string::npos) << entry;
    ASSERT_EQ(ctl_->ask("play"), "0");
    // The length is known once the movie can play through.
    std::string length;
    for (const auto until = Clock::now() + 15s; length != "0\t12" && Clock::now() < until;) {
        length = ctl_->ask("length");
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(length, "0\t12");
    // Asked again once the movie has loaded, the playing movie has the title it was listed with.
    ctl_->ask("raw 768 -");
    EXPECT_NE(ctl_->ask("entry 0").find("\tLong One\t12"), std::string::npos);
    ASSERT_EQ(ctl_->ask("seek 8"), "0");
    std::this_thread::sleep_for(300ms);
    EXPECT_GE(field(ctl_->ask("position"), 1), 8);
    ASSERT_EQ(ctl_->ask("pause"), "0");
    EXPECT_EQ(ctl_->ask("state"), "0\t2");
    const int paused = field(ctl_->ask("position"), 1);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(field(ctl_->ask("position"), 1), paused);
    EXPECT_EQ(ctl_->ask("stop"), "0");
}

TEST_F(MovaEndToEnd, EachKindOfMoviePlaysToItsEndAndThePlaylistMovesOn) {
    ASSERT_EQ(ctl_->ask("append " + movies().mpeg4), "0");
    ASSERT_EQ(ctl_->ask("append " + movies().qt), "0");
    ASSERT_EQ(ctl_->ask("play"), "0");
    ASSERT_TRUE(waitForEvent(1)) << "the MPEG-4 movie did not end";
    EXPECT_EQ(ctl_->ask("current"), "0\t1");
    ASSERT_TRUE(waitForEvent(1)) << "the .qt movie did not end";
}

TEST_F(MovaEndToEnd, AMovieOverHttpReportsItsLoadingInOrderAndPlays) {
    vexa::testing::LoopbackServer http(
        [](httplib::Server& server) { server.set_mount_point("/", movies().folder.string()); });
    ASSERT_EQ(ctl_->ask("append " + http.url("/long.mov")), "0");
    ASSERT_EQ(ctl_->ask("play"), "0");
    // The test pattern's picture, neither the idle window nor a strip.
    EXPECT_TRUE(waitForPixels([&] {
        const unsigned centre = canvas_.pixel(320, 180);
        return centre != 0 && centre != 0x100010 && centre != 0xFFFFFF &&
               canvas_.pixel(40, 180) == 0;
    })) << seenLines();
    ASSERT_EQ(ctl_->ask("stop"), "0");
    std::vector<std::string> statuses;
    for (const auto& line : ctl_->seen()) {
        if (line.rfind("status\t2", 0) == 0) {
            statuses.push_back(line);
        }
    }
    const std::vector<std::string> expected = {"status\t201\t0", "status\t208\t0",
                                               "status\t208\t255", "status\t214\t0"};
    EXPECT_EQ(statuses, expected);
}

}  // namespace
