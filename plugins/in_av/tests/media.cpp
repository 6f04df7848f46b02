#include "plugins/in_av/tests/media.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kinvo::in_av::testing {

MediaFolder::MediaFolder() {
    char pattern[] = "/tmp/in_av_test.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp");
    }
    path_ = pattern;
}

MediaFolder::~MediaFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string MediaFolder::make(const std::string& name, const std::string& arguments) const {
    const std::string file = path_ + "/" + name;
    const std::string command = "ffmpeg -nostdin -y -v error " + arguments + " '" + file + "'";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
    return file;
}

std::string MediaFolder::referencePcm(const std::string& file, const std::string& options) const {
    const std::string raw =
        make("reference.raw", "-i '" + file + "' " + options + " -f s16le -acodec pcm_s16le");
    return readFile(raw);
}

std::string MediaFolder::write(const std::string& name, const std::string& bytes) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace kinvo::in_av::testing
