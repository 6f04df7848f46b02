// Conversion speed: ten minutes of sound converted through vexahost (commands 747 and 748, from
// the start to status 225) beside the ffmpeg tool doing the same in the same run:
//   mp3 -> WAV and mp3 -> 48 kHz WAV    in_av.so's extended read, against "ffmpeg -i in.mp3
//                                       out.wav" and "... -ar 48000 out.wav"
//   wav -> 48 kHz WAV                   the test WAV decoder (the conversion's own cost: the
//                                       resampler and the writes), against "ffmpeg -ar 48000"
//   mp3 -> FLAC, mp3 -> MP3             the encoder libraries enc_*.so of bin/Plugins, against
//                                       "ffmpeg -c:a flac -compression_level 5" and "-c:a
//                                       libmp3lame -b:a 192k -compression_level 2" (the
//                                       encoders' default settings)
// A case whose conversion cannot start (in_av without extended read, no encoder library) is
// skipped with the server's text. The counter "x_realtime" is the sound's length over the wall
// time of one conversion; "cpu_s" is the CPU time of one conversion (vexahost's process, or the
// ffmpeg tool's), the fairer figure on a loaded machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/process_cpu.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr double kSeconds = 600;

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

constexpr uint32_t fourcc(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

// The run's program folder (vexahost, in_av.so, the encoder libraries, the test WAV decoder)
// and its media, made once.
struct Setup {
    fs::path dir;
    std::string mp3, wav;
    std::unique_ptr<vexa::VexaClient> client;

    Setup() {
        dir = fs::temp_directory_path() / ("convert-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir / "Plugins");
        const fs::path bin = fs::path(VEXAHOST_PATH).parent_path();
        fs::copy_file(VEXAHOST_PATH, dir / "vexahost");
        for (const auto& entry : fs::directory_iterator(bin / "Plugins")) {
            const std::string name = entry.path().filename().string();
            if (name == "in_av.so" || name.rfind("enc_", 0) == 0) {
                fs::copy_file(entry.path(), dir / "Plugins" / name);
            }
        }
        fs::copy_file(std::string(CONVERT_TEST_PLUGIN_DIR) + "/in_wavread.so",
                      dir / "Plugins/in_wavread.so");
        mp3 = (dir / "long.mp3").string();
        wav = (dir / "long.wav").string();
        const std::string tone =
            "ffmpeg -nostdin -y -f lavfi -i sine=frequency=440:duration=600 "
            "-f lavfi -i sine=frequency=660:duration=600 "
            "-filter_complex amerge=inputs=2 ";
        run(tone + "-c:a libmp3lame -b:a 192k " + mp3);
        run(tone + "-c:a pcm_s16le " + wav);
        client = std::make_unique<vexa::VexaClient>();
        if (!client->start((dir / "vexahost").string())) {
            client.reset();
        }
    }
    ~Setup() {
        client.reset();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

Setup& setup() {
    static Setup made;
    return made;
}

// One conversion through the server; "" when it finished, else why not.
std::string convert(const std::string& source, const std::string& destination, uint32_t type,
                    int32_t rate) {
    vexa::VexaClient* client = setup().client.get();
    if (client == nullptr) {
        return "vexahost did not start";
    }
    bool finished = false;
    client->setEventHandler([&](const vexa::ClientEvent& e) {
        finished = finished || (e.kind == vexa::ClientEvent::Kind::kStatus && e.code == 225);
    });
    vexa::Values args{vexa::Value::s(source), vexa::Value::s(destination),
                      vexa::Value::l(static_cast<int32_t>(type)), vexa::Value::l(0)};
    if (rate != 0) {
        args.insert(args.end(), {vexa::Value::l(rate), vexa::Value::l(16), vexa::Value::l(2)});
    }
    vexa::Reply reply = client->callRaw(vexa::CMD_CONVERT_START, args, "l");
    if (!reply.ok()) {
        auto text = client->block() ? client->block()->peek("s") : std::nullopt;
        return text ? (*text)[0].text : "747 failed";
    }
    client->waitFor([&] { return finished; }, 600s);
    client->call(vexa::CMD_CONVERT_END, {vexa::Value::l(reply.number(0))});
    return finished ? "" : "no end within 600 s";
}

void report(benchmark::State& state, double cpuSeconds) {
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_s"] = cpuSeconds / static_cast<double>(state.iterations());
}

double serverCpu() {
    vexa::VexaClient* client = setup().client.get();
    return client != nullptr && client->serverProcess() != nullptr
               ? kinvo::bench::cpuSeconds(client->serverProcess()->pid())
               : 0;
}

// CPU seconds of the children this process has waited for.
double waitedChildrenCpu() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void viaVexahost(benchmark::State& state, bool fromMp3, uint32_t type, int32_t rate,
                 const char* extension) {
    const std::string source = fromMp3 ? setup().mp3 : setup().wav;
    const std::string destination = (setup().dir / (std::string("out.") + extension)).string();
    const double cpuBefore = serverCpu();
    for (auto _ : state) {
        std::string why = convert(source, destination, type, rate);
        if (!why.empty()) {
            state.SkipWithError(why.c_str());
            return;
        }
    }
    report(state, serverCpu() - cpuBefore);
}

void viaFfmpeg(benchmark::State& state, bool fromMp3, const std::string& options,
               const char* extension) {
    const std::string source = fromMp3 ? setup().mp3 : setup().wav;
    const std::string destination = (setup().dir / (std::string("tool.") + extension)).string();
    const double cpuBefore = waitedChildrenCpu();
    for (auto _ : state) {
        if (!run("ffmpeg -nostdin -y -i " + source + " " + options + " " + destination)) {
            state.SkipWithError("the ffmpeg tool failed");
            return;
        }
    }
    report(state, waitedChildrenCpu() - cpuBefore);
}

constexpr uint32_t kWav = fourcc("WAV ");

void BM_Vexahost_Mp3ToWav(benchmark::State& s) {
    viaVexahost(s, true, kWav, 0, "wav");
}
void BM_Ffmpeg_Mp3ToWav(benchmark::State& s) {
    viaFfmpeg(s, true, "", "wav");
}
void BM_Vexahost_Mp3ToWav48k(benchmark::State& s) {
    viaVexahost(s, true, kWav, 48000, "wav");
}
void BM_Ffmpeg_Mp3ToWav48k(benchmark::State& s) {
    viaFfmpeg(s, true, "-ar 48000", "wav");
}
void BM_Vexahost_WavToWav48k(benchmark::State& s) {
    viaVexahost(s, false, kWav, 48000, "wav");
}
void BM_Ffmpeg_WavToWav48k(benchmark::State& s) {
    viaFfmpeg(s, false, "-ar 48000", "wav");
}
void BM_Vexahost_Mp3ToFlac(benchmark::State& s) {
    viaVexahost(s, true, fourcc("FLAC"), 0, "flac");
}
void BM_Ffmpeg_Mp3ToFlac(benchmark::State& s) {
    viaFfmpeg(s, true, "-c:a flac -compression_level 5", "flac");
}
void BM_Vexahost_Mp3ToMp3(benchmark::State& s) {
    viaVexahost(s, true, fourcc("MP3 "), 0, "mp3");
}
void BM_Ffmpeg_Mp3ToMp3(benchmark::State& s) {
    viaFfmpeg(s, true, "-c:a libmp3lame -b:a 192k -compression_level 2", "mp3");
}

BENCHMARK(BM_Vexahost_Mp3ToWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Ffmpeg_Mp3ToWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Vexahost_Mp3ToWav48k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Ffmpeg_Mp3ToWav48k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Vexahost_WavToWav48k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Ffmpeg_WavToWav48k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Vexahost_Mp3ToFlac)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Ffmpeg_Mp3ToFlac)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Vexahost_Mp3ToMp3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Ffmpeg_Mp3ToMp3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
