// A movie's controller through both ways of calling a component (the dispatcher's selector and
// the "_CallComponent" entry point): its action filter sees every action first and can consume
// it; what it lets through is done to the movie.

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "runtimes/qtml/tests/library.h"

namespace kinvo::qtml::testing {
namespace {

using namespace std::chrono_literals;
using Seen = std::vector<std::pair<int32_t, intptr_t>>;

struct Recorder {
    Seen seen;
    int32_t consume = -1;  // the action the filter consumes
};

int32_t recordingFilter(intptr_t, int32_t action, intptr_t argument, intptr_t refCon) {
    auto* recorder = reinterpret_cast<Recorder*>(refCon);
    recorder->seen.emplace_back(action, argument);
    return action == recorder->consume ? 1 : 0;
}

enum class Way { kSelector, kEntryPoint };

void PrintTo(Way way, std::ostream* out) {
    *out << (way == Way::kSelector ? "the dispatcher's selector" : "_CallComponent");
}

intptr_t component(Way way, intptr_t instance, int16_t what, std::initializer_list<intptr_t> args) {
    QtmlComponentParams block{};
    block.what = what;
    block.paramSize = static_cast<uint8_t>(args.size() * sizeof(intptr_t));
    std::copy(args.begin(), args.end(), block.params);
    return way == Way::kSelector ? call(QTML_CALL_COMPONENT, instance, &block)
                                 : library().callComponent(instance, &block);
}

std::string controlled() {
    return media("controlled.mov",
                 "-f lavfi -i color=black:size=160x120:rate=25:duration=2 -c:v mpeg4 -f mov");
}

class ControllerTest : public ::testing::TestWithParam<Way> {};

TEST_P(ControllerTest, FilterSeesEachActionFirstAndMayConsumeIt) {
    const std::string file = controlled();
    QtmlTimeRecord second{1000, 1000, 0};  // one second in milliseconds
    const auto secondArg = reinterpret_cast<intptr_t>(&second);
    const struct {
        const char* name;
        int32_t action;
        intptr_t argument;
        int32_t consume;
        Seen seen;
        int64_t minTime;  // the movie's time after 300 ms, in 600ths of a second
        int64_t maxTime;
    } cases[] = {
        {"preroll and play",
         QTML_ACTION_PREROLL_AND_PLAY,
         1,
         -1,
         {{QTML_ACTION_PREROLL_AND_PLAY, 1}, {QTML_ACTION_PLAY, 1}},
         90,
         400},
        {"preroll consumed",
         QTML_ACTION_PREROLL_AND_PLAY,
         1,
         QTML_ACTION_PREROLL_AND_PLAY,
         {{QTML_ACTION_PREROLL_AND_PLAY, 1}},
         0,
         0},
        {"go to time",
         QTML_ACTION_GO_TO_TIME,
         secondArg,
         -1,
         {{QTML_ACTION_GO_TO_TIME, secondArg}},
         600,
         600},
        {"go to time consumed",
         QTML_ACTION_GO_TO_TIME,
         secondArg,
         QTML_ACTION_GO_TO_TIME,
         {{QTML_ACTION_GO_TO_TIME, secondArg}},
         0,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const intptr_t movie = openMovie(file, 0);
        ASSERT_NE(movie, 0);
        const QtmlRect box{0, 0, 120, 160};
        const intptr_t controller =
            call(QTML_NEW_CONTROLLER, movie, &box, QTML_CONTROLLER_INVISIBLE);
        ASSERT_NE(controller, 0);
        Recorder recorder;
        recorder.consume = c.consume;
        EXPECT_EQ(component(GetParam(), controller, QTML_MC_SET_ACTION_FILTER,
                            {reinterpret_cast<intptr_t>(&recordingFilter),
                             reinterpret_cast<intptr_t>(&recorder)}),
                  0);
        EXPECT_EQ(component(GetParam(), controller, QTML_MC_DO_ACTION, {c.action, c.argument}), 0);
        EXPECT_EQ(recorder.seen, c.seen);
        std::this_thread::sleep_for(300ms);
        const intptr_t now = call(QTML_CURRENT_TIME, movie, nullptr);
        EXPECT_GE(now, c.minTime);
        EXPECT_LE(now, c.maxTime);
        call(QTML_DISPOSE_CONTROLLER, controller);
        call(QTML_DISPOSE_MOVIE, movie);
    }
}

TEST_P(ControllerTest, RefusesWhatItDoesNotKnow) {
    int stranger = 0;
    EXPECT_EQ(component(GetParam(), reinterpret_cast<intptr_t>(&stranger), QTML_MC_DO_ACTION,
                        {QTML_ACTION_PLAY, 1}),
              QTML_ERR_PARAM);
    const intptr_t movie = openMovie(controlled(), 0);
    ASSERT_NE(movie, 0);
    const intptr_t controller = call(QTML_NEW_CONTROLLER, movie, nullptr, 0);
    EXPECT_EQ(component(GetParam(), controller, 999, {}), QTML_ERR_UNIMPLEMENTED);
    const QtmlEvent mouse{QTML_EVENT_MOUSE_DOWN, 0, 0, 1, 1, 0};
    EXPECT_EQ(component(GetParam(), controller, QTML_MC_IS_PLAYER_EVENT,
                        {reinterpret_cast<intptr_t>(&mouse)}),
              0);
    call(QTML_DISPOSE_CONTROLLER, controller);
    call(QTML_DISPOSE_MOVIE, movie);
}

INSTANTIATE_TEST_SUITE_P(Ways, ControllerTest, ::testing::Values(Way::kSelector, Way::kEntryPoint),
                         [](const auto& info) {
                             return info.param == Way::kSelector ? "Selector" : "EntryPoint";
                         });

intptr_t storageFunction(intptr_t storage, QtmlComponentParams* params) {
    return storage + params->what;
}

TEST(Components, CallWithStorageCallsTheFunction) {
    QtmlComponentParams block{};
    block.what = 7;
    EXPECT_EQ(library().callWithStorage(100, &block, storageFunction), 107);
    EXPECT_EQ(library().callWithStorage(100, &block, nullptr), 0);
}

}  // namespace
}  // namespace kinvo::qtml::testing
