#include "plugins/out_qmix/alsa_output.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

namespace kinvo::qmix {
namespace {

snd_pcm_format_t sampleFormat(int32_t bits) {
    switch (bits) {
        case 8:
            return SND_PCM_FORMAT_U8;
        case 16:
            return SND_PCM_FORMAT_S16_LE;
        case 24:
            return SND_PCM_FORMAT_S24_3LE;
        default:
            return SND_PCM_FORMAT_S32_LE;
    }
}

int32_t toInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Sets the device up for the format; true when it took every setting. canPause tells whether
// the device pauses by itself, bufferFrames how much its buffer holds.
bool configure(snd_pcm_t* pcm, const pcm::Format& format, bool& canPause, int64_t& bufferFrames) {
    snd_pcm_hw_params_t* rawHw = nullptr;
    if (snd_pcm_hw_params_malloc(&rawHw) < 0) {
        return false;
    }
    const HwParams hw(rawHw);
    unsigned rate = static_cast<unsigned>(format.rate);
    unsigned bufferUs = AlsaOutput::kDeviceBufferUs;
    unsigned periodUs = AlsaOutput::kDevicePeriodUs;
    if (snd_pcm_hw_params_any(pcm, hw.get()) < 0 ||
        snd_pcm_hw_params_set_access(pcm, hw.get(), SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_set_format(pcm, hw.get(), sampleFormat(format.bits)) < 0 ||
        snd_pcm_hw_params_set_channels(pcm, hw.get(), static_cast<unsigned>(format.channels)) < 0 ||
        snd_pcm_hw_params_set_rate_resample(pcm, hw.get(), 1) < 0 ||
        snd_pcm_hw_params_set_rate_near(pcm, hw.get(), &rate, nullptr) < 0 ||
        rate != static_cast<unsigned>(format.rate) ||
        snd_pcm_hw_params_set_buffer_time_near(pcm, hw.get(), &bufferUs, nullptr) < 0 ||
        snd_pcm_hw_params_set_period_time_near(pcm, hw.get(), &periodUs, nullptr) < 0 ||
        snd_pcm_hw_params(pcm, hw.get()) < 0) {
        return false;
    }
    canPause = snd_pcm_hw_params_can_pause(hw.get()) != 0;
    snd_pcm_uframes_t size = 0;
    if (snd_pcm_hw_params_get_buffer_size(hw.get(), &size) < 0) {
        return false;
    }
    bufferFrames = static_cast<int64_t>(size);

    snd_pcm_sw_params_t* rawSw = nullptr;
    if (snd_pcm_sw_params_malloc(&rawSw) < 0) {
        return false;
    }
    const SwParams sw(rawSw);
    // The device starts with the first frames it gets, so that short sounds play too.
    return snd_pcm_sw_params_current(pcm, sw.get()) >= 0 &&
           snd_pcm_sw_params_set_start_threshold(pcm, sw.get(), 1) >= 0 &&
           snd_pcm_sw_params(pcm, sw.get()) >= 0 && snd_pcm_prepare(pcm) >= 0;
}

}  // namespace

int32_t AlsaOutput::open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs,
                         int32_t /*prebufferMs: the device starts at once*/) {
    const std::lock_guard life(lifeLock_);
    closeLifeLocked();
    const pcm::Format format{rate, channels, bits};
    if (!pcm::isValid(format)) {
        return -1;
    }
    const char* name = std::getenv(kDeviceVariable);
    snd_pcm_t* raw = nullptr;
    if (snd_pcm_open(&raw, name != nullptr && *name != '\0' ? name : kDefaultDevice,
                     SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        return -2;
    }
    Pcm device(raw);
    bool canPause = false;
    int64_t bufferFrames = 0;
    if (!configure(device.get(), format, canPause, bufferFrames)) {
        return -2;
    }
    {
        const std::lock_guard lock(lock_);
        pcm_ = std::move(device);
        format_ = format;
        clock_.start(format);
        queue_.clear();
        queueStart_ = 0;
        scaledEnd_ = 0;
        queueCapacity_ = pcm::msToBytes(bufferMs > 0 ? bufferMs : kDefaultBufferMs, format);
        deviceFrames_ = 0;
        canPause_ = canPause;
        deviceBufferFrames_ = bufferFrames;
        paused_ = false;
        stopping_ = false;
    }
    writer_ = std::thread([this] { writerLoop(); });
    return 0;
}

void AlsaOutput::close() noexcept {
    const std::lock_guard life(lifeLock_);
    closeLifeLocked();
}

void AlsaOutput::closeLifeLocked() noexcept {
    if (writer_.joinable()) {
        {
            const std::lock_guard lock(lock_);
            stopping_ = true;
        }
        wake_.notify_all();
        writer_.join();
    }
    const std::lock_guard lock(lock_);
    if (pcm_) {
        snd_pcm_drop(pcm_.get());
    }
    pcm_.reset();
    queue_.clear();
    queueStart_ = 0;
    scaledEnd_ = 0;
    deviceFrames_ = 0;
    clock_.start(format_);
    paused_ = false;
}

void AlsaOutput::writerLoop() {
    std::unique_lock lock(lock_);
    while (!stopping_) {
        if (paused_ || queuedBytesLocked() == 0 || !feedLocked()) {
            wake_.wait_for(lock, kWriterNap);
        }
    }
}

bool AlsaOutput::feedLocked() {
    snd_pcm_t* pcm = pcm_.get();
    snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm);
    if (avail < 0) {
        // An underrun (or a device that was suspended) is recovered, then written again.
        if (snd_pcm_recover(pcm, static_cast<int>(avail), 1) < 0) {
            dropQueueLocked();
        }
        return true;
    }
    const int64_t frames =
        std::min<int64_t>(avail, pcm::bytesToFrames(queuedBytesLocked(), format_));
    if (frames <= 0) {
        return false;
    }
    const snd_pcm_sframes_t written =
        snd_pcm_writei(pcm, queue_.data() + queueStart_, static_cast<snd_pcm_uframes_t>(frames));
    if (written == -EAGAIN) {
        return false;
    }
    if (written < 0) {
        if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) {
            dropQueueLocked();
        }
        return true;
    }
    deviceFrames_ += written;
    queueStart_ += static_cast<size_t>(pcm::framesToBytes(written, format_));
    // Moves what is left to the front once the consumed part outweighs it.
    if (queueStart_ > queue_.size() / 2) {
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(queueStart_));
        scaledEnd_ -= std::min(scaledEnd_, queueStart_);
        queueStart_ = 0;
    }
    return true;
}

void AlsaOutput::dropQueueLocked() {
    queue_.clear();
    queueStart_ = 0;
    scaledEnd_ = 0;
}

int32_t AlsaOutput::write(const char* bytes, int32_t byteCount) {
    {
        const std::lock_guard lock(lock_);
        if (!pcm_ || byteCount < 0 || (bytes == nullptr && byteCount > 0)) {
            return -1;
        }
        if (byteCount == 0) {
            return 0;
        }
        const auto* data = reinterpret_cast<const unsigned char*>(bytes);
        queue_.insert(queue_.end(), data, data + byteCount);
        // Whole frames are scaled once each; a partial frame waits for the rest of its bytes.
        const auto frameBytes = static_cast<size_t>(pcm::bytesPerFrame(format_));
        const size_t scaledEnd =
            queueStart_ + (queue_.size() - queueStart_) / frameBytes * frameBytes;
        if (scaledEnd > scaledEnd_) {
            pcm::scale(queue_.data() + scaledEnd_, scaledEnd - scaledEnd_, format_, volume_, pan_);
            scaledEnd_ = scaledEnd;
        }
        clock_.addWrittenBytes(byteCount);
    }
    wake_.notify_all();
    return 0;
}

int32_t AlsaOutput::canWrite() {
    const std::lock_guard lock(lock_);
    if (!pcm_) {
        return 0;
    }
    const int64_t space = std::max<int64_t>(queueCapacity_ - queuedBytesLocked(), 0);
    return toInt32(pcm::framesToBytes(pcm::bytesToFrames(space, format_), format_));
}

int64_t AlsaOutput::playedFramesLocked() const {
    snd_pcm_sframes_t avail = 0;
    snd_pcm_sframes_t delay = 0;
    // A device that has run dry (or was dropped) holds nothing more to play. One whose buffer
    // is all free has passed everything on: what it reports beyond that is the latency of the
    // sound server or the converter behind it, with nothing more of ours in it.
    if (snd_pcm_avail_delay(pcm_.get(), &avail, &delay) < 0 || delay < 0 ||
        avail >= deviceBufferFrames_) {
        delay = 0;
    }
    return deviceFrames_ - std::min<int64_t>(delay, deviceFrames_);
}

int32_t AlsaOutput::isPlaying() {
    const std::lock_guard lock(lock_);
    if (!pcm_) {
        return 0;
    }
    return queuedBytesLocked() >= pcm::bytesPerFrame(format_) ||
                   playedFramesLocked() < deviceFrames_
               ? 1
               : 0;
}

int32_t AlsaOutput::pause(int32_t flag) {
    const std::lock_guard lock(lock_);
    const bool previous = paused_;
    const bool wanted = flag != 0;
    if (pcm_ && wanted != previous) {
        snd_pcm_t* pcm = pcm_.get();
        const snd_pcm_state_t state = snd_pcm_state(pcm);
        if (wanted && state == SND_PCM_STATE_RUNNING) {
            if (!canPause_ || snd_pcm_pause(pcm, 1) < 0) {
                snd_pcm_drop(pcm);
                snd_pcm_prepare(pcm);
            }
        } else if (!wanted && state == SND_PCM_STATE_PAUSED) {
            if (snd_pcm_pause(pcm, 0) < 0) {
                snd_pcm_drop(pcm);
                snd_pcm_prepare(pcm);
            }
        }
    }
    paused_ = wanted;
    wake_.notify_all();
    return previous ? 1 : 0;
}

void AlsaOutput::setVolume(int32_t volume) {
    const std::lock_guard lock(lock_);
    // A negative volume leaves it as it is.
    if (volume >= 0) {
        volume_ = std::min(volume, pcm::kFullVolume);
    }
}

void AlsaOutput::setPan(int32_t pan) {
    const std::lock_guard lock(lock_);
    pan_ = std::clamp(pan, -128, 127);
}

void AlsaOutput::flush(int32_t ms) {
    const std::lock_guard lock(lock_);
    if (pcm_) {
        snd_pcm_drop(pcm_.get());
        snd_pcm_prepare(pcm_.get());
    }
    dropQueueLocked();
    deviceFrames_ = 0;
    clock_.restart(std::max(ms, 0));
}

int32_t AlsaOutput::outputTime() {
    const std::lock_guard lock(lock_);
    return pcm_ ? toInt32(clock_.playedMs(playedFramesLocked())) : 0;
}

int32_t AlsaOutput::writtenTime() {
    const std::lock_guard lock(lock_);
    return pcm_ ? toInt32(clock_.writtenMs()) : 0;
}

}  // namespace kinvo::qmix
