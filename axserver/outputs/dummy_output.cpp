#include "axserver/outputs/dummy_output.h"

#include <mutex>

#include "axserver/outputs/texts.h"

namespace vexa {

namespace {

// The sink of the dummy output, guarded by sinkMutex.
std::mutex sinkMutex;
DummyOutputSink* currentSink = nullptr;

int32_t dummyOpen(int32_t sampleRate, int32_t channels, int32_t bitsPerSample, int32_t, int32_t) {
    std::lock_guard lock(sinkMutex);
    return currentSink != nullptr ? currentSink->open(sampleRate, channels, bitsPerSample) : -1;
}

void dummyClose() {
    std::lock_guard lock(sinkMutex);
    if (currentSink != nullptr) {
        currentSink->close();
    }
}

int32_t dummyWrite(const char* buffer, int32_t byteCount) {
    std::lock_guard lock(sinkMutex);
    return currentSink != nullptr ? currentSink->write(buffer, byteCount) : 1;
}

int32_t dummyCanWrite() {
    return kDummyOutputCanWrite;
}
int32_t answerZero() {
    return 0;
}
void ignoreValue(int32_t) {}

SonariOutModule makeDummyOutput() {
    SonariOutModule record{};
    record.version = SONARI_OUT_VERSION;
    record.description = kDummyOutputDescription;
    record.fileName = reinterpret_cast<char*>(kDummyOutputIdentifier);
    record.open = dummyOpen;
    record.close = dummyClose;
    record.write = dummyWrite;
    record.canWrite = dummyCanWrite;
    record.isPlaying = answerZero;
    record.setVolume = ignoreValue;
    record.setPan = ignoreValue;
    record.flush = ignoreValue;
    record.getOutputTime = answerZero;
    record.getWrittenTime = answerZero;
    return record;
}

SonariOutModule dummyRecord = makeDummyOutput();

}  // namespace

SonariOutModule* dummyOutput() noexcept {
    return &dummyRecord;
}

void setDummyOutputSink(DummyOutputSink* sink) noexcept {
    std::lock_guard lock(sinkMutex);
    currentSink = sink;
}

}  // namespace vexa
