// The image drive's write: a 10-minute disc (three WAV tracks, 45,000 sectors) written by
// PrimoSDK's back end at its best speed into a CUE sheet and BIN, beside copying the same
// samples with one read and one write per 32 KB block.
#include <benchmark/benchmark.h>

#include <primo/primo_sdk.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "runtimes/primo/backend/session_table.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kTrackBytes = 200 * 75 * 2352;  // 200 s a track

struct Folder {
    Folder() {
        path = fs::temp_directory_path() / ("burn_image_bench_" + std::to_string(::getpid()));
        fs::create_directories(path / "image");
        for (int i = 0; i < 3; ++i) {
            const auto le32 = [](uint32_t v) {
                return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
            };
            std::ofstream out(track(i), std::ios::binary);
            out << "RIFF" << le32(36 + kTrackBytes) << "WAVEfmt " << le32(16)
                << std::string("\x01\x00\x02\x00", 4) << le32(44100) << le32(176400)
                << std::string("\x04\x00\x10\x00", 4) << "data" << le32(kTrackBytes);
            std::vector<char> samples(kTrackBytes, static_cast<char>(i + 1));
            out.write(samples.data(), static_cast<std::streamsize>(samples.size()));
        }
    }
    ~Folder() { fs::remove_all(path); }
    std::string track(int i) const { return (path / ("t" + std::to_string(i) + ".wav")).string(); }
    fs::path path;
};

void BM_ImageDriveWrite(benchmark::State& state) {
    Folder folder;
    primo::SessionTable table({[&](char) -> std::optional<std::string> {
                                   return "image:" + (folder.path / "image").string();
                               },
                               [] { return std::vector<std::string>(); }});
    for (auto _ : state) {
        uint32_t handle = 0;
        table.getHandle(&handle);
        const uint32_t units[] = {'I', PRIMO_UNITS_END};
        table.newAudio(handle, units);
        for (int i = 0; i < 3; ++i) {
            table.addAudioTrack(handle, folder.track(i).c_str(), i == 0 ? 0 : 150, nullptr);
        }
        table.writeAudio(handle, PRIMO_WRITE_DISC_AT_ONCE, PRIMO_SPEED_BEST);
        uint32_t done = 0, total = 0;
        while (table.runningStatus(handle, PRIMO_STATUS_QUERY, &done, &total) == PRIMO_RUNNING) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        table.closeAudio(handle);
        if (done != total) {
            state.SkipWithError("the write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * 3 * int64_t{kTrackBytes});
}
BENCHMARK(BM_ImageDriveWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainCopy(benchmark::State& state) {
    Folder folder;
    std::vector<char> block(32768);
    for (auto _ : state) {
        std::FILE* out = std::fopen((folder.path / "image" / "copy.bin").c_str(), "wb");
        for (int i = 0; i < 3; ++i) {
            std::FILE* in = std::fopen(folder.track(i).c_str(), "rb");
            std::fseek(in, 44, SEEK_SET);
            size_t n;
            while ((n = std::fread(block.data(), 1, block.size(), in)) > 0) {
                std::fwrite(block.data(), 1, n, out);
            }
            std::fclose(in);
        }
        std::fclose(out);
    }
    state.SetBytesProcessed(state.iterations() * 3 * int64_t{kTrackBytes});
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
