#include "browser/core/discovery.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/tests/fixture/http_fixture.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kinvo {
namespace {

using Answer = Prompts::Answer;
using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;
using testing::HttpFixture;
using testing::ScriptedPrompts;

TEST(Discovery, HostNameFromTheBody) {
    struct Case {
        std::string body, host;
    };
    const Case cases[] = {
        {"data.example", "data.example"},
        {"data.example<html><body>x</body></html>", "data.example"},
        {"data.example:8080", "data.example"},
        {"data.example:8080<p>a:b</p>", "data.example"},
        {"<html>error</html>", ""},
        {"data.example\r\n", "data.example\r\n"},  // nothing is trimmed
        {" data.example ", " data.example "},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hostFromDiscovery(c.body), c.host) << c.body;
    }
    EXPECT_EQ(versionRequest("data.example"), "http://data.example/reg.asp?VER=1&P=T&V=3.9");
}

class FindDataServerTest : public ::testing::Test {
  protected:
    FindDataServerTest() : fetcher(state) {
        fetcher.setConnectTo(ConnectTarget{"127.0.0.1", static_cast<quint16>(fixture.port()), {}});
        fixture.answer("/reg.asp", "Version OK");
    }

    void run() {
        FindDataServer(
            state, fetcher, prompts, fixture.url("/redirect35.asp"),
            [this](std::string_view text) { statuses.emplace_back(text); },
            [this] { ++eventRuns; });
    }

    std::vector<std::string> shownTexts() const {
        std::vector<std::string> out;
        for (const auto& shown : prompts.shown) {
            out.push_back(shown.text);
        }
        return out;
    }

    HttpFixture fixture;
    ProgramState state;
    DocFetcher fetcher;
    ScriptedPrompts prompts;
    std::vector<std::string> statuses;
    int eventRuns = 0;
};

TEST_F(FindDataServerTest, FindsTheServerAndChecksTheVersion) {
    fixture.answer("/redirect35.asp", "catalogue.example<html>redirect page</html>");
    run();
    EXPECT_EQ(state.dataServer, "catalogue.example");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Finding Data Servers...", "Done", "Checking Version..."}));
    EXPECT_EQ(eventRuns, 1);
    const auto requests = fixture.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/redirect35.asp");
    EXPECT_EQ(requests[1].target, "/reg.asp?VER=1&P=T&V=3.9");
    EXPECT_EQ(requests[1].host, "catalogue.example");
}

TEST_F(FindDataServerTest, VersionAnswers) {
    struct Case {
        std::string body;
        bool accepted;
    };
    const Case cases[] = {
        {"Version NO", false}, {"Version OK", true},   {"version no", true},
        {"Version NO.", true}, {"Version NO\n", true}, {"<html>anything</html>", true},
    };
    fixture.answer("/redirect35.asp", "catalogue.example");
    for (const Case& c : cases) {
        fixture.answer("/reg.asp", c.body);
        prompts.shown.clear();
        run();
        EXPECT_EQ(state.dataServer, c.accepted ? "catalogue.example" : "") << c.body;
        if (c.accepted) {
            EXPECT_TRUE(prompts.shown.empty()) << c.body;
        } else {
            ASSERT_EQ(prompts.shown.size(), 2u);
            EXPECT_EQ(prompts.shown[0].text,
                      "This version is out of date and may not function correctly.");
            EXPECT_EQ(prompts.shown[0].icon, Icon::Critical);
            EXPECT_EQ(prompts.shown[1].text,
                      "Please visit " + fixture.url("") + " for the newest version.");
            EXPECT_EQ(prompts.shown[1].icon, Icon::Information);
        }
    }
}

TEST_F(FindDataServerTest, NoContactThenRetrySucceeds) {
    // First discovery answers an error page, the second names the server.
    fixture.answer("/redirect35.asp", "<html>Service unavailable</html>");
    int asked = 0;
    // The answer changes while the retry question is up.
    struct SwitchingPrompts : ScriptedPrompts {
        std::function<void()> onQuestion;
        Answer message(std::string_view text, Buttons buttons, Icon icon) override {
            if (buttons != Buttons::Ok && onQuestion) {
                onQuestion();
            }
            return ScriptedPrompts::message(text, buttons, icon);
        }
    } switching;
    switching.script({Answer::Ok});
    switching.onQuestion = [&] {
        ++asked;
        fixture.answer("/redirect35.asp", "catalogue.example");
    };
    FindDataServer(
        state, fetcher, switching, fixture.url("/redirect35.asp"),
        [this](std::string_view text) { statuses.emplace_back(text); }, [] {});
    EXPECT_EQ(state.dataServer, "catalogue.example");
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(switching.shown.size(), 2u);
    EXPECT_EQ(switching.shown[0].text,
              "Unable to contact data server, please be sure you are connected to the Internet.");
    EXPECT_EQ(switching.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(switching.shown[0].icon, Icon::None);
    EXPECT_EQ(switching.shown[1].text,
              "Click OK to retry, Cancel to quit or configure Kinvo! to use a firewall.");
    EXPECT_EQ(switching.shown[1].buttons, Buttons::OkCancel);
    // The retry starts again from the first status.
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Finding Data Servers...", "Done",
                                        "Finding Data Servers...", "Done", "Checking Version..."}));
    // The error page asked for no version.
    EXPECT_EQ(fixture.countRequests("/reg.asp"), 1);
}

TEST_F(FindDataServerTest, NoContactCases) {
    struct Case {
        const char* what;
        testing::Answer discovery;
        testing::Answer version;
    };
    const Case cases[] = {
        {"empty discovery", {""}, {"Version OK"}},
        {"error page", {"<html>x</html>"}, {"Version OK"}},
        {"server error", {"catalogue.example", 500}, {"Version OK"}},
        {"empty version answer", {"catalogue.example"}, {""}},
        {"version server error", {"catalogue.example"}, {"Version OK", 503}},
    };
    for (const Case& c : cases) {
        fixture.answer("/redirect35.asp", c.discovery);
        fixture.answer("/reg.asp", c.version);
        prompts.shown.clear();
        prompts.script({Answer::Cancel, Answer::No});
        run();
        EXPECT_EQ(state.dataServer, "") << c.what;
        EXPECT_EQ(shownTexts(),
                  (std::vector<std::string>{
                      "Unable to contact data server, please be sure you are connected to the "
                      "Internet.",
                      "Click OK to retry, Cancel to quit or configure Kinvo! to use a firewall.",
                      "Would you like to configure firewall setup?",
                      "Program cannot continue, please contact " +
                          std::string(texts::kSupportEmail) + " for system status."}))
            << c.what;
        EXPECT_EQ(prompts.shown[2].buttons, Buttons::YesNo);
        EXPECT_EQ(prompts.shown[3].icon, Icon::Critical);
    }
}

TEST_F(FindDataServerTest, FirewallSetupThenRetry) {
    fixture.answer("/redirect35.asp", "");
    // Cancel, Yes (settings dialog, then discovery again), Ok (retry), Cancel, No (give up).
    prompts.script({Answer::Cancel, Answer::Yes, Answer::Ok, Answer::Cancel, Answer::No});
    run();
    EXPECT_EQ(state.dataServer, "");
    EXPECT_EQ(prompts.settingsDialogs, 1);
    EXPECT_EQ(fixture.countRequests("/redirect35.asp"), 3);
    EXPECT_EQ(prompts.shown.size(), 3u + 2u + 4u);
}

TEST_F(FindDataServerTest, UnreachableDiscoveryAddress) {
    prompts.script({Answer::Cancel, Answer::No});
    FindDataServer(
        state, fetcher, prompts, "http://127.0.0.1:1/redirect35.asp", [](std::string_view) {},
        [] {});
    EXPECT_EQ(state.dataServer, "");
    EXPECT_EQ(prompts.shown.size(), 4u);
}

}  // namespace
}  // namespace kinvo
