// A test decoder's source: a PCM WAV file (as the ffmpeg tool writes it) read chunk by chunk.
// Used by one thread at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace convert_test {

class WavSource {
  public:
    // Null with `error` set when the file is not a PCM WAV file.
    static std::unique_ptr<WavSource> open(const char* path, std::string& error);
    ~WavSource();

    int32_t rate = 0;
    int32_t bits = 0;
    int32_t channels = 0;
    int64_t dataBytes = 0;

    // Up to `size` bytes of samples (whole frames); 0 at the end.
    int32_t read(char* buffer, int32_t size);
    int32_t lengthMs() const;

  private:
    std::FILE* file_ = nullptr;
    int64_t left_ = 0;
};

}  // namespace convert_test
