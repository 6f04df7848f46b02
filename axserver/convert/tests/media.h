// Test media made with the ffmpeg tool, and the tool's own decoding and resampling as reference.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexa::convert_test {

// Runs a shell command; true when it exits 0.
bool run(const std::string& command);

// What a command printed (standard output and error together) and its exit code (-1 when it did
// not exit normally).
struct Outcome {
    std::string output;
    int exitCode = -1;
};
Outcome capture(const std::string& command);

// `seconds` of two sine tones (440 Hz left, 660 Hz right, more channels repeat them) as a WAV
// file: `codec` is pcm_u8, pcm_s16le, pcm_s24le or pcm_s32le.
bool makeTone(const std::filesystem::path& path, int rate, int channels, const std::string& codec,
              double seconds);

// Any file the tool decodes, turned into raw little-endian PCM by `outputOptions` (for example
// "-f s16le" or "-ar 48000 -f s16le"); empty when the tool fails.
std::vector<uint8_t> ffmpegDecode(const std::filesystem::path& path,
                                  const std::string& outputOptions);

std::vector<uint8_t> readFile(const std::filesystem::path& path);

// 10 log10(signal energy / difference energy) of two 16-bit sample streams over their common
// length, skipping `skip` samples at the start; large when they are alike.
double snrDb(const std::vector<uint8_t>& reference, const std::vector<uint8_t>& tested,
             size_t skip = 0);

// A fresh temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace vexa::convert_test
