// The vendor pages, their forms, and the media folder, through curl.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "dataserver/tests/catalogue_fixture.h"
#include "dataserver/tests/raw_client.h"

namespace kinvo::ds::test {
namespace {

class Pages : public CatalogueFixture {
  protected:
    void SetUp() override {
        media_ = dir_.path() / "media";
        std::filesystem::create_directories(media_);
        std::string bytes;
        for (int i = 0; i < 100000; ++i) {
            bytes += static_cast<char>(i * 7 % 251);
        }
        dir_.write("media/clip.mov", bytes);
        dir_.write("media/sub dir/a b.mp3", "abc");
        dir_.write("secret.txt", "not for the web");
        std::filesystem::create_symlink(dir_.path() / "secret.txt", media_ / "link.mov");
        clip_ = bytes;
        CatalogueFixture::SetUp();
    }
    std::vector<std::string> serverOptions() const override {
        return {"--quiet", "--media", media_.string()};
    }

    std::filesystem::path media_;
    std::string clip_;
};

bool contains(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

TEST_F(Pages, EveryVendorPageIsAWholeHtmlPage) {
    struct Case {
        std::string target;
        std::string mustContain;
    };
    for (const Case& c : std::vector<Case>{{"/help/kinvo/index.htm", "quick guide"},
                                           {"/HELP/Kinvo/Index.htm", "quick guide"},
                                           {"/mailform.htm", "<form method=\"post\""},
                                           {"/about.asp?P=T", "8 stations in 3 categories"},
                                           {"/qt.htm", ".mov"},
                                           {"/microsoft.htm", "mms://"},
                                           {"/real.htm", "RealMedia"},
                                           {"/", "Music Video"}}) {
        HttpAnswer a = get(c.target);
        EXPECT_EQ(a.status, 200) << c.target;
        EXPECT_TRUE(contains(a.headers, "text/html; charset=utf-8")) << c.target;
        EXPECT_TRUE(a.body.starts_with("<!DOCTYPE html>")) << c.target;
        EXPECT_TRUE(contains(a.body, "</html>")) << c.target;
        EXPECT_TRUE(contains(a.body, c.mustContain)) << c.target;
        // No page leaves a template field unfilled.
        EXPECT_FALSE(contains(a.body, "{title}") || contains(a.body, "{body}")) << c.target;
    }
    EXPECT_EQ(get("/no/such/page.htm").status, 404);
}

TEST_F(Pages, RatingsAndNotesReachTheListsAndShowNoneBefore) {
    auto videoTwo = [&] {
        auto entries = list("Music Video", "&V=3.9");
        EXPECT_EQ(entries.size(), 2u);
        return entries.size() == 2 ? entries[1] : ReadEntry{};
    };
    EXPECT_EQ(videoTwo().rating, "None");
    EXPECT_EQ(videoTwo().notes, "None");

    // The browser appends the shown name unescaped; a web browser escapes its blank.
    HttpAnswer form = get("/kinvorate.asp?S=Video%20Two");
    ASSERT_EQ(form.status, 200);
    ASSERT_TRUE(contains(form.body, "Rate Video Two"));
    std::size_t at = form.body.find("name=\"id\" value=\"");
    ASSERT_NE(at, std::string::npos);
    std::string id = form.body.substr(at + 17, form.body.find('"', at + 17) - at - 17);

    EXPECT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=5&notes=Loud+%26+proud").status, 200);
    EXPECT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=2&notes=").status, 200);
    ReadEntry rated = videoTwo();
    EXPECT_EQ(rated.rating, "4");            // (5 + 2) / 2, rounded
    EXPECT_EQ(rated.notes, "Loud & proud");  // the newest note that says something

    // Refused ratings and notes change nothing.
    EXPECT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=6").status, 400);
    EXPECT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=x").status, 400);
    EXPECT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=3&notes=a%7C%7Cb").status, 400);
    EXPECT_EQ(post("/kinvorate.asp", "id=" + id + "&rating=3&notes=%3Ca+href").status, 400);
    EXPECT_EQ(videoTwo().rating, "4");
    EXPECT_EQ(videoTwo().notes, "Loud & proud");
}

TEST_F(Pages, RatingPageAnswersEveryNameTheBrowserSends) {
    // The browser sends the shown name unescaped, its blanks as "+"; a web browser escapes the
    // rest. Every name gets a page, escaped into it.
    auto extra = dir_.write("extra.csv",
                            "category,name,address\n"
                            "Music Video,Rock & Roll 100%,http://media.example/rr.mov\n"
                            "Music Video,C++ Hour,http://media.example/cpp.mov\n");
    ASSERT_EQ(import({extra.string()}).status, 0);
    struct Case {
        std::string query;
        std::string mustContain;
    };
    for (const Case& c : std::vector<Case>{
             {"S=Video+Two", "Rate Video Two"},
             {"S=Video%20Two", "Rate Video Two"},
             {"S=Beta+Dial+(12)", "Rate Beta Dial"},  // from the popular list, with its count
             {"S=Rock+&+Roll+100%", "Rate Rock &amp; Roll 100%"},
             {"S=Rock+%26+Roll+100%25", "Rate Rock &amp; Roll 100%"},
             {"S=C+++Hour", "Rate C++ Hour"},  // "+" of the name itself
             {"S=Video", "Which station?"},    // a name cut short offers what starts so
             {"S=Nobody+Here", "No station named \"Nobody Here\""},
             {"S=%3Cscript%3E+&x=\"", "&lt;script&gt; &amp;x=&quot;"},
             {"S=", "No station was named"},
             {"", "No station was named"}}) {
        HttpAnswer a = get("/kinvorate.asp?" + c.query);
        EXPECT_EQ(a.status, 200) << c.query;
        EXPECT_TRUE(contains(a.body, c.mustContain)) << c.query << "\n" << a.body;
        EXPECT_FALSE(contains(a.body, "<script>")) << c.query;
    }
}

TEST_F(Pages, SearchPageListsMatchesAsLinks) {
    struct Case {
        std::string query;
        std::vector<std::string> shown;
        std::vector<std::string> hidden;
    };
    for (const Case& c : std::vector<Case>{
             {"T1=rock+clips",
              {"Video Two", "href=\"http://media.example/v2.mov\"", "best first: 1.", "Rate"},
              {"Video One"}},
             {"T1=clips&MINBPS=100", {"Video One"}, {"Video Two"}},
             {"T1=night", {"No station matches \"night\""}, {"Adult Night Owl"}},
             {"T1=%3Cb%3E", {"&lt;b&gt;"}, {"<b>"}},
             {"", {"<form method=\"get\" action=\"/search.asp\"", "Type a word"}, {}}}) {
        HttpAnswer a = get("/search.asp?" + c.query);
        EXPECT_EQ(a.status, 200) << c.query;
        for (const std::string& s : c.shown) {
            EXPECT_TRUE(contains(a.body, s)) << c.query << ": " << s << "\n" << a.body;
        }
        for (const std::string& s : c.hidden) {
            EXPECT_FALSE(contains(a.body, s)) << c.query << ": " << s;
        }
    }
}

TEST_F(Pages, SupportMessagesAreStoredAndListed) {
    HttpAnswer sent =
        post("/mailform.htm", "name=Ann&email=ann%40example.org&subject=Hello&message=It+works%21");
    EXPECT_EQ(sent.status, 200);
    EXPECT_TRUE(contains(sent.body, "number 1"));
    HttpAnswer empty = post("/mailform.htm", "name=Bob&message=+++");
    EXPECT_EQ(empty.status, 400);
    EXPECT_TRUE(contains(empty.body, "value=\"Bob\""));  // what was typed stays in the form
    EXPECT_EQ(post("/mailform.htm", "message=" + std::string(5000, 'x')).status, 400);
    EXPECT_EQ(post("/mailform.htm", "message=" + std::string(9000, 'x')).status, 413);

    Finished listed = run({dataServerBinary(), "messages", "--db", db_.string()});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_TRUE(contains(listed.out, "from Ann <ann@example.org>"));
    EXPECT_TRUE(contains(listed.out, "It works!"));
    EXPECT_FALSE(contains(listed.out, "Bob"));
}

TEST_F(Pages, SupportFormRefusesWhatItCannotStoreAlike) {
    struct Case {
        std::string body;
        int status;
    };
    for (const Case& c : std::vector<Case>{
             {"name=" + std::string(3000, 'n') + "&message=Text", 400},  // past the query bound
             {"name=" + std::string(101, 'n') + "&message=Text", 400},
             {"email=" + std::string(201, 'e') + "&message=Text", 400},
             {"subject=" + std::string(201, 's') + "&message=Text", 400},
             {"name=A%00nn&message=Text", 400},
             {"name=Ann&message=%1B%5B2J", 400},
             {"subject=Hi%0D%0A&message=Text", 400},
             {"email=%FF&message=Text", 400},
             {"name=J%C3%BCrgen&message=Line+one%0D%0ALine+two%09end", 200},
         }) {
        EXPECT_EQ(post("/mailform.htm", c.body).status, c.status) << c.body.substr(0, 40);
    }
    Finished listed = run({dataServerBinary(), "messages", "--db", db_.string()});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_TRUE(contains(listed.out, "from J\xC3\xBCrgen <>")) << listed.out;
    EXPECT_TRUE(contains(listed.out, "\n  Line one\n  Line two\\tend\n")) << listed.out;
    EXPECT_FALSE(contains(listed.out, std::string(100, 'n'))) << listed.out;
}

TEST_F(Pages, MessagesPrintsStoredFieldsEscaped) {
    // Rows stored before the form checked its fields: written straight into the database.
    Finished put = run({"sqlite3", db_.string(),
                        "INSERT INTO support_messages(name, email, subject, body, remote, sent_at) "
                        "VALUES (CAST(X'416E6E1B5B324A' AS TEXT), CAST(X'6100620A' AS TEXT), "
                        "'S', CAST(X'68690D0A233939206661' AS TEXT), '1.2.3.4', 0)"});
    ASSERT_EQ(put.status, 0) << put.err;
    Finished listed = run({dataServerBinary(), "messages", "--db", db_.string()});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "#1 1970-01-01 00:00:00Z from Ann\\x1b[2J <a\\x00b\\n> (1.2.3.4)\nSubject: S\n"
              "  hi\\r\n  #99 fa\n\n");
}

TEST_F(Pages, EverySenderIsToldTheNumberOfTheirOwnMessage) {
    // 16 senders at once over kept-alive connections, each posting subjects of its own; each
    // thank-you must name the row that holds that sender's subject.
    constexpr int kSenders = 16;
    constexpr int kEach = 60;
    std::vector<std::string> numbers(kSenders * kEach);
    std::vector<std::thread> senders;
    for (int t = 0; t < kSenders; ++t) {
        senders.emplace_back([&, t] {
            RawClient client(server_->port());
            for (int i = 0; i < kEach; ++i) {
                int k = t * kEach + i;
                std::string form = "subject=s" + std::to_string(k) + "&message=m";
                client.send(
                    "POST /mailform.htm HTTP/1.1\r\nHost: t\r\nContent-Type: "
                    "application/x-www-form-urlencoded\r\nContent-Length: " +
                    std::to_string(form.size()) + "\r\n\r\n" + form);
                auto a = client.answer();
                std::size_t at = a ? a->body.find("(number ") : std::string::npos;
                if (at != std::string::npos) {
                    numbers[k] = a->body.substr(at + 8, a->body.find(')', at) - at - 8);
                }
            }
        });
    }
    for (std::thread& t : senders) {
        t.join();
    }
    Finished listed = run({dataServerBinary(), "messages", "--db", db_.string(), "--limit",
                           std::to_string(kSenders * kEach)});
    int wrong = 0;
    for (int k = 0; k < kSenders * kEach; ++k) {
        ASSERT_FALSE(numbers[k].empty()) << k;
        std::size_t at = listed.out.find("#" + numbers[k] + " ");
        ASSERT_NE(at, std::string::npos) << numbers[k];
        std::size_t subject = listed.out.find("Subject: ", at) + 9;
        wrong += listed.out.substr(subject, listed.out.find('\n', subject) - subject) !=
                 "s" + std::to_string(k);
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(Pages, MediaFilesServeWholeAndByRange) {
    HttpAnswer whole = get("/media/clip.mov");
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.body, clip_);
    EXPECT_TRUE(contains(whole.headers, "video/quicktime"));
    EXPECT_TRUE(contains(whole.headers, "Accept-Ranges: bytes"));

    HttpAnswer part = get("/media/clip.mov", {"-r", "1000-1999"});
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.body, clip_.substr(1000, 1000));
    EXPECT_TRUE(contains(part.headers, "Content-Range: bytes 1000-1999/100000"));

    HttpAnswer tail = get("/media/clip.mov", {"-r", "-10"});
    EXPECT_EQ(tail.status, 206);
    EXPECT_EQ(tail.body, clip_.substr(clip_.size() - 10));

    EXPECT_EQ(get("/media/clip.mov", {"-r", "200000-"}).status, 416);
    EXPECT_EQ(get("/media/sub%20dir/a%20b.mp3").body, "abc");
}

TEST_F(Pages, MediaNeverLeavesItsFolder) {
    for (std::string target :
         {"/media/../secret.txt", "/media/%2e%2e/secret.txt", "/media/link.mov", "/media/",
          "/media/sub%20dir", "/media//etc/passwd", "/media/nothing.mov"}) {
        HttpAnswer a = get(target);
        EXPECT_EQ(a.status, 404) << target;
        EXPECT_FALSE(contains(a.body, "not for the web")) << target;
    }
}

TEST_F(Pages, OverlongRequestLinesAreRefused) {
    EXPECT_EQ(get("/kinvo39.asp?P=T&T1=LIST_TV&T2=" + std::string(9000, 'a')).status, 414);
    // Just under the limit is served (an empty list for an unknown category).
    HttpAnswer near = get("/kinvo39.asp?P=T&T1=LIST_TV&T2=" + std::string(7000, 'a'));
    EXPECT_EQ(near.status, 200);
    EXPECT_TRUE(readList(near.body, false).empty());
}

}  // namespace
}  // namespace kinvo::ds::test
