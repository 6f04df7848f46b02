// The host's own output record, "dummy output": what the conversion path gives a decoder instead
// of a sound device. It is never in the output table. Its open, close and write go to the sink
// set here (the conversion that runs); without a sink open and write fail.
//
// Threads: the decoder calls the record's entries from its own thread; setDummyOutputSink is
// called by the conversion before it hands the record out and after the decoder has stopped.
#pragma once

#include <sonari/out_module.h>

#include <cstdint>

namespace vexa {

// Receives the PCM a decoder writes to the dummy output. Its calls must not throw.
class DummyOutputSink {
  public:
    virtual ~DummyOutputSink() = default;
    // The format of the PCM that follows; a negative answer refuses it.
    virtual int32_t open(int32_t sampleRate, int32_t channels, int32_t bitsPerSample) noexcept = 0;
    // Takes byteCount bytes; 0 when accepted.
    virtual int32_t write(const char* buffer, int32_t byteCount) noexcept = 0;
    virtual void close() noexcept = 0;
};

// The process's one dummy output record (its entries are plain C functions, so the record and
// its sink are process-wide).
SonariOutModule* dummyOutput() noexcept;

// Sets the sink of the dummy output; null removes it.
void setDummyOutputSink(DummyOutputSink* sink) noexcept;

}  // namespace vexa
