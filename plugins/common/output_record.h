// The output record of a sound output plug-in whose entries all forward to one object of the
// library: its Output class (made on first use, lives until the library goes) implements
// open, close, write, canWrite, isPlaying, pause, setVolume, setPan, flush, outputTime and
// writtenTime with the meanings of the record's entries (sonari/out_module.h), each safe from
// any thread. No exception leaves an entry: a call that throws (an allocation failure) answers
// as a failed call (-1 for open and write, 0 for the others).
#pragma once

#include <sonari/out_module.h>

namespace kinvo::plugins {

template <class Output>
class OutputRecord {
  public:
    // The library's record with this description; the same record on every call.
    static SonariOutModule* record(const char* description) {
        static SonariOutModule made = {
            SONARI_OUT_VERSION,
            description,
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
        return &made;
    }

  private:
    static Output& output() {
        static Output instance;
        return instance;
    }
    template <typename Result, typename Call>
    static Result guarded(Result failed, Call call) noexcept {
        try {
            return call();
        } catch (...) {
            return failed;
        }
    }

    static void init() {}
    static void quit() {
        guarded(0, [] { return output().close(), 0; });
    }
    static int32_t open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs,
                        int32_t prebufferMs) {
        return guarded(-1,
                       [&] { return output().open(rate, channels, bits, bufferMs, prebufferMs); });
    }
    static void close() {
        guarded(0, [] { return output().close(), 0; });
    }
    static int32_t write(const char* bytes, int32_t byteCount) {
        return guarded(-1, [&] { return output().write(bytes, byteCount); });
    }
    static int32_t canWrite() {
        return guarded(0, [] { return output().canWrite(); });
    }
    static int32_t isPlaying() {
        return guarded(0, [] { return output().isPlaying(); });
    }
    static int32_t pause(int32_t flag) {
        return guarded(0, [&] { return output().pause(flag); });
    }
    static void setVolume(int32_t volume) {
        guarded(0, [&] { return output().setVolume(volume), 0; });
    }
    static void setPan(int32_t pan) {
        guarded(0, [&] { return output().setPan(pan), 0; });
    }
    static void flush(int32_t ms) {
        guarded(0, [&] { return output().flush(ms), 0; });
    }
    static int32_t getOutputTime() {
        return guarded(0, [] { return output().outputTime(); });
    }
    static int32_t getWrittenTime() {
        return guarded(0, [] { return output().writtenTime(); });
    }
};

}  // namespace kinvo::plugins
