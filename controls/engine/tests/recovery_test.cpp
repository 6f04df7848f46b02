// The retry and fallback rule: how many failed starts in a row lead to which steps, what one
// start's several failure events count as, and what a start resets.
#include "controls/engine/recovery.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kinvo::controls::Recovery;
using kinvo::controls::RecoveryStep;
using namespace std::chrono_literals;

// Fails every start and takes each step when due: the steps, one letter each ("r" replay,
// "n" next address), until a failure asks for nothing.
std::string stepsUntilGivenUp(Recovery& recovery, Recovery::Clock::time_point& now) {
    std::string steps;
    for (int guard = 0; guard < 100; ++guard) {
        if (recovery.onFailure(now) == RecoveryStep::kNone) {
            return steps;
        }
        EXPECT_EQ(recovery.takeDue(now - 1ms), RecoveryStep::kNone);  // never early
        now = *recovery.due();
        RecoveryStep step = recovery.takeDue(now);
        steps += step == RecoveryStep::kReplay        ? "r"
                 : step == RecoveryStep::kNextAddress ? "n"
                                                      : "?";
    }
    return steps + "...";
}

TEST(Recovery, RetriesEachAddressThenFallsBackUntilTheCountsAreUsed) {
    struct Case {
        int retries, retryDelay, fallbacks, fallbackDelay;
        std::string steps;
        int elapsedMs;
    };
    const Case cases[] = {
        {0, 0, 0, 0, "", 0},       {5, 2000, 2, 300, "rrrrrnrrrrrnrrrrr", 15 * 2000 + 2 * 300},
        {2, 100, 0, 0, "rr", 200}, {0, 0, 3, 50, "nnn", 150},
        {1, 10, 1, 20, "rnr", 40}, {-3, -5, 1, -1, "n", 0},
    };
    for (const Case& c : cases) {
        Recovery recovery;
        recovery.setRetry(c.retries, c.retryDelay);
        recovery.setFallback(c.fallbacks, c.fallbackDelay);
        const auto start = Recovery::Clock::now();
        auto now = start;
        EXPECT_EQ(stepsUntilGivenUp(recovery, now), c.steps) << c.retries << "/" << c.fallbacks;
        EXPECT_EQ(now - start, std::chrono::milliseconds(c.elapsedMs));
    }
}

TEST(Recovery, OneFailedStartAsksForOneStepAndAStartResetsTheCounts) {
    Recovery recovery;
    recovery.setRetry(1, 100);
    recovery.setFallback(1, 100);
    auto now = Recovery::Clock::now();
    // A start that raises 108 then 102 is one failure.
    EXPECT_EQ(recovery.onFailure(now), RecoveryStep::kReplay);
    EXPECT_EQ(recovery.onFailure(now), RecoveryStep::kNone);
    EXPECT_EQ(recovery.retriesUsed(), 1);
    // The server's own next start played: the waiting step goes, the counts start again.
    recovery.onStarted();
    EXPECT_FALSE(recovery.due().has_value());
    EXPECT_EQ(recovery.takeDue(now + 1h), RecoveryStep::kNone);
    EXPECT_EQ(recovery.onFailure(now), RecoveryStep::kReplay);
    EXPECT_EQ(recovery.takeDue(now + 100ms), RecoveryStep::kReplay);
    EXPECT_EQ(recovery.onFailure(now), RecoveryStep::kNextAddress);
    EXPECT_EQ(recovery.fallbacksUsed(), 1);
}

}  // namespace
