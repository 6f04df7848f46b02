#include "plugins/in_av/player.h"

#include <algorithm>
#include <chrono>

#include "plugins/in_av/addresses.h"

namespace kinvo::in_av {

namespace {

constexpr int kWaitMs = 5;
constexpr int kReconnectDelayMs = 500;
constexpr int32_t kFillStep = 5;  // percent between two buffer statuses
constexpr int kPacketsPerTitleCheck = 16;
// A packet whose container gives no duration counts this long in the read-ahead.
constexpr int64_t kDefaultPacketMs = 26;
// A connection that delivered this many packets is healthy: the reconnects count again from 0.
constexpr int kPacketsForHealthy = 64;
constexpr size_t kMaxWriteBytes = 1 << 16;

}  // namespace

Player::Player() {
    interrupt_.callback = &Player::interrupted;
    interrupt_.opaque = this;
}

Player::~Player() {
    stop();
}

int Player::interrupted(void* player) noexcept {
    return static_cast<Player*>(player)->stop_.load() ? 1 : 0;
}

int32_t Player::play(const std::string& name, const HostLink& host, const Buffering& buffering,
                     const std::set<std::string>& protocols) {
    stop();
    stop_ = false;
    paused_ = false;
    seekMs_ = -1;
    lengthMs_ = -1;
    name_ = name;
    playingInfo_.reset();
    host_ = host;
    buffering_ = buffering;
    network_ = isNetworkAddress(name);
    {
        std::lock_guard lock(titleLock_);
        streamTitle_.clear();
    }
    pcm_.clear();
    pcmOffset_ = 0;
    queue_.clear();
    queuedMs_ = 0;
    readEnded_ = false;
    dropped_ = false;
    reconnects_ = 0;
    packetsSinceTitle_ = 0;
    inputEnded_ = false;
    videoOutput_ = nullptr;
    clockMs_ = 0;
    if (network_) {
        candidates_ = openCandidates(name, protocols);
        // Asked here, on the host's thread: the decode thread must never wait on the server
        // window, whose thread may be joining it in stop().
        videoOutput_ = host_.videoOutput();
    } else {
        std::string error;
        source_ = Source::open(name, &interrupt_, false, error);
        if (!source_) {
            return -1;
        }
        lengthMs_ = source_->lengthMs();
        playingInfo_ = mediaInfoOf(source_->format());
        if (source_->videoStream() != nullptr) {
            videoOutput_ = host_.videoOutput();
            openVideo();
        }
        if (source_->hasAudio() ? !openOutput() : !video_) {
            video_.reset();
            pictures_.reset();
            source_.reset();
            playingInfo_.reset();
            return -1;
        }
    }
    try {
        decoding_ = true;
        thread_ = std::thread(&Player::run, this);
    } catch (...) {
        stop();
        return -1;
    }
    return 0;
}

void Player::stop() noexcept {
    stop_ = true;
    decoding_ = false;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (outputOpen_.exchange(false) && host_.output != nullptr) {
        host_.output->close();
    }
    if (pictures_) {
        pictures_->close();
        pictures_.reset();
    }
    subtitles_.reset();  // after the close: the output held its records until then
    video_.reset();      // before the source: it reads the source's stream
    source_.reset();
    queue_.clear();
    pcm_.clear();
    paused_ = false;
    seekMs_ = -1;
    lengthMs_ = -1;
}

void Player::pause() noexcept {
    paused_ = true;
    if (outputOpen_) {
        host_.output->pause(1);
    }
}

void Player::unpause() noexcept {
    paused_ = false;
    if (outputOpen_) {
        host_.output->pause(0);
    }
}

int32_t Player::positionMs() const noexcept {
    const int64_t pending = seekMs_;
    if (pending >= 0) {
        return static_cast<int32_t>(pending);
    }
    if (outputOpen_) {
        return host_.output->getOutputTime();
    }
    return static_cast<int32_t>(clockMs_.load());
}

void Player::seek(int32_t ms) noexcept {
    if (decoding_) {
        seekMs_ = std::max<int32_t>(ms, 0);
    }
}

void Player::setVolume(int32_t volume) noexcept {
    volume_ = volume;
    if (outputOpen_) {
        host_.output->setVolume(volume);
    }
}

void Player::setPan(int32_t pan) noexcept {
    pan_ = pan;
    if (outputOpen_) {
        host_.output->setPan(pan);
    }
}

std::string Player::streamTitle() const {
    std::lock_guard lock(titleLock_);
    return streamTitle_;
}

bool Player::openOutput() noexcept {
    SonariOutModule* output = host_.output;
    if (output == nullptr || output->open == nullptr ||
        output->open(source_->sampleRate(), source_->channels(), 16, -1, -1) < 0) {
        return false;
    }
    outputOpen_ = true;
    output->setVolume(volume_);
    output->setPan(pan_);
    if (paused_) {
        output->pause(1);
    }
    return true;
}

void Player::openVideo() {
    video_.reset();
    if (source_->videoStream() != nullptr && (videoOutput_ != nullptr || !source_->hasAudio())) {
        video_ = VideoDecoder::open(source_->format(), *source_->videoStream());
    }
    if (video_ && videoOutput_ != nullptr && !pictures_) {
        pictures_ = std::make_unique<PictureSink>(*videoOutput_);
    }
    if (pictures_ && !subtitles_ && source_->subtitleStream() != nullptr) {
        subtitles_ = SubtitleTrack::open(*source_->subtitleStream());
    }
}

void Player::showPictures(int64_t nowMs) {
    video_->decode();
    while (const AVFrame* frame = video_->front()) {
        const int64_t at = video_->frontMs();
        if (at > nowMs) {
            return;  // early: drawn at a later turn
        }
        if (nowMs - at > video_->frameMs() && drewSinceRestart_ && dropsInRow_ < kMaxDropsInRow) {
            ++dropsInRow_;
            video_->pop();
            video_->decode();
            continue;
        }
        if (pictures_) {
            pictures_->draw(*frame, video_->aspect(*frame));
        }
        drewSinceRestart_ = true;
        dropsInRow_ = 0;
        video_->pop();
        return;  // one picture a turn: the sound has its turn between two
    }
}

bool Player::sleepUnlessStopped(int ms) const noexcept {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stop_ && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, kWaitMs)));
    }
    return !stop_;
}

void Player::run() noexcept {
    try {
        decodeLoop();
    } catch (...) {
        // Out of memory while decoding: the track ends as if the file ended here.
        if (!stop_) {
            host_.trackEnd();
        }
    }
    decoding_ = false;
    seekMs_ = -1;
}

void Player::decodeLoop() {
    if (network_) {
        host_.address(name_.c_str());
        host_.status(kStatusBufferingStarted, 0);
        if (!connect()) {
            if (!stop_) {
                host_.status(kStatusCannotOpen, 0);
                host_.trackEnd();
            }
            return;
        }
        if (source_->videoStream() != nullptr) {
            openVideo();
        }
        if (source_->hasAudio() ? !openOutput() : !video_) {
            host_.status(kStatusCannotOpen, 0);
            host_.trackEnd();
            return;
        }
        if (!fill(buffering_.prebufferMs, false)) {  // 208 was posted before connecting
            return;
        }
    }
    host_.streamInfo(source_->bitrateKbps(), source_->sampleRate(), source_->channels());
    clock_ = PlayClock(outputOpen_ ? host_.output : nullptr);
    clock_.restart(0);
    drewSinceRestart_ = false;
    dropsInRow_ = 0;
    ffmpeg::Packet packet = ffmpeg::makePacket();
    while (!stop_) {
        applySeek();
        const bool paused = paused_;
        clockMs_ = clock_.nowMs(paused);
        if (paused) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
            continue;
        }
        if (video_) {
            showPictures(clockMs_);
        }
        if (subtitles_) {
            subtitles_->show(clockMs_, *videoOutput_);
        }
        if (pcmOffset_ < pcm_.size()) {
            if (!writeSome()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
            }
            continue;
        }
        pcm_.clear();
        pcmOffset_ = 0;
        if (!inputEnded_ && (!video_ || video_->wantsPackets())) {
            if (nextPacket(packet)) {
                if (source_->isSubtitle(*packet)) {
                    if (subtitles_) {
                        subtitles_->push(*packet);
                    }
                } else if (!source_->isVideo(*packet)) {
                    source_->decode(packet.get(), pcm_);
                } else if (video_) {
                    video_->push(*packet);
                }
            } else if (!stop_) {
                inputEnded_ = true;
                if (source_->hasAudio()) {
                    source_->decode(nullptr, pcm_);
                }
                if (video_) {
                    video_->endOfInput();
                }
            }
            continue;
        }
        if (inputEnded_ && (!video_ || video_->finished())) {
            break;
        }
        // Pictures ahead of the clock, or still to come out of the decoder.
        std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
    }
    decoding_ = false;  // too late for a seek: the position is the output's again
    seekMs_ = -1;
    while (!stop_ && outputOpen_ && host_.output->isPlaying() != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
    }
    if (!stop_) {
        host_.trackEnd();
    }
}

void Player::applySeek() {
    int64_t target = seekMs_;
    if (target < 0) {
        return;
    }
    if (source_->seek(target)) {
        pcm_.clear();
        pcmOffset_ = 0;
        queue_.clear();
        queuedMs_ = 0;
        readEnded_ = false;  // a stream that had been read to its end reads on from here
        inputEnded_ = false;
        if (outputOpen_) {
            host_.output->flush(static_cast<int32_t>(target));
        }
        if (video_) {
            video_->restart(target);
        }
        if (subtitles_) {
            subtitles_->restart(videoOutput_);
        }
        clock_.restart(target);
        clockMs_ = target;
        drewSinceRestart_ = false;
        dropsInRow_ = 0;
    }
    seekMs_.compare_exchange_strong(target, -1);
}

bool Player::writeSome() {
    SonariOutModule* output = host_.output;
    const size_t frameBytes = static_cast<size_t>(source_->channels()) * 2;
    const int32_t room = output->canWrite();
    size_t count = std::min({pcm_.size() - pcmOffset_, kMaxWriteBytes,
                             room > 0 ? static_cast<size_t>(room) : size_t{0}});
    count -= count % frameBytes;
    if (count == 0) {
        return false;
    }
    output->write(pcm_.data() + pcmOffset_, static_cast<int32_t>(count));
    pcmOffset_ += count;
    return true;
}

bool Player::nextPacket(ffmpeg::Packet& packet) {
    if (network_) {
        return nextNetworkPacket(packet);
    }
    for (;;) {
        const int code = source_->read(packet);
        if (code != AVERROR(EAGAIN)) {
            return code == 0;
        }
        if (!sleepUnlessStopped(kWaitMs)) {
            return false;
        }
    }
}

bool Player::nextNetworkPacket(ffmpeg::Packet& packet) {
    if (queuedMs_ < buffering_.totalMs) {
        readAhead();
    }
    while (queue_.empty() && !stop_) {
        if (readEnded_) {
            return false;
        }
        if (dropped_) {
            // Everything read before the drop has been played: drain the decoder, reconnect.
            if (source_->hasAudio()) {
                source_->decode(nullptr, pcm_);
            }
            if (!reconnect()) {
                readEnded_ = true;
                return false;
            }
        }
        if (!fill(buffering_.rebufferMs, true)) {
            return false;
        }
    }
    if (queue_.empty()) {
        return false;
    }
    packet = std::move(queue_.front());
    queue_.pop_front();
    if (source_->isTimed(*packet)) {
        queuedMs_ -= std::max(source_->durationMs(*packet), kDefaultPacketMs);
    }
    if (++packetsSinceTitle_ >= kPacketsPerTitleCheck) {
        packetsSinceTitle_ = 0;
        checkStreamTitle();
    }
    return true;
}

void Player::readAhead() {
    if (readEnded_ || dropped_) {
        return;
    }
    ffmpeg::Packet packet;
    const int code = source_->read(packet);
    if (code == 0) {
        if (source_->isTimed(*packet)) {
            queuedMs_ += std::max(source_->durationMs(*packet), kDefaultPacketMs);
        }
        queue_.push_back(std::move(packet));
        if (++packetsSinceConnect_ >= kPacketsForHealthy) {
            reconnects_ = 0;
        }
    } else if (code == AVERROR(EAGAIN)) {
        sleepUnlessStopped(kWaitMs);
    } else if (stop_) {
        return;
    } else if (code == AVERROR_EOF && lengthMs_ > 0) {
        readEnded_ = true;  // a stream of known length has ended
    } else {
        dropped_ = true;  // a live stream stopped, or the connection failed
    }
}

bool Player::fill(int32_t targetMs, bool announce) {
    if (announce) {
        host_.status(kStatusBufferingStarted, 0);
    }
    int32_t reported = -1;
    while (!stop_ && !readEnded_ && !dropped_ && queuedMs_ < targetMs) {
        readAhead();
        // In steps of kFillStep percent: a fast connection would otherwise post a hundred.
        const int32_t percent =
            static_cast<int32_t>(std::min<int64_t>(100, queuedMs_ * 100 / std::max(targetMs, 1))) /
            kFillStep * kFillStep;
        if (percent != reported) {
            host_.status(kStatusBufferValue, percent);
            reported = percent;
        }
    }
    if (stop_) {
        return false;
    }
    host_.status(kStatusBufferingFinished, 0);
    return true;
}

bool Player::connect() {
    for (const std::string& candidate : candidates_) {
        std::string error;
        std::unique_ptr<Source> source = Source::open(candidate, &interrupt_, true, error);
        if (source) {
            source_ = std::move(source);
            lengthMs_ = source_->lengthMs();
            packetsSinceConnect_ = 0;
            return true;
        }
        if (stop_) {
            return false;
        }
    }
    return false;
}

bool Player::reconnect() {
    while (reconnects_ < kMaxReconnects) {
        ++reconnects_;
        if (!sleepUnlessStopped(kReconnectDelayMs)) {
            return false;
        }
        const int32_t rate = source_->sampleRate();
        const int32_t channels = source_->channels();
        std::unique_ptr<Source> previous = std::move(source_);
        if (!connect()) {
            source_ = std::move(previous);  // keeps the format for what is still to be written
            if (stop_) {
                return false;
            }
            continue;
        }
        dropped_ = false;
        openVideo();  // the decoder read the dropped connection's stream
        if (source_->sampleRate() != rate || source_->channels() != channels) {
            // Everything decoded before has been written: the output starts again.
            pcm_.clear();
            pcmOffset_ = 0;
            if (outputOpen_.exchange(false)) {
                host_.output->close();
            }
            if (!openOutput()) {
                return false;
            }
        }
        return true;
    }
    return false;
}

void Player::checkStreamTitle() {
    std::string title = source_->streamTitle();
    if (title.empty()) {
        return;
    }
    {
        std::lock_guard lock(titleLock_);
        if (title == streamTitle_) {
            return;
        }
        streamTitle_ = title;
    }
    host_.metadata(title.c_str());
}

}  // namespace kinvo::in_av
