// Encoding speed of the encoder plug-ins: ten minutes of stereo 44.1 kHz 16-bit PCM (two tones and
// a little noise, made in memory) through enc_flac.so and enc_mp3.so into a file, driven as the
// host drives them (32 KB blocks), beside the ffmpeg tool encoding the same PCM (read from a raw
// file) with the same settings in the same run: FLAC at compression level 5, MP3 at 192 kbit/s
// with quality 2 (the plug-ins' defaults). The counter "x_realtime" is the length of the sound
// over the wall time of one encoding; "cpu_s" is the CPU time of one encoding (the plug-in's in
// this process, the tool's as a child), which a loaded machine changes less than the wall time.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sonari/encoder.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kSeconds = 600;

// The PCM of the run and its raw file, made once; the folder goes at exit.
struct Source {
    fs::path folder;
    fs::path raw;
    std::vector<int16_t> pcm;
    Source() {
        folder = fs::temp_directory_path() / ("enc_bench_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        raw = folder / "in.raw";
        const auto frames = static_cast<size_t>(kSeconds * kRate);
        pcm.resize(frames * kChannels);
        std::minstd_rand noise(1);
        std::uniform_int_distribution<int> dither(-200, 200);
        for (size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            pcm[2 * i] = static_cast<int16_t>(9000 * std::sin(2 * M_PI * 440 * t) + dither(noise));
            pcm[2 * i + 1] =
                static_cast<int16_t>(9000 * std::sin(2 * M_PI * 660 * t) + dither(noise));
        }
        std::ofstream(raw, std::ios::binary)
            .write(reinterpret_cast<const char*>(pcm.data()),
                   static_cast<std::streamsize>(pcm.size() * sizeof(int16_t)));
    }
    ~Source() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Source& source() {
    static Source made;
    return made;
}

// CPU time, user and system, of this process or of its ended children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One encoding through the plug-in into a file; false when it fails.
bool encodeWithPlugin(const char* stem, uint32_t type, const fs::path& out) {
    const std::string path = std::string(ENC_PLUGIN_DIR) + "/" + stem + ".so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return false;
    }
    auto create = reinterpret_cast<SonariCreateAudio3>(dlsym(library, SONARI_ENCODER_CREATE));
    auto prepare =
        reinterpret_cast<SonariPrepareToFinish>(dlsym(library, SONARI_ENCODER_PREPARE_TO_FINISH));
    auto finish = reinterpret_cast<SonariFinishAudio3>(dlsym(library, SONARI_ENCODER_FINISH));
    const std::string config = (source().folder / "vexa.ini").string();
    uint32_t outputType = type;
    SonariEncoder* encoder =
        create(kChannels, kRate, 16, SONARI_TYPE_PCM, &outputType, config.c_str());
    bool ok = encoder != nullptr;
    std::ofstream file(out, std::ios::binary);
    std::vector<char> buffer(64 * 1024);
    auto pump = [&](const uint8_t* input, int32_t bytes) {
        for (int32_t position = 0; ok; ++position) {
            int32_t used = 0;
            const int32_t made = encoder->ops->encode(encoder, position, input, bytes, &used,
                                                      buffer.data(), buffer.size());
            ok = made >= 0;
            file.write(buffer.data(), std::max(made, 0));
            input = input != nullptr ? input + used : nullptr;
            bytes -= used;
            if (made == 0 && used == 0) {
                return;
            }
        }
    };
    const auto* bytes = reinterpret_cast<const uint8_t*>(source().pcm.data());
    const size_t total = source().pcm.size() * sizeof(int16_t);
    for (size_t offset = 0; offset < total && ok; offset += 32768) {
        pump(bytes + offset, static_cast<int32_t>(std::min<size_t>(32768, total - offset)));
    }
    if (ok) {
        prepare(out.c_str(), encoder);
        pump(nullptr, 0);
    }
    file.close();
    if (encoder != nullptr) {
        finish(out.c_str(), encoder);
        encoder->ops->destroy(encoder);
    }
    dlclose(library);
    return ok;
}

void pluginCase(benchmark::State& state, const char* stem, uint32_t type, const char* extension) {
    const fs::path out = source().folder / (std::string("plugin.") + extension);
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        if (!encodeWithPlugin(stem, type, out)) {
            state.SkipWithError("the plug-in did not encode");
            return;
        }
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(out));
    state.counters["cpu_s"] = (cpuSeconds(RUSAGE_SELF) - cpuBefore) / state.iterations();
}

void toolCase(benchmark::State& state, const char* codecOptions, const char* extension) {
    const fs::path out = source().folder / (std::string("tool.") + extension);
    const std::string command = "ffmpeg -v error -y -f s16le -ar 44100 -ac 2 -i '" +
                                source().raw.string() + "' " + codecOptions + " '" + out.string() +
                                "'";
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the ffmpeg tool failed");
            return;
        }
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(out));
    state.counters["cpu_s"] = (cpuSeconds(RUSAGE_CHILDREN) - cpuBefore) / state.iterations();
}

void BM_FlacPlugin(benchmark::State& state) {
    pluginCase(state, "enc_flac", SONARI_FOURCC('F', 'L', 'A', 'C'), "flac");
}
void BM_FlacTool(benchmark::State& state) {
    toolCase(state, "-c:a flac -compression_level 5", "flac");
}
void BM_Mp3Plugin(benchmark::State& state) {
    pluginCase(state, "enc_mp3", SONARI_FOURCC('M', 'P', '3', ' '), "mp3");
}
void BM_Mp3Tool(benchmark::State& state) {
    toolCase(state, "-c:a libmp3lame -b:a 192k -compression_level 2", "mp3");
}

BENCHMARK(BM_FlacPlugin)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_FlacTool)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Mp3Plugin)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Mp3Tool)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
