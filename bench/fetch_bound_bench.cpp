// Peak memory of `kinvo --print-category` when the category's document is far too large: the
// data server (the test fixture over loopback) answers the list with a chunked stream of 400 MB,
// or 2,000,000 tiny catalogue entries, or a normal small catalogue for the baseline; and one
// byte every 2 s, where the run's length (seconds) shows the fetch's total limit. The browser
// must give up at its document bound, so the peak stays near the baseline whatever the server
// sends. Counters: peak_rss_MB (the child's resident high-water mark), streamed_MB (body bytes the
// server handed to the socket before the browser went), seconds (wall time of the run).
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/fixture/http_fixture.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using kinvo::testing::Answer;
using kinvo::testing::HttpFixture;

constexpr const char* kListTarget = "/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MINBPS=100&V=3.9";

enum Kind { kBaseline, kChunked400MB, kTinyEntries, kDrip };

Answer answerFor(int kind) {
    switch (kind) {
        case kChunked400MB:
            return Answer{.streamBytes = 400LL * 1000 * 1000};
        case kDrip:  // one byte every 2 s: only the total limit ends it (about 60 s)
            return Answer{
                .streamBytes = 1000, .pieceBytes = 1, .pieceDelay = std::chrono::seconds(2)};
        case kTinyEntries: {
            std::string document;
            document.reserve(2'000'000 * 24);
            for (int i = 0; i < 2'000'000; ++i) {
                document += "<a href=\"x\">a@@b##1%%0</a>\n";
            }
            return Answer{std::move(document)};
        }
        default:
            return Answer{kinvo::testing::catalogueDocument(kinvo::testing::musicVideoStations())};
    }
}

// The high-water mark of a running process's resident set in kB (VmHWM); 0 once it has gone.
long residentPeak(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// Runs kinvo to its end; its peak resident set in kB, or -1 when it could not run. The peak is
// sampled from /proc every 2 ms while it runs: the child's own rusage would also count this
// process's memory, which a spawned child shares until it runs kinvo.
long runKinvo(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    long peak = 0;
    int status = 0;
    for (;;) {
        peak = std::max(peak, residentPeak(pid));
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            return peak;
        }
        if (ended < 0) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void BM_PrintCategoryPeakRss(benchmark::State& state) {
    // A program folder and settings of its own, so that no cache file answers for the server.
    std::string home = "/tmp/kinvo-fetch-bench-XXXXXX";
    if (mkdtemp(home.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    setenv("KINVO_HOME", (home + "/program").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    HttpFixture fixture;
    kinvo::testing::installCannedCatalogue(fixture, "catalogue.example");
    fixture.answer(kListTarget, answerFor(static_cast<int>(state.range(0))));
    const std::vector<std::string> args = {
        KINVO_PATH,
        "--discovery",
        fixture.url("/redirect35.asp"),
        "--connect-to",
        "127.0.0.1:" + std::to_string(fixture.port()),
        "--print-category",
        "Music Video",
    };
    long peak = 0;
    double seconds = 0;
    const std::int64_t streamedBefore = fixture.streamedBytes();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        peak = runKinvo(args);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (peak < 0) {
            state.SkipWithError("kinvo did not run");
            break;
        }
    }
    std::filesystem::remove_all(home);
    state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
    state.counters["streamed_MB"] = static_cast<double>(fixture.streamedBytes() - streamedBefore) /
                                    1e6 / static_cast<double>(state.iterations());
    state.counters["seconds"] = seconds;
}
BENCHMARK(BM_PrintCategoryPeakRss)
    ->ArgName("kind")
    ->Arg(kBaseline)
    ->Arg(kChunked400MB)
    ->Arg(kTinyEntries)
    ->Arg(kDrip)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
