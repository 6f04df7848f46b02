// kinvo --print-category as a program, against the loopback fixture.
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/test_support.h"
#include "catalogue/text_shift.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <string>

namespace kinvo {
namespace {

using testing::HttpFixture;

struct KinvoRun {
    int exitCode;
    std::string out, err;
};

KinvoRun runKinvo(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(KINVO_PROGRAM), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

class PrintCategoryTest : public ::testing::Test {
  protected:
    QString discovery() const { return QString::fromStdString(fixture.url("/redirect35.asp")); }

    testing::TemporaryHome home;  // the child inherits the environment
    HttpFixture fixture;
};

TEST_F(PrintCategoryTest, PrintsTheStationsOfTheCategory) {
    testing::installCannedCatalogue(fixture);
    const KinvoRun run = runKinvo({"--discovery", discovery(), "--print-category", "Music Video"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string expected;
    for (const testing::CannedStation& s : testing::musicVideoStations()) {
        const std::string bandwidth = std::to_string(std::stoll(s.bandwidth));
        expected += s.name + "\t" + bandwidth + "\t" +
                    (s.infoText == "0" ? "Unknown" : s.infoText) + "!!!" +
                    (s.extraText == "0" ? "" : s.extraText) + "###" + EncodeText(s.address) +
                    "%%%" + s.timeText + "\n";
    }
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MINBPS=100&V=3.9"),
              1);
}

TEST_F(PrintCategoryTest, ConnectToReachesANamedServer) {
    testing::installCannedCatalogue(fixture, "catalogue.example");
    const KinvoRun run = runKinvo({"--discovery", discovery(), "--connect-to",
                                   QStringLiteral("127.0.0.1:%1").arg(fixture.port()),
                                   "--print-category", "Music/Entertainment"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\t')), "Talk Show");
    for (const auto& request : fixture.requests()) {
        EXPECT_EQ(request.host, request.target == "/redirect35.asp"
                                    ? "127.0.0.1:" + std::to_string(fixture.port())
                                    : "catalogue.example")
            << request.target;
    }
}

TEST_F(PrintCategoryTest, NoDataServerExitsWithTwo) {
    fixture.answer("/redirect35.asp", "<html>down</html>");
    const KinvoRun run = runKinvo({"--discovery", discovery(), "--print-category", "Music Video"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Unable to contact data server"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Program cannot continue"), std::string::npos) << run.err;

    fixture.answer("/redirect35.asp", "127.0.0.1");
    fixture.answer("/reg.asp", "Version NO");
    const KinvoRun rejected = runKinvo({"--discovery", discovery(), "--print-category", "News"});
    EXPECT_EQ(rejected.exitCode, 2);
    EXPECT_NE(rejected.err.find("This version is out of date"), std::string::npos);
}

TEST_F(PrintCategoryTest, AFavoritesFileThatCannotBeReadIsKeptAsideAndNamedOnce) {
    testing::installCannedCatalogue(fixture);
    ASSERT_TRUE(QDir().mkpath(home.programFolder()));
    {
        QFile file(home.programFolder() + QStringLiteral("/Favorites.lst"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("SBList 1\n1\n3 4 300\nUhgwdj1");  // one byte short
    }
    const QStringList args{"--discovery", discovery(), "--print-category", "Favorites"};
    const KinvoRun first = runKinvo(args);
    EXPECT_EQ(first.exitCode, 0) << first.err;
    const QStringList kept =
        QDir(home.programFolder()).entryList({QStringLiteral("Favorites.lst.damaged-*")});
    ASSERT_EQ(kept.size(), 1);
    const std::string keptPath = (home.programFolder() + QLatin1Char('/') + kept[0]).toStdString();
    EXPECT_NE(first.err.find(keptPath), std::string::npos) << first.err;

    const KinvoRun second = runKinvo(args);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.err.find("could not be read"), std::string::npos) << second.err;
}

TEST_F(PrintCategoryTest, UsageErrors) {
    for (const QStringList& args :
         {QStringList{"--connect-to", "nohost"}, QStringList{"--print-category"},
          QStringList{"--bogus", "x"}, QStringList{"--discovery", "not an address"}}) {
        const KinvoRun run = runKinvo(args);
        EXPECT_EQ(run.exitCode, 64) << args.join(' ').toStdString();
        EXPECT_NE(run.err.find("usage"), std::string::npos);
    }
}

}  // namespace
}  // namespace kinvo
