#include "axserver/outputs/dummy_output.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

TEST(DummyOutput, RecordFields) {
    SonariOutModule* record = dummyOutput();
    EXPECT_EQ(record->version, 0x10);
    EXPECT_STREQ(record->description, "dummy output");
    EXPECT_EQ(reinterpret_cast<intptr_t>(record->fileName), 578677);
    EXPECT_EQ(record->hostWindow, 0u);
    EXPECT_EQ(record->libraryHandle, nullptr);
    EXPECT_EQ(record->configure, nullptr);
    EXPECT_EQ(record->about, nullptr);
    EXPECT_EQ(record->init, nullptr);
    EXPECT_EQ(record->quit, nullptr);
    EXPECT_EQ(record->pause, nullptr);
    EXPECT_EQ(record->canWrite(), 65536);
    EXPECT_EQ(record->isPlaying(), 0);
    EXPECT_EQ(record->getOutputTime(), 0);
    EXPECT_EQ(record->getWrittenTime(), 0);
    record->setVolume(100);
    record->setPan(-5);
    record->flush(1000);
}

class RecordingSink : public DummyOutputSink {
  public:
    int32_t open(int32_t rate, int32_t channels, int32_t bits) noexcept override {
        calls += "open " + std::to_string(rate) + " " + std::to_string(channels) + " " +
                 std::to_string(bits) + ";";
        return openAnswer;
    }
    int32_t write(const char* buffer, int32_t count) noexcept override {
        calls += "write " + std::string(buffer, static_cast<size_t>(count)) + ";";
        return 0;
    }
    void close() noexcept override { calls += "close;"; }

    std::string calls;
    int32_t openAnswer = 0;
};

TEST(DummyOutput, FeedsItsSinkAndFailsWithoutOne) {
    SonariOutModule* record = dummyOutput();
    EXPECT_LT(record->open(44100, 2, 16, -1, -1), 0);
    EXPECT_NE(record->write("ab", 2), 0);
    record->close();

    RecordingSink sink;
    setDummyOutputSink(&sink);
    EXPECT_EQ(record->open(22050, 1, 8, -1, -1), 0);
    EXPECT_EQ(record->write("pcm", 3), 0);
    record->close();
    sink.openAnswer = -1;
    EXPECT_EQ(record->open(48000, 2, 16, 500, 100), -1);
    setDummyOutputSink(nullptr);
    EXPECT_EQ(sink.calls, "open 22050 1 8;write pcm;close;open 48000 2 16;");
}

}  // namespace
}  // namespace vexa
