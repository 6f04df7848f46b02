// The shuffled order and the streaming dialog, in process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "axserver/playback/shuffle_order.h"
#include "axserver/playback/streaming_dialog.h"
#include "control/tests/program_folder.h"
#include "platform/messages.h"

namespace vexa::playback {
namespace {

using ::testing::ElementsAre;

playlist::EntryList listOf(int n) {
    playlist::EntryList entries;
    for (int i = 0; i < n; ++i) {
        entries.add("/m/" + std::to_string(i), "t", -1);
    }
    return entries;
}

TEST(ShuffleOrder, AFreshGeneratorDrawsAFixedPermutationAndStepsThroughIt) {
    RandomGenerator random;
    playlist::EntryList entries = listOf(5);
    ShuffleOrder order;
    EXPECT_FALSE(order.step(1, entries, false, random));  // drawn: the step is not applied
    std::vector<int32_t> drawn = order.order();
    std::vector<int32_t> sorted = drawn;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_THAT(sorted, ElementsAre(0, 1, 2, 3, 4));
    EXPECT_EQ(entries.current(), drawn[0]);

    RandomGenerator again;
    ShuffleOrder second;
    playlist::EntryList same = listOf(5);
    second.step(1, same, false, again);
    EXPECT_EQ(second.order(), drawn) << "the same generator state gives the same order";

    for (size_t place = 1; place < drawn.size(); ++place) {
        EXPECT_FALSE(order.step(1, entries, false, random));
        EXPECT_EQ(entries.current(), drawn[place]);
    }
    EXPECT_TRUE(order.step(1, entries, false, random)) << "past the end without repeat";
    EXPECT_EQ(entries.current(), drawn[4]);
    EXPECT_TRUE(order.step(1, entries, true, random)) << "past the end with repeat";
    EXPECT_EQ(entries.current(), drawn[0]);
    EXPECT_TRUE(order.step(-1, entries, true, random)) << "before the start";
    EXPECT_EQ(entries.current(), drawn[0]);
}

TEST(ShuffleOrder, AChangedPlaylistOrForgetDrawsAgain) {
    RandomGenerator random;
    playlist::EntryList entries = listOf(4);
    ShuffleOrder order;
    order.step(1, entries, false, random);
    order.step(1, entries, false, random);
    entries.add("/m/4", "t", -1);
    EXPECT_FALSE(order.step(1, entries, false, random));
    EXPECT_EQ(order.order().size(), 5u);
    EXPECT_EQ(entries.current(), order.order()[0]) << "a new order starts at its first place";
    EXPECT_FALSE(entries.changed());

    EXPECT_FALSE(order.step(ShuffleOrder::kForget, entries, false, random));
    EXPECT_TRUE(order.order().empty());
    playlist::EntryList empty;
    EXPECT_FALSE(order.step(1, empty, false, random));
}

TEST(StreamingDialog, IsFoundByItsTitleAndClosed) {
    test::isolateProcess();
    EXPECT_FALSE(closeStreamingDialog());
    win::registerClass(win::WindowClass{"StreamingDialog", 0, win::defWindowProc, 0});
    win::HWND dialog = win::createWindow("StreamingDialog", kStreamingDialogTitle);
    ASSERT_NE(dialog, 0u);
    EXPECT_TRUE(closeStreamingDialog());
    EXPECT_FALSE(win::isWindow(dialog)) << "WM_CLOSE destroys it";
}

}  // namespace
}  // namespace vexa::playback
