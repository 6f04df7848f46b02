// Pictures drawn by task passes on the caller's thread: a still test pattern into an off-screen
// buffer and into an X11 window of the test display (read back with GetImage), at the movie
// box's place and size, clipped to the surface; drawn again on demand; and a playing movie's
// pictures as they come due.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "runtimes/qtml/port/buffer_view.h"
#include "runtimes/qtml/tests/library.h"
#include "runtimes/qtml/tests/x_server.h"

namespace kinvo::qtml::testing {
namespace {

using namespace std::chrono_literals;

struct Colour {
    int blue;
    int green;
    int red;
};

// 64 x 48: red, green / blue, white quadrants, lossless.
std::string pattern() {
    return media("pattern.mov",
                 "-f lavfi -i \"color=c=red:s=32x24:d=1[a];color=c=lime:s=32x24:d=1[b];"
                 "color=c=blue:s=32x24:d=1[c];color=c=white:s=32x24:d=1[d];"
                 "[a][b]hstack[t];[c][d]hstack[u];[t][u]vstack\" -c:v png -pix_fmt rgb24 -f mov");
}

// The pattern `scale` times its size at (40, 20) of a surface that cuts off part of its right
// quadrants and leaves room below it; the places where each colour must show.
struct Layout {
    explicit Layout(int scale)
        : box{20, 40, static_cast<int16_t>(20 + 48 * scale), static_cast<int16_t>(40 + 64 * scale)},
          surface{0, 0, static_cast<int16_t>(box.bottom + 10),
                  static_cast<int16_t>(40 + 60 * scale)},
          regions{
              {40 + 16 * scale, 20 + 12 * scale, {0, 0, 255}},
              {40 + 48 * scale, 20 + 12 * scale, {0, 255, 0}},
              {40 + 16 * scale, 20 + 36 * scale, {255, 0, 0}},
              {surface.right - 2, 20 + 36 * scale, {255, 255, 255}},  // by the cut edge
              {10, 10, {0, 0, 0}},                                    // outside the box
              {40 + 16 * scale, surface.bottom - 3, {0, 0, 0}},
          } {}

    QtmlRect box;
    QtmlRect surface;
    struct Region {
        int x;
        int y;
        Colour colour;
    };
    std::vector<Region> regions;
};

// Red: not the white a picture drawn before the movie box took effect shows there.
bool isRed(const uint8_t* bgra) {
    return bgra[0] < 50 && bgra[1] < 50 && bgra[2] > 200;
}

void expectColour(const uint8_t* bgra, Colour colour) {
    EXPECT_NEAR(bgra[0], colour.blue, 12);
    EXPECT_NEAR(bgra[1], colour.green, 12);
    EXPECT_NEAR(bgra[2], colour.red, 12);
}

// Task passes until `drawn` holds or the time is up.
bool taskUntil(intptr_t movie, const std::function<bool()>& drawn) {
    // A bound only: on a loaded machine under a sanitizer the first picture once took over 10 s.
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (!drawn() && std::chrono::steady_clock::now() < end) {
        call(QTML_MOVIES_TASK, movie, 0);
        std::this_thread::sleep_for(5ms);
    }
    return drawn();
}

const uint8_t* pixelOf(intptr_t buffer, int x, int y) {
    const auto* view = reinterpret_cast<const BufferView*>(buffer);
    return view->pixels + y * view->stride + x * 4;
}

TEST(Offscreen, DrawsTheStillPatternAtTheMovieBoxAndAgainOnDemand) {
    const intptr_t movie = openMovie("file://" + pattern(), 0);
    ASSERT_NE(movie, 0);
    const Layout layout(2);
    const QtmlRect& surface = layout.surface;
    intptr_t buffer = 0;
    ASSERT_EQ(call(QTML_NEW_BUFFER, &buffer, QTML_PIXELS_BGRA, &surface, 0, 0, 0), 0);
    const auto* view = reinterpret_cast<const BufferView*>(buffer);
    ASSERT_EQ(view->width, surface.right);
    ASSERT_EQ(view->stride, surface.right * 4);
    ASSERT_EQ(call(QTML_SET_MOVIE_BOX, movie, &layout.box), 0);
    ASSERT_EQ(call(QTML_SET_MOVIE_PORT, movie, buffer, 0), 0);
    const QtmlRect natural{0, 0, 48, 64};
    EXPECT_EQ(call(QTML_NATURAL_BOX, movie, &natural), 0);
    const intptr_t controller = call(QTML_NEW_CONTROLLER, movie, &natural, 0);
    const QtmlEvent update{QTML_EVENT_UPDATE, 0, 0, 0, 0, 0};
    QtmlComponentParams event{0, 8, QTML_MC_IS_PLAYER_EVENT, 0, {arg(&update)}};

    // Drawn by a task pass; then, after the buffer is cleared, by each way of asking again.
    const std::function<intptr_t()> draws[] = {
        [&] {
            const auto& red = layout.regions[0];
            return taskUntil(movie, [&] { return isRed(pixelOf(buffer, red.x, red.y)); }) ? 0 : -1;
        },
        [&] { return call(QTML_UPDATE_MOVIE, movie); },
        [&] { return call(QTML_CALL_COMPONENT, controller, &event) == 1 ? 0 : -1; },
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        SCOPED_TRACE("draw " + std::to_string(i));
        ASSERT_EQ(call(QTML_UPDATE_BUFFER, &buffer, QTML_PIXELS_BGRA, &surface, 0, 0, 0), 0);
        EXPECT_EQ(pixelOf(buffer, layout.regions[0].x, layout.regions[0].y)[3], 0);
        ASSERT_EQ(draws[i](), 0);
        for (const auto& region : layout.regions) {
            SCOPED_TRACE(std::to_string(region.x) + "," + std::to_string(region.y));
            expectColour(pixelOf(buffer, region.x, region.y), region.colour);
        }
    }
    call(QTML_DISPOSE_CONTROLLER, controller);
    call(QTML_DISPOSE_BUFFER, buffer);
    EXPECT_EQ(call(QTML_UPDATE_MOVIE, movie), 0);  // no port any more: nothing drawn
    call(QTML_DISPOSE_MOVIE, movie);
}

// Pictures whose grey level climbs by 4 a picture, 25 a second.
TEST(Offscreen, PlayingMovieDrawsItsDuePicturesInTaskPasses) {
    const std::string file =
        media("ramp.mov",
              "-f lavfi -i color=black:size=64x48:rate=25:duration=2 -vf \"geq=lum='16+N*4':cb=128:"
              "cr=128\" -c:v mpeg4 -q:v 2 -f mov");
    const intptr_t movie = openMovie(file, 0);
    ASSERT_NE(movie, 0);
    intptr_t buffer = 0;
    const QtmlRect surface{0, 0, 48, 64};
    ASSERT_EQ(call(QTML_NEW_BUFFER, &buffer, QTML_PIXELS_BGRA, &surface, 0, 0, 0), 0);
    call(QTML_SET_MOVIE_PORT, movie, buffer, 0);
    const intptr_t controller = call(QTML_NEW_CONTROLLER, movie, &surface, 0);
    QtmlComponentParams play{0, 16, QTML_MC_DO_ACTION, 0, {QTML_ACTION_PREROLL_AND_PLAY, 1}};
    ASSERT_EQ(library().callComponent(controller, &play), 0);
    std::vector<int> greys;
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (call(QTML_IS_MOVIE_DONE, movie) == 0 && std::chrono::steady_clock::now() < end) {
        call(QTML_MOVIES_TASK, 0, 0);
        const int grey = pixelOf(buffer, 32, 24)[0];
        if (greys.empty() || grey != greys.back()) {
            greys.push_back(grey);
        }
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(call(QTML_IS_MOVIE_DONE, movie), 1);
    ASSERT_FALSE(greys.empty());
    EXPECT_GE(greys.size(), 40u);  // 50 pictures, a few may fall between two passes
    for (size_t i = 1; i < greys.size(); ++i) {
        EXPECT_GE(greys[i] + 3, greys[i - 1]) << "picture " << i;
    }
    EXPECT_NEAR(greys.back(), (49 * 4) * 255 / 219, 8);
    call(QTML_DISPOSE_CONTROLLER, controller);
    call(QTML_DISPOSE_MOVIE, movie);
    call(QTML_DISPOSE_BUFFER, buffer);
}

// A black top-level window of `display` and its pixels read back.
class TestWindow {
  public:
    TestWindow(const std::string& display, int width, int height)
        : connection_(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(connection_)) {
            return;
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        window_ = xcb_generate_id(connection_);
        const uint32_t values[] = {screen->black_pixel, 1};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, width,
                          height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, window_);
        sync();
    }
    ~TestWindow() { xcb_disconnect(connection_); }
    bool open() const { return window_ != 0; }
    uint32_t id() const { return window_; }
    void sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    void resize(int width, int height) {
        const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
        xcb_configure_window(connection_, window_,
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        sync();
    }
    void destroy() {
        xcb_destroy_window(connection_, window_);
        sync();
    }
    // Its pixel at (x, y) as BGRA; all 0xff when it cannot be read.
    std::vector<uint8_t> pixel(int x, int y) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, x, y, 1, 1, ~0u),
            nullptr);
        std::vector<uint8_t> bgra(4, 0xff);
        if (image != nullptr && xcb_get_image_data_length(image) >= 4) {
            bgra.assign(xcb_get_image_data(image), xcb_get_image_data(image) + 4);
        }
        std::free(image);
        return bgra;
    }

  private:
    xcb_connection_t* connection_;
    xcb_window_t window_ = 0;
};

struct Server {
    const char* name;
    std::vector<std::string> arguments;  // of a private Xvfb; none: the test display
    int scale;                           // of the pattern in the window
};

void PrintTo(const Server& server, std::ostream* out) {
    *out << server.name;
}

class WindowTest : public ::testing::TestWithParam<Server> {};

TEST_P(WindowTest, DrawsThePatternIntoAnX11Window) {
    const char* shared = std::getenv("DISPLAY");
    std::unique_ptr<XServer> server;
    std::string display = shared != nullptr ? shared : "";
    if (!GetParam().arguments.empty()) {
        server = std::make_unique<XServer>(GetParam().arguments);
        display = server->display();
    }
    if (display.empty()) {
        GTEST_SKIP() << "no X display (DISPLAY unset or no Xvfb)";
    }
    // The runtime connects to the display DISPLAY names at the first window after initialize.
    setenv("DISPLAY", display.c_str(), 1);
    const Layout layout(GetParam().scale);
    TestWindow window(display, layout.surface.right, layout.surface.bottom);
    ASSERT_TRUE(window.open());
    ASSERT_EQ(call(QTML_INITIALIZE, 0), 0);
    const intptr_t port = call(QTML_REGISTER_WINDOW, window.id(), 0, 0);
    ASSERT_NE(port, 0);
    EXPECT_EQ(call(QTML_REGISTER_WINDOW, window.id(), 0, 0), port);
    EXPECT_EQ(call(QTML_WINDOW_PORT, window.id()), port);
    const intptr_t movie = openMovie("file://" + pattern(), 0);
    ASSERT_NE(movie, 0);
    call(QTML_SET_MOVIE_BOX, movie, &layout.box);
    ASSERT_EQ(call(QTML_SET_MOVIE_PORT, movie, port, 0), 0);
    const auto& red = layout.regions[0];
    EXPECT_TRUE(taskUntil(movie, [&] { return isRed(window.pixel(red.x, red.y).data()); }));
    for (const auto& region : layout.regions) {
        SCOPED_TRACE(std::to_string(region.x) + "," + std::to_string(region.y));
        expectColour(window.pixel(region.x, region.y).data(), region.colour);
    }
    // Widened: the part of the picture the old size cut off shows when it is drawn again.
    const int scale = GetParam().scale;
    window.resize(40 + 64 * scale + 10, layout.surface.bottom);
    EXPECT_EQ(call(QTML_UPDATE_MOVIE, movie), 0);
    expectColour(window.pixel(40 + 63 * scale, 20 + 12 * scale).data(), {0, 255, 0});
    // A window that is gone draws nothing and harms nothing; its port goes when unregistered.
    window.destroy();
    EXPECT_EQ(call(QTML_UPDATE_MOVIE, movie), 0);
    EXPECT_EQ(call(QTML_MOVIES_TASK, movie, 0), 0);
    EXPECT_EQ(call(QTML_UNREGISTER_PORT, port), 0);
    EXPECT_EQ(call(QTML_WINDOW_PORT, window.id()), 0);
    EXPECT_EQ(call(QTML_SET_MOVIE_PORT, movie, port, 0), QTML_ERR_PARAM);
    call(QTML_CLEAR_MOVIES_ERROR);
    call(QTML_DISPOSE_MOVIE, movie);
    EXPECT_EQ(call(QTML_TERMINATE), 0);  // the last one: the runtime lets the display go
    if (shared != nullptr) {
        setenv("DISPLAY", shared, 1);
    }
}

// The private server has no MIT-SHM: the 740 KB the window shows of the picture go as plain
// image requests in strips of at most 256 KB.
INSTANTIATE_TEST_SUITE_P(Servers, WindowTest,
                         ::testing::Values(Server{"TestDisplay", {}, 2},
                                           Server{"PlainRequests",
                                                  {"-screen", "0", "640x480x24", "-extension",
                                                   "MIT-SHM"},
                                                  8}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kinvo::qtml::testing
