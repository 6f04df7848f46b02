#include "axserver/convert/tests/media.h"

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vexa::convert_test {

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

Outcome capture(const std::string& command) {
    Outcome run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool makeTone(const std::filesystem::path& path, int rate, int channels, const std::string& codec,
              double seconds) {
    const std::string duration = std::to_string(seconds);
    return run(
        "ffmpeg -nostdin -y -f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(rate) +
        ":duration=" + duration + " -f lavfi -i sine=frequency=660:sample_rate=" +
        std::to_string(rate) + ":duration=" + duration +
        " -filter_complex \"[0][1]amerge=inputs=2,pan=" + std::to_string(channels) + "c|" +
        [&] {
            std::string map;
            for (int c = 0; c < channels; ++c) {
                map += (c > 0 ? "|c" : "c") + std::to_string(c) + "=c" + std::to_string(c % 2);
            }
            return map;
        }() +
        "\" -c:a " + codec + " -bitexact -map_metadata -1 '" + path.string() + "'");
}

std::vector<uint8_t> ffmpegDecode(const std::filesystem::path& path,
                                  const std::string& outputOptions) {
    const std::filesystem::path out = path.string() + ".ref.raw";
    if (!run("ffmpeg -nostdin -y -i '" + path.string() + "' " + outputOptions + " '" +
             out.string() + "'")) {
        return {};
    }
    auto bytes = readFile(out);
    std::filesystem::remove(out);
    return bytes;
}

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double snrDb(const std::vector<uint8_t>& reference, const std::vector<uint8_t>& tested,
             size_t skip) {
    const size_t samples = std::min(reference.size(), tested.size()) / 2;
    double signal = 0;
    double noise = 0;
    for (size_t i = skip; i < samples; ++i) {
        const auto a = static_cast<int16_t>(reference[2 * i] | (reference[2 * i + 1] << 8));
        const auto b = static_cast<int16_t>(tested[2 * i] | (tested[2 * i + 1] << 8));
        signal += static_cast<double>(a) * a;
        noise += static_cast<double>(a - b) * (a - b);
    }
    return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "convert-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace vexa::convert_test
