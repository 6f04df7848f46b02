// out_qpcm: the disk writer. Each open makes a new WAV file of exactly the PCM it is then given,
// in the folder named by KINVO_PCM_DIR, else $TMPDIR, else /tmp, named
// "out_qpcm-<pid>-<n>.wav" (n counts the opens of this process from 1). It never waits: canWrite
// always answers kWritable, write stores at once, isPlaying answers 0, so an input plug-in
// decodes into it as fast as it can. setVolume and setPan are recorded but never change the
// samples: the file holds exactly what was written. A file that got no sample by its close (the
// host's trial open at start-up, a stream that failed at once) is removed. The time is the base (0
// at open, ms after flush(ms)) plus the bytes written since then, in milliseconds of the open
// format.
//
// Threads: the host calls init, quit, open and close on its main thread; input plug-ins call the
// rest from their own threads. Every entry takes stateLock, which guards everything in State.
// Error policy: open answers -1 when the file cannot be created; write answers 0 when the bytes
// are stored, -1 otherwise (nothing open, disk full). No entry throws.
#include <sonari/out_module.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>

#include "plugins/out_qpcm/wav_file.h"

namespace {

using kinvo::qpcm::WavFile;

constexpr int32_t kWritable = 1 << 24;

struct State {
    std::optional<WavFile> file;  // the open file; empty before open and after close
    std::string path;             // of the open file
    int64_t bytesPerSecond = 0;   // of the open format
    int64_t baseMs = 0;           // the time at open (0) or at the last flush
    uint64_t bytesAtBase = 0;     // file data bytes at open or at the last flush
    int32_t paused = 0;
    int32_t volume = 255;  // recorded only
    int32_t pan = 0;       // recorded only
    uint32_t opens = 0;    // files made by this process
};

std::mutex stateLock;  // guards state
State state;

std::string outputFolder() {
    for (const char* name : {"KINVO_PCM_DIR", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "/tmp";
}

int32_t elapsedMs(const State& s) noexcept {
    if (!s.file || s.bytesPerSecond <= 0) {
        return static_cast<int32_t>(s.baseMs);
    }
    const uint64_t bytes = s.file->dataBytes() - s.bytesAtBase;
    return static_cast<int32_t>(s.baseMs + static_cast<int64_t>(bytes * 1000 / s.bytesPerSecond));
}

// Closes the open file; one without samples goes.
void closeFile(State& s) noexcept {
    if (s.file && s.file->dataBytes() == 0) {
        s.file.reset();
        ::unlink(s.path.c_str());
    }
    s.file.reset();
}

void init() {}

void quit() {
    std::lock_guard lock(stateLock);
    closeFile(state);
}

int32_t open(int32_t sampleRate, int32_t channels, int32_t bitsPerSample, int32_t, int32_t) {
    try {
        std::lock_guard lock(stateLock);
        closeFile(state);
        ++state.opens;
        state.path = outputFolder() + "/out_qpcm-" + std::to_string(::getpid()) + "-" +
                     std::to_string(state.opens) + ".wav";
        state.file = WavFile::create(state.path, sampleRate, channels, bitsPerSample);
        if (!state.file) {
            return -1;
        }
        state.bytesPerSecond = int64_t{sampleRate} * channels * (bitsPerSample / 8);
        state.baseMs = 0;
        state.bytesAtBase = 0;
        state.paused = 0;
        return 0;
    } catch (...) {
        return -1;
    }
}

void close() {
    std::lock_guard lock(stateLock);
    closeFile(state);
}

int32_t write(const char* buffer, int32_t byteCount) {
    std::lock_guard lock(stateLock);
    if (!state.file || byteCount < 0) {
        return -1;
    }
    return state.file->append(buffer, static_cast<size_t>(byteCount)) ? 0 : -1;
}

int32_t canWrite() {
    return kWritable;
}

int32_t isPlaying() {
    return 0;
}

int32_t pause(int32_t flag) {
    std::lock_guard lock(stateLock);
    const int32_t previous = state.paused;
    state.paused = flag != 0 ? 1 : 0;
    return previous;
}

void setVolume(int32_t volume) {
    std::lock_guard lock(stateLock);
    state.volume = volume;
}

void setPan(int32_t pan) {
    std::lock_guard lock(stateLock);
    state.pan = pan;
}

void flush(int32_t ms) {
    std::lock_guard lock(stateLock);
    state.baseMs = ms;
    state.bytesAtBase = state.file ? state.file->dataBytes() : 0;
}

int32_t getTime() {
    std::lock_guard lock(stateLock);
    return elapsedMs(state);
}

SonariOutModule record = {
    .version = SONARI_OUT_VERSION,
    .description = "Kinvo disk writer 1.0",
    .fileName = nullptr,
    .hostWindow = 0,
    .libraryHandle = nullptr,
    .configure = nullptr,
    .about = nullptr,
    .init = init,
    .quit = quit,
    .open = open,
    .close = close,
    .write = write,
    .canWrite = canWrite,
    .isPlaying = isPlaying,
    .pause = pause,
    .setVolume = setVolume,
    .setPan = setPan,
    .flush = flush,
    .getOutputTime = getTime,
    .getWrittenTime = getTime,
};

}  // namespace

extern "C" SONARI_EXPORT SonariOutModule* sonariGetOutModule(void) {
    return &record;
}
