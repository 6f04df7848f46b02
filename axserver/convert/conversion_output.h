#pragma once
// Where a conversion's decoded PCM goes: straight into the destination ("PCM "), or through the
// encoder object in 32 KB steps (the same loop for a library's encoder and the WavWriter).
//
// Contract: made on the main thread; then one converting thread calls write ... and finish once;
// the encoder object itself is released by its owner on the main thread after the conversion has
// ended. Nothing throws; a write that fails (a full disk) makes write and finish answer false and
// every later write does nothing.
#include <cstdint>
#include <optional>
#include <string>

#include "axserver/convert/encoder_choice.h"
#include "axserver/convert/output_file.h"

namespace vexa {

class ConversionOutput {
  public:
    static constexpr int32_t kBlockBytes = 0x8000;

    // `encoder` null: "PCM ", the bytes are written as they come.
    ConversionOutput(OutputFile file, ChosenEncoder* encoder, std::string destination) noexcept
        : file_(std::move(file)), encoder_(encoder), destination_(std::move(destination)) {}

    // Writes or encodes `bytes` of PCM; false once writing has failed.
    bool write(const char* data, int32_t bytes) noexcept;
    // The end: when the decoder reached its end, the encoder is told (PrepareToFinish, or the
    // WavWriter's drain) and drained; the WavWriter's header goes over the room it reserved; the
    // file is closed and FinishAudio3 called. False when any write failed.
    bool finish(bool decoderEnded) noexcept;

    int64_t writtenBytes() const noexcept { return written_; }

  private:
    bool encode(const char* data, int32_t bytes) noexcept;
    bool put(const void* data, size_t bytes) noexcept;

    OutputFile file_;
    ChosenEncoder* encoder_;
    std::string destination_;
    int64_t written_ = 0;
    bool failed_ = false;
    bool finished_ = false;
    char block_[kBlockBytes];
};

}  // namespace vexa
