// The runtime library through its dispatcher: what it exports, handles, window messages, and
// movies against FFmpeg's view of files the ffmpeg tool makes: their queries and load states.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

#include "runtimes/qtml/tests/library.h"

namespace kinvo::qtml::testing {
namespace {

using namespace std::chrono_literals;

const std::string kClip =
    "-f lavfi -i color=black:size=160x120:rate=25:duration=2 -vf setsar=1 -c:v mpeg4 -f mov";

std::string titled() {
    return media("titled.mov", kClip + " -metadata title=\"Runtime movie\"");
}

TEST(Library, ExportsOnlyItsThreeEntryPoints) {
    std::set<std::string> exported;
    FILE* pipe = popen("nm -D --defined-only '" QTML_LIBRARY_PATH "'", "r");
    ASSERT_NE(pipe, nullptr);
    char address[64];
    char type[8];
    char name[256];
    while (fscanf(pipe, "%63s %7s %255s", address, type, name) == 3) {
        exported.insert(name);
    }
    pclose(pipe);
    EXPECT_EQ(exported, (std::set<std::string>{QTML_ENTRY_DISPATCHER, QTML_ENTRY_CALL_COMPONENT,
                                               QTML_ENTRY_CALL_WITH_STORAGE}));
    EXPECT_EQ(call(0x7FFF0001u), QTML_ERR_UNIMPLEMENTED);
}

TEST(Handles, HoldTheirBytesUntilDisposed) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{100000}}) {
        SCOPED_TRACE(size);
        const intptr_t handle = call(QTML_NEW_HANDLE, size);
        ASSERT_NE(handle, 0);
        EXPECT_EQ(call(QTML_MEM_ERROR), 0);
        EXPECT_EQ(call(QTML_HANDLE_SIZE, handle), static_cast<intptr_t>(size));
        char* bytes = *reinterpret_cast<char**>(handle);
        const std::string text(size, 'x');
        call(QTML_COPY_BYTES, text.data(), bytes, size);
        EXPECT_EQ(std::string(bytes, size), text);
        EXPECT_EQ(call(QTML_DISPOSE_HANDLE, handle), 0);
        EXPECT_EQ(call(QTML_MEM_ERROR), 0);
        // Gone: a second dispose or a size is refused, not followed.
        call(QTML_DISPOSE_HANDLE, handle);
        EXPECT_EQ(call(QTML_MEM_ERROR), QTML_ERR_PARAM);
        EXPECT_EQ(call(QTML_HANDLE_SIZE, handle), 0);
        EXPECT_EQ(call(QTML_MEM_ERROR), QTML_ERR_PARAM);
    }
    EXPECT_EQ(call(QTML_NEW_HANDLE, -1), 0);
    EXPECT_EQ(call(QTML_MEM_ERROR), QTML_ERR_MEMORY);
}

TEST(WindowEvents, MessagesBecomeEvents) {
    const struct {
        uint32_t message;
        intptr_t answer;
        uint16_t what;
        intptr_t eventMessage;
    } cases[] = {
        {0x0F, 0, QTML_EVENT_UPDATE, 77},       // paint: the window
        {0x201, 0, QTML_EVENT_MOUSE_DOWN, 0},   // left button down
        {0x100, 0, QTML_EVENT_KEY_DOWN, 0x41},  // key down: its code
        {0x200, 1, QTML_EVENT_NULL, 0},         // mouse move: no event
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const QtmlWindowMessage message{77, c.message, 0x41, 0, 1234, 12, 34};
        QtmlEvent event{};
        EXPECT_EQ(call(QTML_WINDOW_EVENT, &message, &event), c.answer);
        EXPECT_EQ(event.what, c.what);
        EXPECT_EQ(event.message, c.eventMessage);
        if (c.answer == 0) {
            EXPECT_EQ(event.when, 1234u);
            EXPECT_EQ(event.x, 12);
            EXPECT_EQ(event.y, 34);
        }
    }
}

// The title comes back through the user data text, sized to the text, without a zero.
std::string titleOf(intptr_t movie, intptr_t* error) {
    const intptr_t text = call(QTML_NEW_HANDLE, 0);
    *error = call(QTML_USER_DATA_TEXT, call(QTML_USER_DATA, movie), text, QTML_TEXT_NAME, 1, 0);
    const std::string title(*reinterpret_cast<char**>(text), call(QTML_HANDLE_SIZE, text));
    call(QTML_DISPOSE_HANDLE, text);
    return title;
}

TEST(Movies, ReportWhatFfprobeReads) {
    const struct {
        std::string file;
        intptr_t titleError;
    } cases[] = {
        {titled(), 0},
        {media("untitled.mov", kClip), QTML_ERR_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::map<std::string, std::string> reference = probe(c.file);
        intptr_t error = -1;
        const intptr_t movie = openMovie("file://" + c.file, 0, &error);
        ASSERT_EQ(error, 0);
        ASSERT_NE(movie, 0);
        EXPECT_GE(call(QTML_LOAD_STATE, movie), QTML_LOAD_PLAYABLE);
        EXPECT_EQ(call(QTML_TIME_SCALE, movie), 600);
        EXPECT_NEAR(call(QTML_DURATION, movie), std::stod(reference["duration"]) * 600, 1);
        int64_t first = -1;
        int64_t last = -1;
        EXPECT_EQ(call(QTML_TIME_RANGE, movie, &first, &last), 0);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(last, call(QTML_DURATION, movie));
        QtmlRect box{-1, -1, -1, -1};
        EXPECT_EQ(call(QTML_NATURAL_BOX, movie, &box), 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.bottom, std::stoi(reference["height"]));
        EXPECT_EQ(box.right, std::stoi(reference["width"]));
        intptr_t titleError = -1;
        EXPECT_EQ(titleOf(movie, &titleError), reference["TAG:title"]);
        EXPECT_EQ(titleError, c.titleError);
        QtmlTimeRecord now{-1, 0, 0};
        EXPECT_EQ(call(QTML_CURRENT_TIME, movie, &now), 0);
        EXPECT_EQ(now.value, 0);
        EXPECT_EQ(now.scale, 600);
        EXPECT_EQ(now.base, call(QTML_TIME_BASE, movie));
        EXPECT_EQ(call(QTML_IS_MOVIE_DONE, movie), 0);
        EXPECT_EQ(call(QTML_DISPOSE_MOVIE, movie), 0);
    }
}

// Polls the load state (with task passes, as a caller does) until it fails, reaches `atLeast`
// (a positive one), or the time is up.
intptr_t settledLoadState(intptr_t movie, intptr_t atLeast) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    intptr_t state = call(QTML_LOAD_STATE, movie);
    while (state >= 0 && (atLeast < 0 || state < atLeast) &&
           std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(10ms);
        call(QTML_MOVIES_TASK, movie, 0);
        state = call(QTML_LOAD_STATE, movie);
    }
    return state;
}

TEST(Movies, LoadStatesClimbOrFail) {
    const uint32_t async = QTML_NEW_MOVIE_ACTIVE | QTML_NEW_MOVIE_ASYNC;
    const struct {
        std::string address;
        uint32_t flags;
        intptr_t openError;    // of the new movie call
        intptr_t loadState;    // settled: at least this, or exactly this when negative
        intptr_t moviesError;  // after the task passes
    } cases[] = {
        {"file://" + titled(), async, 0, QTML_LOAD_PLAYTHROUGH, 0},
        {"file://" + titled(), 0, 0, QTML_LOAD_PLAYTHROUGH, 0},
        {"file:///nonexistent/movie.mov", async, 0, QTML_ERR_BAD_MOVIE, 0},
        {"file:///nonexistent/movie.mov", 0, QTML_ERR_BAD_MOVIE, 0, QTML_ERR_BAD_MOVIE},
        {"rtsp://127.0.0.1:1/movie.mov", async, 0, QTML_ERR_PARAM, QTML_ERR_PARAM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address + " flags " + std::to_string(c.flags));
        call(QTML_CLEAR_MOVIES_ERROR);
        intptr_t error = -1;
        const intptr_t movie = openMovie(c.address, c.flags, &error);
        EXPECT_EQ(error, c.openError);
        if (c.openError != 0) {
            EXPECT_EQ(movie, 0);
        } else {
            ASSERT_NE(movie, 0);
            const intptr_t state = settledLoadState(movie, c.loadState);
            if (c.loadState < 0) {
                EXPECT_EQ(state, c.loadState);
            } else {
                EXPECT_GE(state, c.loadState);
            }
            call(QTML_MOVIES_TASK, 0, 0);
            call(QTML_DISPOSE_MOVIE, movie);
        }
        EXPECT_EQ(call(QTML_MOVIES_ERROR), c.moviesError);
        EXPECT_EQ(call(QTML_CLEAR_MOVIES_ERROR), 0);
        EXPECT_EQ(call(QTML_MOVIES_ERROR), 0);
    }
}

TEST(Movies, ForeignValuesAreRefused) {
    const intptr_t text = textHandle("file://" + titled());
    intptr_t movie = 0;
    EXPECT_EQ(call(QTML_NEW_MOVIE_FROM_REF, &movie, 0, 0, text, QTML_FOURCC('a', 'l', 'i', 's')),
              QTML_ERR_PARAM);
    char* bytes = *reinterpret_cast<char**>(text);
    EXPECT_EQ(call(QTML_NEW_MOVIE_FROM_REF, &movie, 0, 0, &bytes, QTML_REF_URL), QTML_ERR_PARAM);
    EXPECT_EQ(movie, 0);
    call(QTML_DISPOSE_HANDLE, text);
    int stranger = 0;
    EXPECT_EQ(call(QTML_LOAD_STATE, &stranger), QTML_ERR_PARAM);
    EXPECT_EQ(call(QTML_SET_MOVIE_PORT, &stranger, 0, 0), QTML_ERR_PARAM);
    EXPECT_EQ(call(QTML_NEW_CONTROLLER, &stranger, nullptr, 0), 0);
}

}  // namespace
}  // namespace kinvo::qtml::testing
