// out_qpcm.so loaded as the host loads it: the WAV files it makes, its time, and writes from
// several threads at once.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sonari/out_module.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

class OutQpcm : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/out_qpcm_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        setenv("KINVO_PCM_DIR", folder_.c_str(), 1);
        library_ = dlopen(OUT_QPCM_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto get = reinterpret_cast<SonariGetOutModuleFn>(dlsym(library_, SONARI_GET_OUT_MODULE));
        ASSERT_NE(get, nullptr);
        out_ = get();
        ASSERT_EQ(out_->version, SONARI_OUT_VERSION);
        out_->init();
    }
    void TearDown() override {
        if (out_ != nullptr) {
            out_->quit();
        }
        if (library_ != nullptr) {
            dlclose(library_);
        }
        unsetenv("KINVO_PCM_DIR");
        fs::remove_all(folder_);
    }
    // The only file written so far.
    std::string onlyFile() const {
        std::vector<fs::path> files(fs::directory_iterator(folder_), fs::directory_iterator{});
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string() : files.front().string();
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static uint32_t le(const std::string& bytes, size_t at, int size) {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    }

    std::string folder_;
    void* library_ = nullptr;
    SonariOutModule* out_ = nullptr;
};

TEST_F(OutQpcm, WritesACanonicalWavWhoseSizesAreRightBeforeAndAfterClose) {
    ASSERT_EQ(out_->open(22050, 2, 16, -1, -1), 0);
    const std::string pcm = "abcdefghijklmnop";
    EXPECT_EQ(out_->write(pcm.data(), 8), 0);
    const std::string path = onlyFile();
    EXPECT_NE(path.find("out_qpcm-" + std::to_string(getpid()) + "-"), std::string::npos);
    // While still open (as a process that died now would leave it).
    std::string bytes = read(path);
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(le(bytes, 40, 4), 8u);
    EXPECT_EQ(out_->write(pcm.data() + 8, 8), 0);
    out_->close();
    bytes = read(path);
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(le(bytes, 4, 4), 52u);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(bytes, 16, 4), 16u);
    EXPECT_EQ(le(bytes, 20, 2), 1u);
    EXPECT_EQ(le(bytes, 22, 2), 2u);
    EXPECT_EQ(le(bytes, 24, 4), 22050u);
    EXPECT_EQ(le(bytes, 28, 4), 22050u * 4);
    EXPECT_EQ(le(bytes, 32, 2), 4u);
    EXPECT_EQ(le(bytes, 34, 2), 16u);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(le(bytes, 40, 4), 16u);
    EXPECT_EQ(bytes.substr(44), pcm);
}

TEST_F(OutQpcm, TimeCountsWrittenBytesFromTheLastFlush) {
    ASSERT_EQ(out_->open(1000, 1, 16, -1, -1), 0);  // 2000 bytes a second
    const std::vector<char> second(2000, 0);
    out_->write(second.data(), 1000);
    EXPECT_EQ(out_->getOutputTime(), 500);
    EXPECT_EQ(out_->getWrittenTime(), 500);
    out_->flush(3000);
    EXPECT_EQ(out_->getOutputTime(), 3000);
    out_->write(second.data(), 2000);
    EXPECT_EQ(out_->getOutputTime(), 4000);
    EXPECT_EQ(out_->pause(1), 0);
    EXPECT_EQ(out_->pause(0), 1);
    EXPECT_EQ(out_->isPlaying(), 0);
    EXPECT_GT(out_->canWrite(), 1 << 20);
    out_->close();
}

TEST_F(OutQpcm, EachOpenMakesANewFileAnEmptyOneGoesAndAMissingFolderFails) {
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(out_->open(8000, 1, 16, -1, -1), 0);
        out_->write("ab", 2);
        out_->close();
    }
    ASSERT_EQ(out_->open(8000, 1, 16, -1, -1), 0);  // a trial open
    out_->close();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator{}), 2);
    setenv("KINVO_PCM_DIR", (folder_ + "/missing").c_str(), 1);
    EXPECT_EQ(out_->open(8000, 1, 16, -1, -1), -1);
    EXPECT_EQ(out_->write("ab", 2), -1);
}

TEST_F(OutQpcm, WritesFromSeveralThreadsAllArrive) {
    ASSERT_EQ(out_->open(44100, 2, 16, -1, -1), 0);
    constexpr int kThreads = 4;
    constexpr int kWrites = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            const std::string frame(4, static_cast<char>('a' + t));
            for (int i = 0; i < kWrites; ++i) {
                out_->write(frame.data(), 4);
                out_->getOutputTime();
                out_->setVolume(i % 256);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    out_->close();
    const std::string bytes = read(onlyFile());
    ASSERT_EQ(bytes.size(), 44u + kThreads * kWrites * 4);
    for (size_t at = 44; at < bytes.size(); at += 4) {
        ASSERT_EQ(bytes.substr(at, 4), std::string(4, bytes[at])) << "a frame was torn at " << at;
    }
}

}  // namespace
