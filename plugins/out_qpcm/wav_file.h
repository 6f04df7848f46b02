#pragma once
// One WAV file being written: the canonical 44-byte PCM header, then the samples as given. The
// two size fields of the header are patched after every append, so a file left behind by a
// process that died mid-way is still a valid WAV of everything appended before. Sizes above
// 4 GiB are capped at the largest value the header holds.
//
// Error policy: create answers an empty optional when the file cannot be made; append answers
// false when the disk refuses bytes. Nothing throws. Move-only; one thread at a time (the output
// record's lock serialises its callers).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kinvo::qpcm {

class WavFile {
  public:
    // Creates (or truncates) `path` for PCM of this format and writes its header.
    static std::optional<WavFile> create(const std::string& path, int32_t sampleRate,
                                         int32_t channels, int32_t bitsPerSample) noexcept;

    WavFile(WavFile&& other) noexcept;
    WavFile& operator=(WavFile&& other) noexcept;
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;
    ~WavFile();

    // Appends PCM bytes and patches the sizes; false when not everything reached the file.
    bool append(const char* bytes, size_t count) noexcept;
    uint64_t dataBytes() const noexcept { return dataBytes_; }

  private:
    explicit WavFile(int fd) noexcept : fd_(fd) {}
    void patchSizes() noexcept;
    void close() noexcept;

    int fd_ = -1;
    uint64_t dataBytes_ = 0;
};

}  // namespace kinvo::qpcm
