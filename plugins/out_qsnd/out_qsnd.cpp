// The output record of out_qsnd.so: the entries forward to the library's one
// SoundServerOutput. No exception leaves an entry (an allocation failure answers as a failed
// call).

#include <sonari/out_module.h>

#include "plugins/out_qsnd/sound_server_output.h"

namespace {

kinvo::qsnd::SoundServerOutput& output() {
    static kinvo::qsnd::SoundServerOutput instance;
    return instance;
}

template <typename Result, typename Call>
Result guarded(Result failed, Call call) noexcept {
    try {
        return call();
    } catch (...) {
        return failed;
    }
}

void init() {}
void quit() {
    output().close();
}
int32_t open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs, int32_t prebufferMs) {
    return guarded(-1, [&] { return output().open(rate, channels, bits, bufferMs, prebufferMs); });
}
void close() {
    output().close();
}
int32_t write(const char* bytes, int32_t byteCount) {
    return guarded(-1, [&] { return output().write(bytes, byteCount); });
}
int32_t canWrite() {
    return guarded(0, [] { return output().canWrite(); });
}
int32_t isPlaying() {
    return guarded(0, [] { return output().isPlaying(); });
}
int32_t pause(int32_t flag) {
    return guarded(0, [&] { return output().pause(flag); });
}
void setVolume(int32_t volume) {
    guarded(0, [&] {
        output().setVolume(volume);
        return 0;
    });
}
void setPan(int32_t pan) {
    guarded(0, [&] {
        output().setPan(pan);
        return 0;
    });
}
void flush(int32_t ms) {
    guarded(0, [&] {
        output().flush(ms);
        return 0;
    });
}
int32_t getOutputTime() {
    return guarded(0, [] { return output().outputTime(); });
}
int32_t getWrittenTime() {
    return guarded(0, [] { return output().writtenTime(); });
}

SonariOutModule record = {
    SONARI_OUT_VERSION,
    "Kinvo sound server output",
    nullptr,
    0,
    nullptr,
    nullptr,
    nullptr,
    init,
    quit,
    open,
    close,
    write,
    canWrite,
    isPlaying,
    pause,
    setVolume,
    setPan,
    flush,
    getOutputTime,
    getWrittenTime,
};

}  // namespace

extern "C" SONARI_EXPORT SonariOutModule* sonariGetOutModule(void) {
    return &record;
}
