#include "browser/core/sb_list.h"
#include "browser/core/display_text.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace kinvo {
namespace {

std::vector<std::string> texts(const SBList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.count(); ++i) {
        out.push_back(list.text(i));
    }
    return out;
}

TEST(SBList, SortSwitchOrdersByShownTextWithoutRegardToCase) {
    SBList list;
    list.add("b", "", 0);
    list.add("a", "", 0);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"b", "a"}));

    list.clear();
    list.setSorted(true);
    for (const char* text : {"beta", "Alpha", "alpha", "Gamma", "BETA", "\xc3\xa9t\xc3\xa9"}) {
        list.add(list.count(), text, text, 0);
    }
    // Equal texts keep the order they came in.
    EXPECT_EQ(texts(list), (std::vector<std::string>{"Alpha", "alpha", "beta", "BETA", "Gamma",
                                                     "\xc3\xa9t\xc3\xa9"}));
    list.setSorted(false);
    list.add(list.count(), "aaa", "", 0);
    EXPECT_EQ(list.text(list.count() - 1), "aaa");
}

TEST(SBList, TurningSortingOnSortsAndKeepsTheCurrentItem) {
    SBList list;
    for (const char* text : {"c", "a", "b"}) {
        list.add(text, std::string("tag ") + text, 0);
    }
    list.setCurrentIndex(0);  // "c"
    list.setSorted(true);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.currentIndex(), 2);
    EXPECT_EQ(list.tag(2), "tag c");
}

TEST(SBList, CurrentIndexFollowsInsertsAndRemovals) {
    SBList list;
    list.add("b", "", 0);
    list.add("d", "", 0);
    EXPECT_EQ(list.currentIndex(), -1);
    list.setCurrentIndex(1);
    list.setSorted(true);
    list.add("a", "", 0);  // before the current item
    EXPECT_EQ(list.currentIndex(), 2);
    list.remove(0);
    EXPECT_EQ(list.currentIndex(), 1);
    list.remove(1);
    EXPECT_EQ(list.currentIndex(), -1);
    list.setCurrentIndex(7);
    EXPECT_EQ(list.currentIndex(), -1);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.text(0), "");
    EXPECT_EQ(list.number(0), 0);
}

TEST(SBList, SelectedMarksAreIndependentOfTheCurrentIndex) {
    SBList list;
    for (const char* text : {"a", "b", "c"}) {
        list.add(text, "", 0);
    }
    int changes = 0;
    QObject::connect(&list, &SBList::selectionChanged, [&changes] { ++changes; });
    list.setSelected(1, true);
    EXPECT_TRUE(list.selected(1));
    EXPECT_FALSE(list.selected(0));
    EXPECT_EQ(list.currentIndex(), -1);
    list.selectAll();
    EXPECT_TRUE(list.selected(0) && list.selected(1) && list.selected(2));
    EXPECT_EQ(changes, 2);
    list.setSelected(5, true);  // out of range: nothing
    EXPECT_EQ(changes, 2);
}

TEST(SBList, FindOperations) {
    SBList list;
    EXPECT_EQ(list.findByText("x"), -1);
    EXPECT_EQ(list.findByTag("x"), -1);
    EXPECT_EQ(list.findInTags("x"), -1);
    list.add("One", "i!!!e###addr1%%%5", 1);
    list.add("Two", "i!!!e###addr2%%%6", 2);
    list.add("One", "other", 3);
    struct Case {
        int byText, byTag, inTags;
        std::string key;
    };
    const Case cases[] = {
        {0, -1, -1, "One"},
        {-1, -1, -1, "one"},  // exact bytes
        {-1, 1, 1, "i!!!e###addr2%%%6"},
        {-1, -1, 0, "###addr"},
        {-1, -1, 1, "addr2"},
        {-1, 2, 2, "other"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.findByText(c.key), c.byText) << c.key;
        EXPECT_EQ(list.findByTag(c.key), c.byTag) << c.key;
        EXPECT_EQ(list.findInTags(c.key), c.inTags) << c.key;
    }
}

TEST(SBList, SaveAndLoadRoundTripAnyBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.lst");
    std::string every;
    for (int c = 0; c < 256; ++c) {
        every.push_back(static_cast<char>(c));
    }
    SBList list;
    list.add("plain", "tag", 300);
    list.add(std::string("nul\0byte", 8), "a|b\nc\r\n", -5);
    list.add("", "", 0);
    list.add(every, every + every, INT64_MAX);
    list.add("line\n3 4 5\n", "SBList 1\n", INT64_MIN);
    ASSERT_TRUE(list.save(path));

    SBList back;
    back.add("old", "old", 1);
    ASSERT_TRUE(back.load(path));
    ASSERT_EQ(back.count(), list.count());
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(back.text(i), list.text(i)) << i;
        EXPECT_EQ(back.tag(i), list.tag(i)) << i;
        EXPECT_EQ(back.number(i), list.number(i)) << i;
    }
}

TEST(SBList, LoadFailsCleanlyOnDamagedFiles) {
    SBList source;
    source.add("name", "tag", 42);
    source.add("second", "t2", 7);
    const std::string good = SBList::serialize(source);
    const std::vector<std::string> damaged = {
        "",
        "not a list",
        good.substr(0, good.size() - 1),     // cut short
        good + "x",                          // trailing bytes
        "SBList 1\n3\n4 3 42\nnametag\n",    // fewer items than counted
        "SBList 1\n1\n99 3 42\nnametag\n",   // length beyond the file
        "SBList 1\n1\n4 3 4x2\nnametag\n",   // number not a number
        "SBList 1\n1\n-4 3 42\nnametag\n",   // negative length
        "SBList 1\n1\n4 3 42\nnametagX",     // missing line end
        "SBList 1\n99999999999999999999\n",  // absurd count
        "SBList 2\n0\n",                     // unknown version
    };
    for (const std::string& bytes : damaged) {
        SBList list;
        list.add("kept", "kept tag", 1);
        EXPECT_FALSE(list.deserialize(bytes)) << bytes;
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.text(0), "kept");
    }
    SBList list;
    EXPECT_TRUE(list.deserialize(good));
    EXPECT_EQ(list.count(), 2);
    EXPECT_FALSE(list.load("/nonexistent/folder/list.lst"));
}

TEST(SBList, LoadWhileSortedSortsTheItems) {
    SBList source;
    source.add("b", "", 0);
    source.add("A", "", 0);
    SBList list;
    list.setSorted(true);
    ASSERT_TRUE(list.deserialize(SBList::serialize(source)));
    EXPECT_EQ(texts(list), (std::vector<std::string>{"A", "b"}));
}

TEST(SBList, ShowsUtf8OrElseWindows1252) {
    struct Case {
        std::string bytes;
        QString shown;
    };
    const Case cases[] = {
        {"plain", QStringLiteral("plain")},
        {"Caf\xc3\xa9", QString::fromUtf8("Caf\xc3\xa9")},
        {"Caf\xe9", QString::fromUtf8("Caf\xc3\xa9")},  // Windows-1252 é
        {"\x80 \x93quoted\x94", QString::fromUtf8("\xe2\x82\xac \xe2\x80\x9cquoted\xe2\x80\x9d")},
        {"\xef\xbb\xbfX", QChar(0xFEFF) + QStringLiteral("X")},  // the mark stays
        {"cut \xc3", QString::fromUtf8("cut \xc3\x83")},         // incomplete UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(displayText(c.bytes), c.shown) << c.bytes;
    }
    SBList list;
    list.add("Caf\xe9", "tag", 12);
    EXPECT_EQ(list.data(list.index(0), Qt::DisplayRole).toString(), cases[2].shown);
    EXPECT_EQ(list.data(list.index(0), SBList::TagRole).toByteArray(), QByteArray("tag"));
    EXPECT_EQ(list.data(list.index(0), SBList::NumberRole).toLongLong(), 12);
}

}  // namespace
}  // namespace kinvo
