// The player page's command line and its headless entry: the options, the entry with scripted
// probes, and kinvo --player-page as a program.
#include "browser/ui/print_player_page.h"
#include "browser/core/browser_options.h"
#include "browser/core/program_folder.h"
#include "browser/core/tests/player_page_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "catalogue/text_shift.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kinvo {
namespace {

TEST(PlayerPageOptions, ParsesAddressZoomAndCategory) {
    const ParsedOptions parsed =
        parseBrowserOptions({"--player-page", "abc", "--zoom", "33", "--category", "Video Search"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->playerPage, "abc");
    EXPECT_EQ(parsed.options->zoomPercent, 33);
    EXPECT_EQ(parsed.options->category, "Video Search");
    EXPECT_FALSE(parsed.options->play);

    const ParsedOptions defaults = parseBrowserOptions({"--play", "x"});
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->zoomPercent, 50);
    EXPECT_EQ(defaults.options->play, "x");
    EXPECT_FALSE(defaults.options->playerPage);

    for (const char* zoom : {"0", "49", "101", "fifty", "100%"}) {
        const ParsedOptions bad = parseBrowserOptions({"--player-page", "a", "--zoom", zoom});
        EXPECT_FALSE(bad.options) << zoom;
        EXPECT_NE(bad.error.find("--zoom"), std::string::npos);
    }
    EXPECT_FALSE(parseBrowserOptions({"--player-page"}).options);
}

// Runs the entry in this process, with messages and output caught in temporary files.
struct EntryRun {
    int exitCode;
    std::string out, err;
};

std::string readAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
        text.append(buffer, n);
    }
    std::fclose(file);
    return text;
}

EntryRun runEntry(const std::vector<std::string>& args, PlayerProbes& probes) {
    const ParsedOptions parsed = parseBrowserOptions(args);
    EXPECT_TRUE(parsed.options) << parsed.error;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = printPlayerPage(*parsed.options, probes, out, err);
    return {code, readAll(out), readAll(err)};
}

TEST(PlayerPageEntry, AMissingPlayerAsksOnStderrAndWritesNoPage) {
    testing::TemporaryHome home;
    testing::ScriptedProbes probes;
    probes.realPlayer = {{true, "6.0.9.450"}};
    const EntryRun run =
        runEntry({"--player-page", EncodeText("rtsp://tv.example/news.rm")}, probes);
    EXPECT_EQ(run.exitCode, kExitPlayerMissing);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "RealPlayer is required to play this selection, Would you like to download this "
              "now?\n");
    EXPECT_FALSE(QFileInfo::exists(programFolder() + QStringLiteral("/viewtemp.htm")));
}

TEST(PlayerPageEntry, ZoomAndCategoryReachThePage) {
    testing::TemporaryHome home;
    testing::ScriptedProbes probes;
    const EntryRun run = runEntry({"--player-page", EncodeText("mms://tv.example/live"), "--zoom",
                                   "75", "--category", "Video Search"},
                                  probes);
    ASSERT_EQ(run.exitCode, kExitPageWritten) << run.err;
    const QString path = programFolder() + QStringLiteral("/viewtemp.htm");
    EXPECT_EQ(run.out, path.toStdString() + "\n");
    QFile page(path);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    EXPECT_NE(text.indexOf("width=\"75%\""), -1);
    EXPECT_NE(text.indexOf("height=\"12.5%\""), -1);
    EXPECT_NE(text.indexOf("<param name=\"ShowControls\" value=\"1\">"), -1);
    EXPECT_NE(text.indexOf("value=\"mms://tv.example/live\""), -1);
}

TEST(PlayerPageProgram, WritesViewtempAndPrintsItsPath) {
    testing::TemporaryHome home;  // the child inherits the environment
    QProcess process;
    process.start(QStringLiteral(KINVO_PROGRAM),
                  {QStringLiteral("--player-page"),
                   QString::fromStdString(EncodeText("http://tv.example/live.qrx?CDC=abc"))});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QString path = programFolder() + QStringLiteral("/viewtemp.htm");
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), path.toStdString() + "\n");
    QFile page(path);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    EXPECT_TRUE(text.startsWith("<html><body onload=\"sonarix.Play();\""));
    EXPECT_NE(text.indexOf("AppendFileToPlaylist( \"http://tv.example/live.qrx\" );"), -1);
    EXPECT_TRUE(text.endsWith("</table></body></html>\r\n\r\n"));

    QProcess bad;
    bad.start(QStringLiteral(KINVO_PROGRAM), {QStringLiteral("--player-page"), QStringLiteral("x"),
                                              QStringLiteral("--zoom"), QStringLiteral("60")});
    ASSERT_TRUE(bad.waitForFinished(60000));
    EXPECT_EQ(bad.exitCode(), 64);
}

}  // namespace
}  // namespace kinvo
