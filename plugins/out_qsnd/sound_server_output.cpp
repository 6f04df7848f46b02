#include "plugins/out_qsnd/sound_server_output.h"

#include <algorithm>
#include <limits>

namespace kinvo::qsnd {
namespace {

using pulse::Clock;
using pulse::Status;

pa_sample_format_t sampleFormat(int32_t bits) {
    switch (bits) {
        case 8:
            return PA_SAMPLE_U8;
        case 16:
            return PA_SAMPLE_S16LE;
        case 24:
            return PA_SAMPLE_S24LE;
        default:
            return PA_SAMPLE_S32LE;
    }
}

uint32_t bufferBytes(int64_t ms, const pcm::Format& format) {
    return static_cast<uint32_t>(std::clamp<int64_t>(pcm::msToBytes(ms, format),
                                                     pcm::bytesPerFrame(format),
                                                     std::numeric_limits<int32_t>::max()));
}

int32_t toInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t SoundServerOutput::open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs,
                                int32_t prebufferMs) {
    const std::lock_guard lock(lock_);
    stream_.close();
    const pcm::Format format{rate, channels, bits};
    if (!pcm::isValid(format) || channels > static_cast<int32_t>(PA_CHANNELS_MAX)) {
        return -1;
    }
    format_ = format;
    clock_.start(format);
    paused_ = false;

    pulse::StreamSettings settings;
    settings.clientName = "Kinvo";
    settings.streamName = "Kinvo playback";
    settings.sample = {sampleFormat(bits), static_cast<uint32_t>(rate),
                       static_cast<uint8_t>(channels)};
    const int32_t buffer = bufferMs > 0 ? bufferMs : kDefaultBufferMs;
    settings.buffer.maxlength = static_cast<uint32_t>(-1);
    settings.buffer.tlength = bufferBytes(buffer, format);
    settings.buffer.prebuf =
        prebufferMs >= 0 ? bufferBytes(std::clamp(prebufferMs, kMinPrebufferMs, buffer / 2), format)
                         : static_cast<uint32_t>(-1);
    settings.buffer.minreq = static_cast<uint32_t>(-1);
    settings.buffer.fragsize = static_cast<uint32_t>(-1);
    const std::vector<double> gains = pcm::channelGains(volume_, pan_, channels);
    settings.volume.channels = static_cast<uint8_t>(channels);
    for (size_t c = 0; c < gains.size(); ++c) {
        settings.volume.values[c] = pa_sw_volume_from_linear(gains[c]);
    }
    const Status status = stream_.open(settings, Clock::now() + kConnectTime);
    return status == Status::Ok ? 0 : -2;
}

void SoundServerOutput::close() noexcept {
    const std::lock_guard lock(lock_);
    stream_.close();
    clock_.start(format_);
    paused_ = false;
}

int32_t SoundServerOutput::write(const char* bytes, int32_t byteCount) {
    const std::lock_guard lock(lock_);
    if (!stream_.isOpen() || byteCount < 0 || (bytes == nullptr && byteCount > 0)) {
        return -1;
    }
    if (byteCount == 0) {
        return 0;
    }
    if (stream_.write(bytes, static_cast<size_t>(byteCount)) != Status::Ok) {
        return -1;
    }
    clock_.addWrittenBytes(byteCount);
    return 0;
}

int32_t SoundServerOutput::canWrite() {
    const std::lock_guard lock(lock_);
    const size_t writable = stream_.writableBytes();
    // Whole frames only, so that every write keeps the stream on frame boundaries.
    return toInt32(pcm::framesToBytes(
        pcm::bytesToFrames(static_cast<int64_t>(std::min<size_t>(writable, INT32_MAX)), format_),
        format_));
}

int64_t SoundServerOutput::playedFramesLocked() const {
    const std::optional<int64_t> latency = stream_.latencyUs();
    if (!latency) {
        return 0;
    }
    return clock_.writtenFrames() - *latency * format_.rate / 1000000;
}

int32_t SoundServerOutput::isPlaying() {
    const std::lock_guard lock(lock_);
    // Nothing more is heard from a stream the server dropped.
    if (!stream_.isGood() || playedFramesLocked() >= clock_.writtenFrames()) {
        return 0;
    }
    if (!paused_) {
        // A stream that holds less than its prebuffer (the end of a track, or after an
        // underrun) would otherwise wait for more.
        stream_.trigger();
    }
    return 1;
}

int32_t SoundServerOutput::pause(int32_t flag) {
    const std::lock_guard lock(lock_);
    const bool previous = paused_;
    const bool wanted = flag != 0;
    if (stream_.isOpen() && wanted != previous) {
        stream_.cork(wanted, Clock::now() + kControlTime);
    }
    paused_ = wanted;
    return previous ? 1 : 0;
}

void SoundServerOutput::applyVolumeLocked() {
    if (!stream_.isOpen()) {
        return;
    }
    const std::vector<double> gains = pcm::channelGains(volume_, pan_, format_.channels);
    pa_cvolume volume{};
    volume.channels = static_cast<uint8_t>(gains.size());
    for (size_t c = 0; c < gains.size(); ++c) {
        volume.values[c] = pa_sw_volume_from_linear(gains[c]);
    }
    stream_.setVolume(volume);
}

void SoundServerOutput::setVolume(int32_t volume) {
    const std::lock_guard lock(lock_);
    // A negative volume leaves it as it is.
    if (volume < 0) {
        return;
    }
    volume_ = std::min(volume, pcm::kFullVolume);
    applyVolumeLocked();
}

void SoundServerOutput::setPan(int32_t pan) {
    const std::lock_guard lock(lock_);
    pan_ = std::clamp(pan, -128, 127);
    applyVolumeLocked();
}

void SoundServerOutput::flush(int32_t ms) {
    const std::lock_guard lock(lock_);
    if (stream_.isOpen()) {
        stream_.flush(Clock::now() + kControlTime);
    }
    clock_.restart(std::max(ms, 0));
}

int32_t SoundServerOutput::outputTime() {
    const std::lock_guard lock(lock_);
    if (!stream_.isOpen()) {
        return 0;
    }
    return toInt32(clock_.playedMs(playedFramesLocked()));
}

int32_t SoundServerOutput::writtenTime() {
    const std::lock_guard lock(lock_);
    return stream_.isOpen() ? toInt32(clock_.writtenMs()) : 0;
}

}  // namespace kinvo::qsnd
