#include "browser/core/settings_store.h"
#include "browser/core/limits.h"
#include "browser/core/program_folder.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/tests/support/unusual_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

TEST(SettingsStore, LivesUnderTheConfigHomeAndKeepsItsAddressing) {
    testing::TemporaryHome home;
    const QString expected = home.path() + QStringLiteral("/config/Kinvo!/Kinvo!.ini");
    EXPECT_EQ(SettingsStore::defaultPath(), expected);
    {
        SettingsStore store;
        store.write("Speed", "Broadband");
    }
    QFile file(expected);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Settings]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Speed=Broadband")) << text.toStdString();
}

TEST(SettingsStore, FirstRunReadsEveryReadersDefault) {
    testing::TemporaryHome home;
    SettingsStore store;
    EXPECT_EQ(store.readText("Speed", ""), "");
    EXPECT_EQ(store.readText("LastFormat", "Music/Entertainment"), "Music/Entertainment");
    EXPECT_EQ(store.readNumber("BKColor", 12582912), 12582912);
    EXPECT_EQ(store.readNumber("AdultSettings", 1), 1);
}

TEST(SettingsStore, EmptyTextIsNotTheDefault) {
    testing::TemporaryHome home;
    SettingsStore store;
    store.write("LastFormat", "");
    EXPECT_EQ(store.readText("LastFormat", "Music/Entertainment"), "");
    // A numeric reader of the empty text fails: its caller skips the statement.
    store.write("Width", "");
    EXPECT_EQ(store.readNumber("Width", 1000), std::nullopt);
}

TEST(SettingsStore, KeyNamesMatchWithoutRegardToCase) {
    testing::TemporaryHome home;
    SettingsStore store;
    store.write("AlwaysOnTop", "1");
    EXPECT_EQ(store.readText("alwaysontop", "0"), "1");
    store.write("ALWAYSONTOP", "0");
    EXPECT_EQ(store.readText("AlwaysOnTop", "x"), "0");
    // One value, not two.
    SettingsStore again;
    EXPECT_EQ(again.readText("AlwaysOnTop", "x"), "0");
}

TEST(SettingsStore, ValuesAreBytes) {
    testing::TemporaryHome home;
    const std::string values[] = {
        "Pop!!!Live###kwws=22dgguhvv%%%125",
        "Caf\xe9 \xff",  // not UTF-8
        "Caf\xc3\xa9",
        "@ByteArray(x)",
        "a=b;c\\d \"quoted\"",
        " padded ",
    };
    for (const std::string& value : values) {
        {
            SettingsStore store;
            store.write("LastStation", value);
        }
        SettingsStore store;
        EXPECT_EQ(store.readText("LastStation", ""), value);
    }
}

TEST(SettingsStore, NumericReadersRejectText) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> number;
    };
    const Case cases[] = {
        {"12582912", 12582912},
        {"0", 0},
        {"-200", -200},
        {" 15 ", 15},
        {"+7", 7},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"12x", std::nullopt},
        {"1.5", std::nullopt},
        {"+-1", std::nullopt},
        {"-", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseWholeNumber(c.text), c.number) << c.text;
    }
    testing::TemporaryHome home;
    SettingsStore store;
    store.write("FontSize", "big");
    EXPECT_EQ(store.readNumber("FontSize", 10), std::nullopt);
    store.write("FontSize", "20");
    EXPECT_EQ(store.readNumber("FontSize", 10), 20);
}

// A settings file that can't be read whole (found at the start, or appearing later) leaves every
// reader its default or what the run wrote, and is itself never touched.
TEST(SettingsStore, AFileThatIsNotASmallRegularFileIsLeftAlone) {
    using testing::Special;
    for (const Special kind : {Special::LinkToDevZero, Special::Fifo, Special::PastBound}) {
        SCOPED_TRACE(static_cast<int>(kind));
        testing::TemporaryHome home;
        const QString path = SettingsStore::defaultPath();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        makeSpecial(kind, path, limits::kSettingsFileBytes, "[Settings]\nSpeed=Dialup\n");
        const std::string before = testing::describe(path);

        SettingsStore store;
        EXPECT_TRUE(store.inMemory());
        EXPECT_EQ(store.readText("Speed", "Broadband"), "Broadband");
        store.write("Speed", "ALL Content");
        EXPECT_EQ(store.readText("speed", ""), "ALL Content");
        EXPECT_EQ(testing::describe(path), before);
    }

    testing::TemporaryHome home;
    SettingsStore store;
    store.write("Font", "Sans");
    ASSERT_FALSE(store.inMemory());
    const QString path = SettingsStore::defaultPath();
    ASSERT_TRUE(QFile::remove(path));
    makeSpecial(Special::Fifo, path, 0);
    store.write("FontSize", "12");
    EXPECT_TRUE(store.inMemory());
    EXPECT_EQ(store.readText("Font", ""), "Sans");
    EXPECT_EQ(store.readText("FontSize", ""), "12");
    EXPECT_EQ(testing::describe(path), "fifo");
}

TEST(ProgramFolder, KinvoHomeElseDataHomeCreatedOnFirstUse) {
    testing::TemporaryHome home;
    EXPECT_FALSE(QFileInfo::exists(home.programFolder()));
    EXPECT_EQ(programFolder(), home.programFolder());
    EXPECT_TRUE(QFileInfo(home.programFolder()).isDir());

    qunsetenv("KINVO_HOME");
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    EXPECT_EQ(programFolder(), home.path() + QStringLiteral("/data/Kinvo"));
    EXPECT_TRUE(QFileInfo(home.path() + QStringLiteral("/data/Kinvo")).isDir());
    qunsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace kinvo
