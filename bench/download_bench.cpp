// The stream download against the curl command-line tool: both fetch the same 200 MB body from
// one loopback HTTP server into a local file, in the same run; compare their bytes per second.
// Real time is measured, since the tool spends its time in a child process.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "axserver/download/download_module.h"
#include "axserver/download/tests/loopback_server.h"

extern char** environ;

namespace vexa {
namespace {

namespace fs = std::filesystem;

constexpr size_t kBodySize = 200u << 20;
constexpr size_t kPiece = 1u << 20;

class SilentLink final : public ClientLink {
  public:
    void sendEvent(int32_t, win::LPARAM) noexcept override {}
    void postEvent(int32_t, win::LPARAM) noexcept override {}
    void postStatus(int32_t, win::LPARAM) noexcept override {}
    void sendMetadata(std::string_view, int32_t) noexcept override {}
};

// The body, made once per run, and the server that sends it in pieces of 1 MB.
struct Fixture {
    std::string body = std::string(kBodySize, 'v');
    testing::LoopbackServer server{[this](httplib::Server& s) {
        s.Get("/big", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(body.size(), "application/octet-stream",
                                     [this](size_t offset, size_t length, httplib::DataSink& sink) {
                                         return sink.write(body.data() + offset,
                                                           std::min(length, kPiece));
                                     });
        });
    }};
    fs::path destination = fs::temp_directory_path() / "vexa-bench-download.bin";

    Fixture() { setenv("no_proxy", "127.0.0.1", 1); }
    ~Fixture() { fs::remove(destination); }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void checkSize(benchmark::State& state, const fs::path& file) {
    if (fs::file_size(file) != kBodySize) {
        state.SkipWithError("the file does not hold the whole body");
    }
}

void BM_VexaDownload(benchmark::State& state) {
    Fixture& f = fixture();
    SilentLink link;
    DownloadModule module(link);
    const std::string url = f.server.url("/big");
    for (auto _ : state) {
        if (module.download(url, f.destination.string()) != 0) {
            state.SkipWithError("download failed");
            break;
        }
    }
    checkSize(state, f.destination);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_VexaDownload)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_CurlTool(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string url = f.server.url("/big");
    const std::string out = f.destination.string();
    for (auto _ : state) {
        const char* argv[] = {"curl", "-s", "-o", out.c_str(), url.c_str(), nullptr};
        pid_t child = 0;
        int status = 0;
        if (posix_spawnp(&child, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) !=
                0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    checkSize(state, f.destination);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_CurlTool)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
}  // namespace vexa
