#include "axserver/inputs/vis_ring.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vexa {

int64_t VisRing::framesFor(int32_t maxLatencyMs, int32_t sampleRate) noexcept {
    constexpr int64_t kDivisor = 450000;
    int64_t product = static_cast<int64_t>(maxLatencyMs) * sampleRate;
    // Rounded to the nearest integer, halves away from zero.
    int64_t frames =
        product >= 0 ? (product + kDivisor / 2) / kDivisor : (product - kDivisor / 2) / kDivisor;
    return std::clamp<int64_t>(frames, 1, kMaxFrames);
}

void VisRing::init(int32_t maxLatencyMs, int32_t sampleRate) noexcept {
    std::lock_guard lock(mutex_);
    try {
        slots_.assign(static_cast<size_t>(framesFor(maxLatencyMs, sampleRate)), Slot{});
    } catch (const std::bad_alloc&) {
        slots_.clear();
    }
    next_ = 0;
    stored_ = 0;
}

void VisRing::quit() noexcept {
    std::lock_guard lock(mutex_);
    slots_.clear();
    slots_.shrink_to_fit();
    next_ = 0;
}

int32_t VisRing::add(const unsigned char* values, int32_t timestamp, int32_t kind) noexcept {
    std::lock_guard lock(mutex_);
    if (slots_.empty() || values == nullptr) {
        return 1;
    }
    Slot& slot = slots_[next_];
    std::memcpy(slot.values.data(), values, kValues);
    slot.timestamp = timestamp;
    slot.kind = kind;
    next_ = (next_ + 1) % slots_.size();
    ++stored_;
    return 0;
}

void VisRing::addPcm(const void* samples, int32_t channels, int32_t bitsPerSample,
                     int32_t timestamp) noexcept {
    std::array<unsigned char, kValues> values{};
    if (samples != nullptr && channels > 0) {
        const size_t step = static_cast<size_t>(channels);
        for (size_t i = 0; i < kValues; ++i) {
            if (bitsPerSample == 16) {
                int v = static_cast<const int16_t*>(samples)[i * step];
                values[i] = static_cast<unsigned char>(std::min(255, std::abs(v) >> 7));
            } else if (bitsPerSample == 8) {
                int v = static_cast<const unsigned char*>(samples)[i * step] - 128;
                values[i] = static_cast<unsigned char>(std::min(255, std::abs(v) * 2));
            }
        }
    }
    add(values.data(), timestamp, 0);
}

size_t VisRing::size() const noexcept {
    std::lock_guard lock(mutex_);
    return slots_.size();
}

uint64_t VisRing::stored() const noexcept {
    std::lock_guard lock(mutex_);
    return stored_;
}

}  // namespace vexa
