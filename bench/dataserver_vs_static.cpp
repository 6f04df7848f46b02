// kinvo-dataserver against a static file server handing out the same bytes. For each catalogue
// size (10,000 and 100,000 stations in 50 categories by default) it imports a catalogue, starts
// the real server on a free loopback port with a 50 MB file in its media folder, fetches every
// measured answer from it and writes those bytes as files for nginx (Debian's nginx-light,
// started here with its own temporary configuration on another loopback port, never as a
// service). Then `wrk -t2 -cC -dDs --latency` runs against each server in turn for every
// request, and a table shows both throughputs, p50 and p99 and the ratio, with the server's
// resident memory idle and under load.
//
//   dataserver_vs_static [--server PATH] [--stations N]... [--seconds N] [--connections N]
//                        [--threads N] [--help]
//
// Needs wrk and nginx (scripts/setup-deps installs both); talks to 127.0.0.1 only.
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/synthetic_catalogue.h"

using namespace kinvo::bench;

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMediaBytes = 50u * 1024 * 1024;
constexpr const char* kUsage =
    "usage: dataserver_vs_static [--server PATH] [--stations N]... [--seconds N]\n"
    "                            [--connections N] [--threads N]\n"
    "Runs wrk against kinvo-dataserver and against nginx serving the same bytes.\n";

struct Options {
    std::string server;
    std::vector<int> stations;
    int seconds = 10;
    int connections = 32;
    int threads = 8;
};

// A child process, ended with SIGTERM (then waited for) when it goes.
class Child {
  public:
    Child() = default;
    Child(const std::vector<std::string>& argv, int stdoutFd, int stderrFd) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (stdoutFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
        }
        if (stderrFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    Child(Child&& o) noexcept : pid_(std::exchange(o.pid_, -1)) {}
    Child& operator=(Child&& o) noexcept {
        stop();
        pid_ = std::exchange(o.pid_, -1);
        return *this;
    }
    ~Child() { stop(); }

    pid_t pid() const { return pid_; }
    int wait() {
        int status = 0;
        if (pid_ > 0) {
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void stop() noexcept {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    pid_t pid_ = -1;
};

// Runs argv to its end; its standard output, or nullopt when it failed.
std::optional<std::string> output(const std::vector<std::string>& argv) {
    int p[2];
    if (pipe(p) != 0) {
        return std::nullopt;
    }
    Child child(argv, p[1], -1);
    close(p[1]);
    std::string out;
    char buf[65536];
    ssize_t n;
    while ((n = read(p[0], buf, sizeof buf)) > 0) {
        out.append(buf, static_cast<std::size_t>(n));
    }
    close(p[0]);
    if (child.pid() < 0 || child.wait() != 0) {
        return std::nullopt;
    }
    return out;
}

int freePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
        port = ntohs(a.sin_port);
    }
    close(fd);
    return port;
}

bool waitForPort(int port, std::chrono::seconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port));
        bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(fd);
        if (ok) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void writeMedia(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    std::mt19937 rng(11);
    std::vector<char> block(1 << 20);
    for (std::size_t done = 0; done < kMediaBytes; done += block.size()) {
        for (char& c : block) {
            c = static_cast<char>(rng());
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

struct Request {
    std::string label;
    std::string target;      // on the data server
    std::string staticName;  // the file nginx serves
    std::string range;       // a Range header's value, or empty
};

std::vector<Request> requests() {
    return {
        {"category names", "/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9", "names", ""},
        {"list, broadband", "/kinvo39.asp?P=T&T1=LIST_TV&T2=Category+7&MINBPS=100&V=3.9",
         "list-broadband", ""},
        {"list, all content", "/kinvo39.asp?P=T&T1=LIST_TV&T2=Category+7&V=3.9", "list-all", ""},
        {"list, dial-up", "/kinvo39.asp?P=T&T1=LIST_TV&T2=Category+7&MAXBPS=56&V=3.9",
         "list-dialup", ""},
        {"Most Popular Stations", "/kinvo39.asp?P=T&T1=LIST_TV&T2=Most+Popular+Stations&V=3.9",
         "popular", ""},
        {"search \"rock\"", "/kinvo39.asp?P=T&SEARCH=1&T1=rock&V=3.9", "search", ""},
        {"media 50 MB", "/media/big.mp4", "big.mp4", ""},
        {"media, range 1 MB", "/media/big.mp4", "big.mp4", "bytes=1048576-2097151"},
    };
}

struct WrkResult {
    double requestsPerSecond = 0;
    double p50ms = 0;
    double p99ms = 0;
    long errors = 0;
    bool ok = false;
};

double millis(const std::string& text) {
    double v = std::atof(text.c_str());
    if (text.ends_with("us")) {
        return v / 1000;
    }
    if (text.ends_with("ms")) {
        return v;
    }
    if (text.ends_with("s")) {
        return v * 1000;
    }
    return v;
}

WrkResult runWrk(const Options& o, int port, const std::string& target, const std::string& range) {
    std::vector<std::string> argv{"wrk",
                                  "-t2",
                                  "-c" + std::to_string(o.connections),
                                  "-d" + std::to_string(o.seconds) + "s",
                                  "--latency",
                                  "--timeout",
                                  "30s"};
    if (!range.empty()) {
        argv.push_back("-H");
        argv.push_back("Range: " + range);
    }
    argv.push_back("http://127.0.0.1:" + std::to_string(port) + target);
    WrkResult r;
    auto out = output(argv);
    if (!out) {
        return r;
    }
    std::istringstream in(*out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (first == "Requests/sec:") {
            r.requestsPerSecond = std::atof(second.c_str());
            r.ok = true;
        } else if (first == "50%") {
            r.p50ms = millis(second);
        } else if (first == "99%") {
            r.p99ms = millis(second);
        } else if (first == "Non-2xx") {
            r.errors += std::atol(line.substr(line.find(':') + 1).c_str());
        } else if (first == "Socket" && line.find("errors") != std::string::npos) {
            for (const char* kind : {"connect ", "read ", "write ", "timeout "}) {
                std::size_t at = line.find(kind);
                if (at != std::string::npos) {
                    r.errors += std::atol(line.c_str() + at + std::strlen(kind));
                }
            }
        }
    }
    return r;
}

std::string nginxConfig(const fs::path& dir, int port) {
    std::string user = geteuid() == 0 ? "user root;\n" : "";
    return user + "daemon off;\nmaster_process on;\nworker_processes 2;\npid " +
           (dir / "nginx.pid").string() + ";\nerror_log " + (dir / "error.log").string() +
           " error;\nevents { worker_connections 1024; }\nhttp {\n  access_log off;\n"
           "  default_type text/html;\n  sendfile on;\n  tcp_nopush on;\n  tcp_nodelay on;\n"
           "  keepalive_requests 1000000;\n  client_body_temp_path " +
           (dir / "body").string() + ";\n  server {\n    listen 127.0.0.1:" + std::to_string(port) +
           ";\n    root " + (dir / "static").string() + ";\n  }\n}\n";
}

// The data server on a free port; its first stderr line names the port.
struct DataServer {
    Child process;
    int port = 0;
};

std::optional<DataServer> startDataServer(const Options& o, const fs::path& db,
                                          const fs::path& media) {
    int p[2];
    if (pipe(p) != 0) {
        return std::nullopt;
    }
    DataServer s;
    s.process = Child({o.server, "serve", "--db", db.string(), "--listen", "127.0.0.1:0", "--quiet",
                       "--threads", std::to_string(o.threads), "--media", media.string()},
                      -1, p[1]);
    close(p[1]);
    std::string err;
    char buf[512];
    while (s.port == 0) {
        ssize_t n = read(p[0], buf, sizeof buf);
        if (n <= 0) {
            std::fprintf(stderr, "the data server did not start: %s\n", err.c_str());
            close(p[0]);
            return std::nullopt;
        }
        err.append(buf, static_cast<std::size_t>(n));
        std::size_t at = err.find("listening on 127.0.0.1:");
        if (at != std::string::npos && err.find('\n', at) != std::string::npos) {
            s.port = std::atoi(err.c_str() + at + 23);
        }
    }
    close(p[0]);  // the server writes nothing more with --quiet but its stop line
    return s;
}

std::string kb(long v) {
    return v < 0 ? "?" : std::to_string(v / 1024) + " MB";
}

int runCatalogue(const Options& o, int stations) {
    fs::path dir = fs::temp_directory_path() /
                   ("kinvo-vs-static-" + std::to_string(getpid()) + "-" + std::to_string(stations));
    fs::create_directories(dir / "static");
    fs::create_directories(dir / "media");
    fs::create_directories(dir / "body");
    struct Cleanup {
        fs::path dir;
        ~Cleanup() {
            std::error_code ec;
            fs::remove_all(dir, ec);
        }
    } cleanup{dir};

    writeCatalogue(dir / "catalogue.csv", stations);
    fs::path db = dir / "catalogue.db";
    if (!output({o.server, "import", "--db", db.string(), (dir / "catalogue.csv").string()})) {
        std::fprintf(stderr, "import failed\n");
        return 1;
    }
    writeMedia(dir / "media" / "big.mp4");
    fs::create_hard_link(dir / "media" / "big.mp4", dir / "static" / "big.mp4");

    auto server = startDataServer(o, db, dir / "media");
    if (!server) {
        return 1;
    }
    pid_t serverPid = server->process.pid();
    std::string base = "http://127.0.0.1:" + std::to_string(server->port);
    // A few station starts, so that the popular list has entries.
    for (int i = 0; i < 60; ++i) {
        output({"curl", "-s", "-g", "-o", "/dev/null",
                base + "/kinvo39.asp?STATS=1&U=" + stationAddress((i * 37) % stations)});
    }
    long idle = procStatusKb(serverPid, "VmRSS:");

    std::vector<Request> list = requests();
    for (const Request& r : list) {
        if (r.staticName == "big.mp4") {
            continue;
        }
        auto body = output({"curl", "-s", "-g", "-f", base + r.target});
        if (!body || body->empty()) {
            std::fprintf(stderr, "no answer to %s\n", r.target.c_str());
            return 1;
        }
        std::ofstream(dir / "static" / r.staticName, std::ios::binary) << *body;
    }

    int nginxPort = freePort();
    std::ofstream(dir / "nginx.conf") << nginxConfig(dir, nginxPort);
    Child nginx({"nginx", "-c", (dir / "nginx.conf").string(), "-p", dir.string()}, -1, -1);
    if (nginx.pid() < 0 || !waitForPort(nginxPort, std::chrono::seconds(10))) {
        std::fprintf(stderr, "nginx did not start (see %s)\n", (dir / "error.log").c_str());
        return 1;
    }

    std::atomic<bool> sampling{true};
    std::atomic<long> loaded{0};
    std::thread sampler([&] {
        while (sampling.load()) {
            loaded.store(std::max(loaded.load(), procStatusKb(serverPid, "VmRSS:")));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });

    std::printf("\n%d stations in %d categories, wrk -t2 -c%d -d%ds, %d server threads\n", stations,
                kCatalogueCategories, o.connections, o.seconds, o.threads);
    std::printf("%-22s %12s %12s %7s | %9s %9s | %9s %9s | %s\n", "request", "server req/s",
                "nginx req/s", "ratio", "srv p50", "srv p99", "ngx p50", "ngx p99", "bytes");
    std::fflush(stdout);
    for (const Request& r : list) {
        WrkResult mine = runWrk(o, server->port, r.target, r.range);
        WrkResult theirs = runWrk(o, nginxPort, "/" + r.staticName, r.range);
        std::error_code ec;
        auto size = fs::file_size(dir / "static" / r.staticName, ec);
        if (!r.range.empty()) {
            size = 1048576;
        }
        std::printf(
            "%-22s %12.0f %12.0f %6.2fx | %7.2fms %7.2fms | %7.2fms %7.2fms | %ju%s\n",
            r.label.c_str(), mine.requestsPerSecond, theirs.requestsPerSecond,
            theirs.requestsPerSecond > 0 ? mine.requestsPerSecond / theirs.requestsPerSecond : 0.0,
            mine.p50ms, mine.p99ms, theirs.p50ms, theirs.p99ms, static_cast<std::uintmax_t>(size),
            mine.ok && theirs.ok && mine.errors == 0 && theirs.errors == 0 ? "" : "  (errors)");
        std::fflush(stdout);
    }
    sampling.store(false);
    sampler.join();
    std::printf("server memory: %s resident idle, %s sampled under load, %s high-water (VmHWM)\n",
                kb(idle).c_str(), kb(loaded.load()).c_str(),
                kb(procStatusKb(serverPid, "VmHWM:")).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    o.server = (fs::path(argv[0]).parent_path() / "../bin/kinvo-dataserver").string();
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        std::string v = argv[++i];
        int n = std::atoi(v.c_str());
        if (a == "--server") {
            o.server = v;
        } else if (a == "--stations") {
            o.stations.push_back(std::clamp(n, 100, 1'000'000));
        } else if (a == "--seconds") {
            o.seconds = std::clamp(n, 1, 600);
        } else if (a == "--connections") {
            o.connections = std::clamp(n, 1, 1024);
        } else if (a == "--threads") {
            o.threads = std::clamp(n, 1, 256);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (o.stations.empty()) {
        o.stations = {10000, 100000};
    }
    signal(SIGPIPE, SIG_IGN);
    for (int n : o.stations) {
        if (runCatalogue(o, n) != 0) {
            return 1;
        }
    }
    return 0;
}
