#pragma once
// Test media made with the ffmpeg tool in a temporary folder, and the tool's own decoding of a
// file as the reference PCM.

#include <string>

namespace kinvo::in_av::testing {

class MediaFolder {
  public:
    MediaFolder();
    ~MediaFolder();
    MediaFolder(const MediaFolder&) = delete;
    MediaFolder& operator=(const MediaFolder&) = delete;

    const std::string& path() const { return path_; }
    // Runs "ffmpeg -y -v error <arguments> <folder>/<name>"; answers the file's path. Throws when
    // the tool fails.
    std::string make(const std::string& name, const std::string& arguments) const;
    // The ffmpeg tool's decoding of `file` to interleaved signed 16-bit PCM; `options` go before
    // the output (e.g. "-ac 2").
    std::string referencePcm(const std::string& file, const std::string& options = "") const;
    // Writes bytes to <folder>/<name>; answers the path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

std::string readFile(const std::string& path);

}  // namespace kinvo::in_av::testing
