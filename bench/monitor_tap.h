#pragma once
// Reads a private sound server's null sink monitor on a thread of its own and remembers when
// sound was first heard after a mark. The monitor is read in 5 ms fragments, each stamped when
// it arrives; a sample's time is its fragment's stamp less the frames after it, so the figures
// include up to one fragment of the recording's own delay. Needs PULSE_SERVER set to the server
// (the test fixture's SoundServer does that) and libpulse-simple.
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lib/pulse/tests/fixture/sound_server.h"

namespace kinvo::bench {

class MonitorTap {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kFragmentFrames = kRate / 200;  // 5 ms
    static constexpr int16_t kHeard = 300;  // a sample above this is sound, below it silence

    MonitorTap() {
        pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, kChannels};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = kFragmentFrames * kChannels * 2;
        const std::string monitor = pulse::testing::SoundServer::monitorName();
        int error = 0;
        stream_ = pa_simple_new(nullptr, "kinvo bench", PA_STREAM_RECORD, monitor.c_str(),
                                "monitor", &spec, nullptr, &attr, &error);
        if (stream_ != nullptr) {
            thread_ = std::thread([this] { read(); });
        }
    }
    ~MonitorTap() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (stream_ != nullptr) {
            pa_simple_free(stream_);
        }
    }
    bool ok() const { return stream_ != nullptr; }

    // From now on, the first sample heard is remembered.
    void mark() {
        std::lock_guard guard(mutex_);
        heard_.reset();
        watching_ = true;
    }
    // The first sample heard since mark(), waiting at most `timeout`.
    std::optional<Clock::time_point> heard(std::chrono::milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            {
                std::lock_guard guard(mutex_);
                if (heard_) {
                    return heard_;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    }

  private:
    void read() {
        std::vector<int16_t> fragment(kFragmentFrames * kChannels);
        while (!stop_) {
            int error = 0;
            if (pa_simple_read(stream_, fragment.data(), fragment.size() * 2, &error) < 0) {
                return;
            }
            const auto arrived = Clock::now();
            std::lock_guard guard(mutex_);
            if (!watching_ || heard_) {
                continue;
            }
            for (size_t i = 0; i < fragment.size(); ++i) {
                if (std::abs(fragment[i]) > kHeard) {
                    const auto framesAfter =
                        static_cast<int64_t>((fragment.size() - i) / kChannels);
                    heard_ = arrived - std::chrono::microseconds(framesAfter * 1000000 / kRate);
                    break;
                }
            }
        }
    }

    pa_simple* stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;  // guards watching_ and heard_
    bool watching_ = false;
    std::optional<Clock::time_point> heard_;
};

}  // namespace kinvo::bench
