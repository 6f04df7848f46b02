// The built enc_*.so loaded as the host loads them: a generated tone through
// CreateAudio3 / encode / PrepareToFinish / encode... / FinishAudio3 / destroy into a file, decoded
// by the ffmpeg tool and compared with the input; type and option handling.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sonari/encoder.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "plugins/enc_common/ini_file.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFlac = SONARI_FOURCC('F', 'L', 'A', 'C');
constexpr uint32_t kMp3 = SONARI_FOURCC('M', 'P', '3', ' ');
constexpr uint32_t kOgg = SONARI_FOURCC('O', 'G', 'G', ' ');
constexpr uint32_t kOpus = SONARI_FOURCC('O', 'P', 'U', 'S');

struct DlClose {
    void operator()(void* handle) const noexcept { dlclose(handle); }
};

struct Plugin {
    std::unique_ptr<void, DlClose> library;
    SonariCreateAudio3 create = nullptr;
    SonariPrepareToFinish prepare = nullptr;
    SonariFinishAudio3 finish = nullptr;
    SonariSetConfigItem setConfig = nullptr;
};

Plugin load(const std::string& stem) {
    Plugin plugin;
    const std::string path = std::string(ENC_PLUGIN_DIR) + "/" + stem + ".so";
    plugin.library.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!plugin.library) {
        ADD_FAILURE() << dlerror();
        return plugin;
    }
    void* h = plugin.library.get();
    plugin.create = reinterpret_cast<SonariCreateAudio3>(dlsym(h, SONARI_ENCODER_CREATE));
    plugin.prepare =
        reinterpret_cast<SonariPrepareToFinish>(dlsym(h, SONARI_ENCODER_PREPARE_TO_FINISH));
    plugin.finish = reinterpret_cast<SonariFinishAudio3>(dlsym(h, SONARI_ENCODER_FINISH));
    plugin.setConfig =
        reinterpret_cast<SonariSetConfigItem>(dlsym(h, SONARI_ENCODER_SET_CONFIG_ITEM));
    EXPECT_TRUE(plugin.create && plugin.prepare && plugin.finish && plugin.setConfig) << stem;
    return plugin;
}

struct Format {
    int channels;
    int rate;
    int bits;
};

// A tone per channel (330 Hz apart), half of full scale, as interleaved PCM of the format.
std::vector<uint8_t> tone(const Format& f, int frames, std::vector<float>& reference) {
    const int width = f.bits / 8;
    std::vector<uint8_t> pcm(static_cast<size_t>(frames) * f.channels * width);
    reference.resize(static_cast<size_t>(frames) * f.channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            const double t = static_cast<double>(i) / f.rate;
            const double x = 0.5 * std::sin(2 * M_PI * (440.0 + 330.0 * c) * t);
            const size_t index = static_cast<size_t>(i) * f.channels + c;
            uint8_t* out = pcm.data() + index * width;
            if (f.bits == 8) {
                const auto v = static_cast<int>(std::lround(x * 127));
                out[0] = static_cast<uint8_t>(v + 128);
                reference[index] = static_cast<float>(v / 128.0);
                continue;
            }
            const double scale = std::ldexp(1.0, f.bits - 1);
            const auto v = static_cast<int64_t>(std::llround(x * (scale - 1)));
            for (int b = 0; b < width; ++b) {
                out[b] = static_cast<uint8_t>((static_cast<uint64_t>(v) >> (8 * b)) & 0xFF);
            }
            reference[index] = static_cast<float>(static_cast<double>(v) / scale);
        }
    }
    return pcm;
}

// The whole conversion as the host drives it, in 32 KB blocks and a small output buffer.
bool encodeFile(const Plugin& plugin, uint32_t type, const Format& f,
                const std::vector<uint8_t>& pcm, const std::string& config,
                const std::string& path) {
    uint32_t outputType = type;
    SonariEncoder* encoder =
        plugin.create(f.channels, f.rate, f.bits, SONARI_TYPE_PCM, &outputType, config.c_str());
    if (encoder == nullptr) {
        return false;
    }
    std::ofstream file(path, std::ios::binary);
    std::vector<char> out(4096);
    const size_t frameBytes = static_cast<size_t>(f.channels) * (f.bits / 8);
    const size_t blockBytes = 32768 / frameBytes * frameBytes;
    bool ok = true;
    auto pump = [&](const uint8_t* input, int32_t bytes) {
        for (int32_t position = 0;; ++position) {
            int32_t used = 0;
            const int32_t made = encoder->ops->encode(encoder, position, input, bytes, &used,
                                                      out.data(), static_cast<int32_t>(out.size()));
            if (made < 0) {
                ok = false;
                return;
            }
            file.write(out.data(), made);
            input = input != nullptr ? input + used : nullptr;
            bytes -= used;
            if (made == 0 && used == 0) {
                return;
            }
        }
    };
    for (size_t offset = 0; offset < pcm.size() && ok; offset += blockBytes) {
        pump(pcm.data() + offset, static_cast<int32_t>(std::min(blockBytes, pcm.size() - offset)));
    }
    plugin.prepare(path.c_str(), encoder);
    pump(nullptr, 0);
    file.close();
    plugin.finish(path.c_str(), encoder);
    encoder->ops->destroy(encoder);
    return ok;
}

// The file as the ffmpeg tool decodes it: float samples at the given rate and channel count.
std::vector<float> decode(const std::string& path, const Format& f) {
    const std::string command = "ffmpeg -v error -i '" + path + "' -f f32le -ac " +
                                std::to_string(f.channels) + " -ar " + std::to_string(f.rate) +
                                " -";
    std::vector<float> samples;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return samples;
    }
    float chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, sizeof(float), 4096, pipe)) > 0) {
        samples.insert(samples.end(), chunk, chunk + got);
    }
    pclose(pipe);
    return samples;
}

// The total samples a FLAC file's stream information gives (0 when unknown or not FLAC).
uint64_t flacHeaderFrames(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char head[26] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head) || std::memcmp(head, "fLaC", 4) != 0) {
        return 0;
    }
    uint64_t bits = 0;
    for (int i = 18; i < 26; ++i) {
        bits = bits << 8 | head[i];
    }
    return bits & ((uint64_t{1} << 36) - 1);
}

// The signal-to-noise ratio of decoded against reference, in dB, over their common length.
double snrDb(const std::vector<float>& reference, const std::vector<float>& decoded) {
    double signal = 0;
    double noise = 0;
    for (size_t i = 0; i < std::min(reference.size(), decoded.size()); ++i) {
        signal += double{reference[i]} * reference[i];
        noise += (double{reference[i]} - decoded[i]) * (double{reference[i]} - decoded[i]);
    }
    return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
}

class EncodersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("enc_test_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        config_ = (folder_ / "vexa.ini").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
    std::string config_;
};

struct RoundTrip {
    const char* plugin;
    uint32_t type;
    Format format;
    double minSnrDb;  // the codec at its default options on this tone
    int slack;        // frames the decoded length may differ by (each container records the exact
                      // length, so at most a sample lost or won in resampling)
};

TEST_F(EncodersTest, DecodedOutputHasTheInputsLengthAndSound) {
    const RoundTrip cases[] = {
        // Lossless: the decoded samples are the input's.
        {"enc_flac", kFlac, {2, 44100, 16}, 150, 0},
        {"enc_flac", kFlac, {6, 96000, 24}, 150, 0},
        {"enc_flac", kFlac, {1, 8000, 8}, 150, 0},
        // Lossy, at the default options (measured: MP3 26-30 dB, Vorbis 38-41, Opus 41-45).
        {"enc_mp3", kMp3, {2, 44100, 16}, 27, 1},
        {"enc_mp3", kMp3, {1, 22050, 32}, 23, 1},
        {"enc_mp3", kMp3, {2, 11000, 16}, 23, 1},  // resampled to 11025 and back
        {"enc_vorbis", kOgg, {2, 44100, 16}, 35, 1},
        {"enc_vorbis", kOgg, {8, 48000, 24}, 35, 1},
        {"enc_opus", kOpus, {2, 44100, 16}, 38, 1},  // resampled to 48 kHz and back
        {"enc_opus", kOpus, {1, 48000, 8}, 38, 1},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(std::string(c.plugin) + " " + std::to_string(c.format.channels) + " ch " +
                     std::to_string(c.format.rate) + " Hz " + std::to_string(c.format.bits) +
                     " bit");
        const Plugin plugin = load(c.plugin);
        ASSERT_TRUE(plugin.create);
        const int frames = c.format.rate * 2 + 123;
        std::vector<float> reference;
        const auto pcm = tone(c.format, frames, reference);
        const std::string path = (folder_ / "out").string();
        ASSERT_TRUE(encodeFile(plugin, c.type, c.format, pcm, config_, path));
        const auto decoded = decode(path, c.format);
        const auto decodedFrames = static_cast<long>(decoded.size()) / c.format.channels;
        EXPECT_LE(std::labs(decodedFrames - frames), c.slack) << decodedFrames;
        EXPECT_GE(snrDb(reference, decoded), c.minSnrDb);
        if (c.type == kFlac) {  // the length written into the header after the file was closed
            EXPECT_EQ(flacHeaderFrames(path), static_cast<uint64_t>(frames));
        }
    }
}

TEST_F(EncodersTest, EachAnswersOnlyItsOwnType) {
    const std::pair<const char*, uint32_t> plugins[] = {
        {"enc_flac", kFlac}, {"enc_mp3", kMp3}, {"enc_vorbis", kOgg}, {"enc_opus", kOpus}};
    const uint32_t types[] = {
        kFlac, kMp3, kOgg, kOpus, SONARI_TYPE_WAV, SONARI_FOURCC('f', 'l', 'a', 'c')};
    for (const auto& [stem, own] : plugins) {
        const Plugin plugin = load(stem);
        ASSERT_TRUE(plugin.create);
        for (uint32_t type : types) {
            uint32_t outputType = type;
            SonariEncoder* encoder =
                plugin.create(2, 44100, 16, SONARI_TYPE_PCM, &outputType, config_.c_str());
            EXPECT_EQ(encoder != nullptr, type == own) << stem << " " << type;
            if (encoder != nullptr) {
                // Ended part-way: the header handed out, one block in, then gone without
                // finishing.
                const std::vector<uint8_t> silence(32768);
                std::vector<uint8_t> out(4096);
                int32_t used = 0;
                for (int call = 0; call < 100 && used == 0; ++call) {
                    ASSERT_GE(encoder->ops->encode(encoder, call, silence.data(), 32768, &used,
                                                   out.data(), 4096),
                              0);
                }
                EXPECT_EQ(used, 32768);
                encoder->ops->destroy(encoder);
            }
        }
        // Not PCM input, or a width it cannot take.
        uint32_t outputType = own;
        EXPECT_EQ(plugin.create(2, 44100, 16, SONARI_TYPE_WAV, &outputType, config_.c_str()),
                  nullptr);
        EXPECT_EQ(plugin.create(2, 44100, 12, SONARI_TYPE_PCM, &outputType, config_.c_str()),
                  nullptr);
    }
}

TEST_F(EncodersTest, SetConfigItemStoresOnlyKnownValidItemsOfItsType) {
    struct Case {
        const char* plugin;
        uint32_t type;
        const char* item;
        const char* value;
        bool taken;
    };
    const Case cases[] = {
        {"enc_flac", kFlac, "compression_level", "8", true},
        {"enc_flac", kFlac, "compression_level", "13", false},
        {"enc_flac", kFlac, "compression_level", "five", false},
        {"enc_flac", kMp3, "compression_level", "5", false},
        {"enc_flac", kFlac, "bitrate", "128", false},
        {"enc_mp3", kMp3, "bitrate", "320", true},
        {"enc_mp3", kMp3, "bitrate", "100", false},
        {"enc_mp3", kMp3, "quality", "0", true},
        {"enc_mp3", kMp3, "quality", "10", false},
        {"enc_mp3", kMp3, "vbr", "off", true},
        {"enc_mp3", kMp3, "vbr", "4", true},
        {"enc_mp3", kMp3, "vbr", "on", false},
        {"enc_mp3", kOgg, "bitrate", "128", false},
        {"enc_vorbis", kOgg, "quality", "-1", true},
        {"enc_vorbis", kOgg, "quality", "4.5", true},
        {"enc_vorbis", kOgg, "quality", "11", false},
        {"enc_vorbis", kOpus, "quality", "5", false},
        {"enc_opus", kOpus, "bitrate", "510", true},
        {"enc_opus", kOpus, "bitrate", "5", false},
        {"enc_opus", kOpus, "complexity", "0", true},
        {"enc_opus", kOpus, "compression_level", "5", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.plugin) + " " + c.item + "=" + c.value);
        fs::remove(config_);
        const Plugin plugin = load(c.plugin);
        ASSERT_TRUE(plugin.setConfig);
        EXPECT_EQ(plugin.setConfig(c.type, c.item, c.value, config_.c_str()) != 0, c.taken);
        char section[5] = {};
        for (int i = 0; i < 4; ++i) {
            section[i] = static_cast<char>(c.type >> (8 * i));
        }
        const auto stored = kinvo::enc::readIniValue(config_, section, c.item);
        EXPECT_EQ(stored.has_value(), c.taken);
        if (stored) {
            EXPECT_EQ(*stored, c.value);
        }
    }
}

TEST_F(EncodersTest, StoredOptionsChangeTheOutput) {
    struct Case {
        const char* plugin;
        uint32_t type;
        const char* item;
        const char* smaller;  // the value that gives the smaller file
        const char* larger;
    };
    const Case cases[] = {
        {"enc_flac", kFlac, "compression_level", "8", "0"},
        {"enc_mp3", kMp3, "bitrate", "64", "320"},
        {"enc_vorbis", kOgg, "quality", "0", "10"},
        {"enc_opus", kOpus, "bitrate", "16", "256"},
    };
    const Format format{2, 44100, 16};
    std::vector<float> reference;
    const auto pcm = tone(format, 44100 * 3, reference);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.plugin) + " " + c.item);
        const Plugin plugin = load(c.plugin);
        ASSERT_TRUE(plugin.setConfig);
        uintmax_t sizes[2] = {};
        for (int i = 0; i < 2; ++i) {
            ASSERT_NE(
                plugin.setConfig(c.type, c.item, i == 0 ? c.smaller : c.larger, config_.c_str()),
                0);
            const std::string path = (folder_ / "out").string();
            ASSERT_TRUE(encodeFile(plugin, c.type, format, pcm, config_, path));
            sizes[i] = fs::file_size(path);
        }
        EXPECT_LT(sizes[0] * 1.2, sizes[1]) << sizes[0] << " " << sizes[1];
    }
}

}  // namespace
