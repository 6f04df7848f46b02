// The entry rules: capacity, the current index, delete, swap, sort, randomise and entry texts.
#include "axserver/playlist/entry_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::playlist {
namespace {

EntryList listOf(const std::vector<std::string>& titles, int32_t current = 0) {
    EntryList list;
    for (const std::string& t : titles) {
        list.add("/m/" + t, t, -1);
    }
    list.setCurrent(current);
    return list;
}

std::vector<std::string> titles(const EntryList& list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.count(); ++i) {
        out.push_back(list.entry(i)->title);
    }
    return out;
}

using Titles = std::vector<std::string>;

TEST(EntryList, CapacityRule) {
    EntryList list;
    std::vector<int32_t> seen;
    for (int i = 0; i < 17; ++i) {
        list.add("/m/" + std::to_string(i), "", -1);
        seen.push_back(list.capacity());
    }
    EXPECT_EQ(seen, std::vector<int32_t>(17, 144));  // request 16 -> 16 + 128, then kept
    for (int i = 0; i < 300; ++i) {
        list.add("/m/x", "", -1);
    }
    EXPECT_EQ(list.capacity(), 402);  // grew when count + 16 passed 144 (to 273), then 273
    while (list.count() > 5) {
        list.remove(0);
    }
    EXPECT_EQ(list.capacity(), 145);  // shrunk to the count when it fell more than 256 below
    EXPECT_TRUE(list.takeChanged());
    EXPECT_FALSE(list.changed());
    while (list.count() > 0) {
        list.remove(0);
    }
    EXPECT_EQ(list.capacity(), 0);
    list.remove(3);  // nothing on an empty list
    EXPECT_EQ(list.count(), 0);
}

TEST(EntryList, LimitsOfNamesAndTitles) {
    EntryList list;
    EXPECT_TRUE(list.add(std::string(kMaxFile, 'f'), std::string(500, 't'), 1));
    EXPECT_FALSE(list.add(std::string(kMaxFile + 1, 'f'), "t", 1));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.entry(0)->title.size(), kMaxTitle);
    EXPECT_EQ(list.titleAndTime(0).first.size(), 255u);
}

TEST(EntryList, CurrentIsClamped) {
    struct Case {
        int32_t start, delta, answer, current;
    };
    const Case cases[] = {
        {2, 0, 2, 2},
        {2, 1, 3, 3},
        {2, -2, 0, 0},
        {2, -3, -1, 0},
        {2, 2, -1, 3},
        {0, 2147483647, -1, 3},
        {3, -2147483647 - 1, -1, 0},
    };
    for (const Case& c : cases) {
        EntryList list = listOf({"a", "b", "c", "d"}, c.start);
        EXPECT_EQ(list.moveCurrent(c.delta), c.answer) << c.start << " " << c.delta;
        EXPECT_EQ(list.current(), c.current) << c.start << " " << c.delta;
    }
    EntryList empty;
    empty.setCurrent(5);
    EXPECT_EQ(empty.current(), -1);
    EXPECT_FALSE(empty.hasCurrent());
}

TEST(EntryList, DeleteKeepsTheCurrentEntry) {
    struct Case {
        int32_t index, current;
        Titles after;
        std::string currentTitle;
    };
    const Case cases[] = {
        {2, 4, {"a", "b", "d", "e"}, "e"},  {2, 1, {"a", "b", "d", "e"}, "b"},
        {99, 0, {"a", "b", "c", "d"}, "a"}, {-4, 2, {"b", "c", "d", "e"}, "c"},
        {4, 4, {"a", "b", "c", "d"}, "d"},
    };
    for (const Case& c : cases) {
        EntryList list = listOf({"a", "b", "c", "d", "e"}, c.current);
        list.remove(c.index);
        EXPECT_EQ(titles(list), c.after) << c.index;
        EXPECT_EQ(list.entry(list.current())->title, c.currentTitle) << c.index;
    }
}

TEST(EntryList, SwapSortRandomise) {
    EntryList list = listOf({"a", "b", "c"}, 0);
    list.swap(0, 2);
    EXPECT_EQ(titles(list), (Titles{"c", "b", "a"}));
    EXPECT_EQ(list.current(), 2);  // follows its entry
    list.swap(2, 7);               // current follows to the clamped index, nothing exchanged
    EXPECT_EQ(titles(list), (Titles{"c", "b", "a"}));
    EXPECT_EQ(list.current(), 2);

    EntryList sorted = listOf({"beta", "Alpha", "_z", "alpha2", "Zulu"}, 4);
    sorted.sortByTitle();
    EXPECT_EQ(titles(sorted), (Titles{"_z", "Alpha", "alpha2", "beta", "Zulu"}));
    EXPECT_EQ(sorted.entry(sorted.current())->title, "Zulu");  // "_" sorts before lower case

    RandomGenerator random;
    EntryList shuffled = listOf({"A", "B", "C"}, 0);
    shuffled.takeChanged();
    shuffled.randomise(random);
    EXPECT_EQ(titles(shuffled), (Titles{"C", "B", "A"}));  // draws 41, 18467, 6334, 26500
    EXPECT_EQ(shuffled.current(), 2);
    EXPECT_FALSE(shuffled.changed());
    EXPECT_EQ(random.draw(), 19169);
}

TEST(EntryList, EntryTexts) {
    EntryList list;
    list.add("/m/a", "Song", 125);
    list.add("/m/b", "Stream", -1);
    EXPECT_EQ(list.entryLine(0), "1. Song - [2:05]");
    EXPECT_EQ(list.entryLine(1), "2. Stream");
    EXPECT_EQ(list.titleAndTime(0), (std::pair<std::string, std::string>{"Song", "2:05"}));
    EXPECT_EQ(list.titleAndTime(1).second, "");
    EXPECT_EQ(list.totalLength(), -1);
    EXPECT_EQ(list.entryLength(5), -1);
    list.remove(1);
    EXPECT_EQ(list.totalLength(), 125);
    list.clear();
    EXPECT_EQ(list.totalLength(), 0);
    EXPECT_EQ(list.current(), 0);
}

}  // namespace
}  // namespace vexa::playlist
