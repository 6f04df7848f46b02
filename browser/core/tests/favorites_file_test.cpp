#include "browser/core/favorites_file.h"
#include "browser/core/browser.h"
#include "browser/core/favorites.h"
#include "browser/core/limits.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/tests/support/unusual_files.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kinvo {
namespace {

using testing::Special;

std::string twoFavorites() {
    SBList list;
    list.add("Uhg", "wdj1", 300);
    list.add("Eoxh", "wdj2", 56);
    return SBList::serialize(list);
}

void writeFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A start of the browser over each kind of Favorites.lst: one that reads is loaded and left
// alone; anything else is moved aside whole, named to the user once, and the list starts empty.
TEST(FavoritesFile, AFileThatCannotBeReadIsMovedAsideNeverLost) {
    struct Case {
        const char* what;
        std::optional<Special> special;  // else a regular file of bytes
        std::string bytes;
        bool reads;
    };
    const std::string whole = twoFavorites();
    const Case cases[] = {
        {"whole", std::nullopt, whole, true},
        {"cut one byte short", std::nullopt, whole.substr(0, whole.size() - 1), false},
        {"not a list", std::nullopt, "hello\n", false},
        {"link to /dev/zero", Special::LinkToDevZero, {}, false},
        {"fifo", Special::Fifo, {}, false},
        {"past the bound", Special::PastBound, whole, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TemporaryHome home;
        Browser browser{BrowserOptions{}};
        const QString path = favoritesFilePath(browser.programFolder);
        if (c.special) {
            makeSpecial(*c.special, path, limits::kFavoritesFileBytes, c.bytes);
        } else {
            writeFile(path, c.bytes);
        }
        const std::string before = testing::describe(path);
        EXPECT_EQ(favoritesFileReplaceable(path), c.reads);

        testing::ScriptedPrompts prompts;
        browser.beginRun(prompts);

        const QStringList kept = QDir(browser.programFolder)
                                     .entryList({QStringLiteral("Favorites.lst.damaged-*")},
                                                QDir::AllEntries | QDir::System);
        if (c.reads) {
            EXPECT_EQ(browser.lists.lstFavorites.count(), 2);
            EXPECT_TRUE(prompts.shown.empty());
            EXPECT_TRUE(kept.isEmpty());
            EXPECT_EQ(testing::describe(path), before);
            continue;
        }
        EXPECT_EQ(browser.lists.lstFavorites.count(), 0);
        EXPECT_EQ(testing::describe(path), "missing");
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Favorites\\.lst\\.damaged-\\d{8}-\\d{6}$"))
                        .match(kept[0])
                        .hasMatch())
            << kept[0].toStdString();
        const QString keptPath = browser.programFolder + QLatin1Char('/') + kept[0];
        EXPECT_EQ(testing::describe(keptPath), before);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Exclamation);
        EXPECT_NE(prompts.shown[0].text.find(keptPath.toStdString()), std::string::npos)
            << prompts.shown[0].text;
        // The next start finds no file: nothing more to say.
        testing::ScriptedPrompts again;
        Browser next{BrowserOptions{}};
        next.beginRun(again);
        EXPECT_TRUE(again.shown.empty());
    }
}

}  // namespace
}  // namespace kinvo
