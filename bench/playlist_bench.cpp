// Loading an M3U of many address entries into the playlist: the reader, the entry rules and the
// capacity rule, without plug-ins (addresses are not looked up on the file system). The list is
// written once per size at run time; the counter "per_entry" is the time per entry.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "axserver/playlist/server_playlist.h"

namespace {

class QuietClient : public vexa::ClientLink {
  public:
    void sendEvent(int32_t, win::LPARAM) noexcept override {}
    void postEvent(int32_t, win::LPARAM) noexcept override {}
    void postStatus(int32_t, win::LPARAM) noexcept override {}
    void sendMetadata(std::string_view, int32_t) noexcept override {}
};

std::string writeList(int64_t entries) {
    char path[] = "/tmp/bench_playlistXXXXXX";
    const int fd = ::mkstemp(path);
    if (fd >= 0) {
        ::close(fd);
    }
    std::ofstream out(path, std::ios::binary);
    out << "#EXTM3U\r\n";
    for (int64_t i = 0; i < entries; ++i) {
        if (i % 2 == 0) {
            out << "#EXTINF:-1 tvg-id=\"ch" << i << "\" group-title=\"News\",Channel " << i
                << "\r\n";
        }
        out << "http://198.51.100." << (i % 250) << ":8000/live/stream" << i << ".m3u8\r\n";
    }
    return path;
}

void loadM3u(benchmark::State& state) {
    const int64_t entries = state.range(0);
    const std::string path = writeList(entries);
    QuietClient client;
    for (auto _ : state) {
        vexa::playlist::ServerPlaylist playlist(client, {});
        if (playlist.loadM3u(path) != 0 || playlist.entries().count() != entries) {
            state.SkipWithError("the list did not load whole");
            break;
        }
        benchmark::DoNotOptimize(playlist.entries().count());
    }
    std::remove(path.c_str());
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(entries),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(loadM3u)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
