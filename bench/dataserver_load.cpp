// Load test of kinvo-dataserver: builds a 10,000-station catalogue, starts the real server on a
// free loopback port and replays the browser's list, search and station-start requests from
// many keep-alive connections at once. Reports requests per second, latency percentiles and
// the server's resident memory while serving, and how long it takes to stop on SIGTERM.
//
//   dataserver_load [--server PATH] [--connections N] [--requests N] [--seconds N]
//                   [--stations N] [--threads N]
//
// Bounded in requests and time; talks to 127.0.0.1 only.
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/synthetic_catalogue.h"

using namespace kinvo::bench;

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUsage =
    "usage: dataserver_load [--server PATH] [--connections N] [--requests N] [--seconds N]\n"
    "                       [--stations N] [--threads N]\n"
    "Builds a catalogue of N stations, starts the data server on a free loopback port and\n"
    "replays list, search and station-start requests over kept-alive connections.\n";

struct Options {
    std::string server;
    int connections = 32;
    int requests = 30000;
    int seconds = 60;
    int stations = 10000;
    int threads = 8;
};

int runAndWait(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double percentile(std::vector<double>& sorted, double p) {
    if (sorted.empty()) {
        return 0;
    }
    std::size_t i = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    o.server = (std::filesystem::path(argv[0]).parent_path() / "../bin/kinvo-dataserver").string();
    for (int i = 1; i < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n%s", a.c_str(), kUsage);
            return 2;
        }
        int n = std::atoi(argv[i + 1]);
        if (a == "--server") {
            o.server = argv[i + 1];
        } else if (a == "--connections") {
            o.connections = std::clamp(n, 1, 512);
        } else if (a == "--requests") {
            o.requests = std::clamp(n, 1, 10'000'000);
        } else if (a == "--seconds") {
            o.seconds = std::clamp(n, 1, 600);
        } else if (a == "--stations") {
            o.stations = std::clamp(n, 100, 1'000'000);
        } else if (a == "--threads") {
            o.threads = std::clamp(n, 1, 256);
        } else {
            std::fprintf(stderr, "unknown option %s\n%s", a.c_str(), kUsage);
            return 2;
        }
    }

    auto dir = std::filesystem::temp_directory_path() / ("kinvo-load-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto db = dir / "load.db";
    writeCatalogue(dir / "load.csv", o.stations);
    auto t0 = Clock::now();
    if (runAndWait({o.server, "import", "--db", db.string(), (dir / "load.csv").string()}) != 0) {
        std::fprintf(stderr, "import failed\n");
        return 1;
    }
    double importSeconds = std::chrono::duration<double>(Clock::now() - t0).count();

    // The server, on any free port; its first stderr line names it.
    int errPipe[2];
    if (pipe(errPipe) != 0) {
        return 1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    std::string threads = std::to_string(o.threads);
    std::vector<std::string> serverArgs{o.server,    "serve",     "--db",
                                        db.string(), "--listen",  "127.0.0.1:0",
                                        "--quiet",   "--threads", threads};
    std::vector<char*> sargs;
    for (std::string& a : serverArgs) {
        sargs.push_back(a.data());
    }
    sargs.push_back(nullptr);
    pid_t server;
    if (posix_spawn(&server, sargs[0], &actions, nullptr, sargs.data(), environ) != 0) {
        return 1;
    }
    close(errPipe[1]);
    std::string err;
    int port = 0;
    char buf[512];
    while (port == 0) {
        ssize_t n = read(errPipe[0], buf, sizeof buf);
        if (n <= 0) {
            std::fprintf(stderr, "server did not start: %s\n", err.c_str());
            return 1;
        }
        err.append(buf, static_cast<std::size_t>(n));
        std::size_t at = err.find("listening on 127.0.0.1:");
        if (at != std::string::npos && err.find('\n', at) != std::string::npos) {
            port = std::atoi(err.c_str() + at + 23);
        }
    }
    long idleRss = procStatusKb(server, "VmRSS:");

    std::atomic<int> issued{0};
    std::atomic<int> failures{0};
    std::atomic<bool> sampling{true};
    std::atomic<long> peakServing{0};
    std::mutex latMutex;
    std::vector<double> latencies;  // milliseconds; guarded by latMutex
    latencies.reserve(static_cast<std::size_t>(o.requests));
    auto deadline = Clock::now() + std::chrono::seconds(o.seconds);

    std::thread sampler([&] {
        while (sampling.load()) {
            peakServing.store(std::max(peakServing.load(), procStatusKb(server, "VmRSS:")));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });

    auto start = Clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < o.connections; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            client.set_read_timeout(30, 0);
            std::mt19937 rng(static_cast<unsigned>(c) * 7919u + 1u);
            std::vector<double> mine;
            const char* classes[] = {"&MINBPS=100&V=3.9", "&MAXBPS=56&V=3.9", "&V=3.9"};
            while (issued.fetch_add(1) < o.requests && Clock::now() < deadline) {
                std::string target;
                unsigned kind = rng() % 100;
                if (kind < 60) {
                    std::string name =
                        catalogueCategory(static_cast<int>(rng() % kCatalogueCategories));
                    std::replace(name.begin(), name.end(), ' ', '+');
                    target = "/kinvo39.asp?P=T&T1=LIST_TV&T2=" + name + classes[rng() % 3];
                } else if (kind < 85) {
                    target = std::string("/kinvo39.asp?P=T&SEARCH=1&T1=") +
                             kCatalogueWords[rng() % std::size(kCatalogueWords)] +
                             classes[rng() % 3];
                } else {
                    target =
                        "/kinvo39.asp?STATS=1&U=" +
                        stationAddress(static_cast<int>(rng() % static_cast<unsigned>(o.stations)));
                }
                auto t = Clock::now();
                auto res = client.Get(target.c_str());
                double ms = std::chrono::duration<double, std::milli>(Clock::now() - t).count();
                if (!res || res->status != 200 || (kind < 85 && res->body.empty())) {
                    failures.fetch_add(1);
                }
                mine.push_back(ms);
            }
            std::lock_guard lock(latMutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    for (std::thread& t : clients) {
        t.join();
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sampling.store(false);
    sampler.join();
    long peak = procStatusKb(server, "VmHWM:");

    // The clients' keep-alive connections are closed by now; the server should stop at once.
    auto stopAsked = Clock::now();
    kill(server, SIGTERM);
    int status = 0;
    waitpid(server, &status, 0);
    double stopMs = std::chrono::duration<double, std::milli>(Clock::now() - stopAsked).count();
    std::filesystem::remove_all(dir);

    std::sort(latencies.begin(), latencies.end());
    std::printf("catalogue: %d stations in %d categories (import %.2f s)\n", o.stations,
                kCatalogueCategories, importSeconds);
    std::printf(
        "load: %zu requests (60%% lists, 25%% searches, 15%% station starts) over %d "
        "connections, %d server threads\n",
        latencies.size(), o.connections, o.threads);
    std::printf("throughput: %.0f requests/s over %.2f s, %d failed\n",
                static_cast<double>(latencies.size()) / seconds, seconds, failures.load());
    std::printf("latency: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", percentile(latencies, 0.5),
                percentile(latencies, 0.99), latencies.empty() ? 0.0 : latencies.back());
    std::printf(
        "server memory: %ld KB resident idle, %ld KB while serving (sampled peak), "
        "%ld KB high-water\n",
        idleRss, peakServing.load(), peak);
    std::printf("server stopped with status %d, %.1f ms after SIGTERM\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, stopMs);
    return failures.load() == 0 ? 0 : 1;
}
