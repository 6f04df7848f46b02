// Answers kept in memory against the changes that must show in the next answer (an import from
// another process, a rating, a station start), and station starts counted in memory against a
// clean stop and a kill.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "dataserver/store/catalogue.h"
#include "dataserver/store/schema.h"
#include "dataserver/tests/catalogue_fixture.h"

namespace kinvo::ds::test {
namespace {

using namespace std::chrono_literals;

// Starts are written at least this often (the server's documented interval), plus room for a
// loaded machine.
constexpr auto kStartWriteBound = 1s + 2s;

std::vector<std::string> names(const std::vector<ReadEntry>& entries) {
    std::vector<std::string> out;
    for (const ReadEntry& e : entries) {
        out.push_back(e.name);
    }
    return out;
}

class KeptAnswers : public CatalogueFixture {
  protected:
    std::string categoryNames() const { return get("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9").body; }
    std::size_t searchHits(const std::string& term) const {
        return readList(get("/kinvo39.asp?P=T&SEARCH=1&T1=" + term + "&V=3.9").body, true).size();
    }
    std::vector<std::string> popular() const {
        return names(list("Most Popular Stations", "&V=3.9"));
    }
    // Station starts as the file holds them (written, not merely counted).
    std::int64_t writtenStarts() const {
        Catalogue catalogue(openCatalogue(db_.string(), Database::Mode::ReadWrite));
        return catalogue.version().starts;
    }
    // Starts of `address` in a batch of keep-alive requests; how many were answered "OK".
    int startMany(const std::string& address, int times) const {
        std::vector<std::string> argv{"curl", "-s", "-g"};
        for (int i = 0; i < times; ++i) {
            argv.push_back(server_->url("/kinvo39.asp?STATS=1&U=" + address));
        }
        std::string out = run(argv).out;
        int ok = 0;
        for (std::size_t at = out.find("OK"); at != std::string::npos;
             at = out.find("OK", at + 2)) {
            ++ok;
        }
        return ok;
    }
    void restart() {
        server_.reset();
        server_ = std::make_unique<ServerProcess>(db_, serverOptions());
    }
    // The count the popular list shows for Video One, 0 when it is not there.
    int videoOneStarts() const {
        for (const std::string& name : popular()) {
            if (name.starts_with("Video One (")) {
                return std::atoi(name.c_str() + 11);
            }
        }
        return 0;
    }
};

TEST_F(KeptAnswers, AnImportShowsInTheNextNamesListAndSearch) {
    EXPECT_EQ(categoryNames(), "Music/Entertainment|Music Video|News and Talk");
    EXPECT_EQ(names(list("Music Video", "&V=3.9")),
              (std::vector<std::string>{"Video One", "Video Two"}));
    EXPECT_EQ(searchHits("clips"), 2u);

    auto more = dir_.write("more.csv",
                           "category,name,address,bandwidth,tags\n"
                           "Music Video,Video Three,http://media.example/v3.wmv,64,clips\n"
                           "Sports,Goal Line,http://media.example/goal.wmv,300,match\n");
    ASSERT_EQ(import({more.string()}).status, 0);
    EXPECT_EQ(categoryNames(), "Music/Entertainment|Music Video|News and Talk|Sports");
    EXPECT_EQ(names(list("Music Video", "&V=3.9")),
              (std::vector<std::string>{"Video One", "Video Two", "Video Three"}));
    EXPECT_EQ(searchHits("clips"), 3u);
}

TEST_F(KeptAnswers, ARatingShowsInTheNextList) {
    ASSERT_EQ(list("Music Video", "&V=3.9").at(1).rating, "None");
    HttpAnswer form = get("/kinvorate.asp?S=Video%20Two");
    std::size_t at = form.body.find("name=\"id\" value=\"");
    ASSERT_NE(at, std::string::npos);
    std::string id = form.body.substr(at + 17, form.body.find('"', at + 17) - at - 17);
    ASSERT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=3&notes=Fine").status, 200);
    auto after = list("Music Video", "&V=3.9");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].rating, "3");
    EXPECT_EQ(after[1].notes, "Fine");
}

TEST_F(KeptAnswers, AStationStartShowsInThePopularListWithinTheBound) {
    EXPECT_TRUE(popular().empty());
    ASSERT_EQ(startMany("http://media.example/v1.wmv", 1), 1);
    auto deadline = std::chrono::steady_clock::now() + kStartWriteBound;
    while (popular().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(popular(), (std::vector<std::string>{"Video One (1)"}));
}

TEST_F(KeptAnswers, ACleanStopLosesNoStart) {
    int answered = startMany("http://media.example/v1.wmv", 40);
    ASSERT_EQ(answered, 40);
    EXPECT_EQ(server_->stop(SIGTERM).status, 0);
    restart();
    EXPECT_EQ(videoOneStarts(), 40);
}

TEST_F(KeptAnswers, AKillLosesAtMostTheLastIntervalOfStarts) {
    ASSERT_EQ(startMany("http://media.example/v1.wmv", 30), 30);
    // Those 30 are written within the interval.
    auto deadline = std::chrono::steady_clock::now() + kStartWriteBound;
    while (writtenStarts() < 30 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_EQ(writtenStarts(), 30);

    // A burst from parallel clients, killed while it runs.
    constexpr int kBurst = 400;
    std::vector<std::string> argv{"curl", "-s", "-g", "--parallel", "--parallel-max", "8"};
    for (int i = 0; i < kBurst; ++i) {
        argv.push_back(server_->url("/kinvo39.asp?STATS=1&U=http://media.example/v1.wmv"));
    }
    std::thread burst([&] { run(argv); });
    std::this_thread::sleep_for(100ms);
    Finished killed = server_->stop(SIGKILL);
    burst.join();
    EXPECT_EQ(killed.status, 128 + SIGKILL);

    restart();
    int counted = videoOneStarts();
    EXPECT_GE(counted, 30);
    EXPECT_LE(counted, 30 + kBurst);
}

}  // namespace
}  // namespace kinvo::ds::test
