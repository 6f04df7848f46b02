#include "runtimes/qtml/movie/movie_player.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "lib/ffmpeg/handles.h"
#include "runtimes/qtml/movie/movie_clock.h"
#include "runtimes/qtml/movie/picture_decoder.h"
#include "runtimes/qtml/movie/picture_scaler.h"
#include "runtimes/qtml/movie/picture_target.h"
#include "runtimes/qtml/movie/sound_player.h"

namespace kinvo::qtml {
namespace {

// A network stream can play through once this much is read ahead of the play.
constexpr int64_t kPlaythroughAheadMs = 3000;
// How long the thread rests when there is nothing to do.
constexpr std::chrono::milliseconds kIdle{5};

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool isNetwork(const std::string& address) {
    return startsWith(address, "http://") || startsWith(address, "https://") ||
           startsWith(address, "rtsp://");
}

// FFmpeg reads a plain path; "file://" is taken off.
std::string inputName(const std::string& address) {
    return startsWith(address, "file://") ? address.substr(7) : address;
}

int interruptRequested(void* opaque) noexcept {
    return static_cast<const MovieState*>(opaque)->quit ? 1 : 0;
}

class MoviePlayer {
  public:
    MoviePlayer(const std::string& address, MovieState& state)
        : address_(address), network_(isNetwork(address)), state_(state) {}

    void run();

  private:
    bool open();
    void readOne();
    void seek(int64_t ms);
    std::pair<int, int> movieBox() const;
    // Scales `picture` to the movie box and hands it to the caller.
    void publish(const AVFrame& picture, uint64_t generation);
    // While stopped: hands over the picture at the current time once, and again at a new box.
    bool offerStill(uint64_t generation);
    int64_t packetEndMs(const AVPacket& packet) const;
    bool needsPackets() const;

    std::string address_;
    bool network_;
    MovieState& state_;
    ffmpeg::FormatContext format_;
    ffmpeg::Packet packet_;
    std::unique_ptr<PictureDecoder> pictures_;
    std::unique_ptr<SoundPlayer> sound_;
    PictureScaler scaler_;
    MovieClock clock_;
    int videoIndex_ = -1;
    int audioIndex_ = -1;
    int64_t durationMs_ = 0;
    int64_t readAheadMs_ = 0;  // the end of the latest packet read
    bool inputEnded_ = false;
    bool playing_ = false;
    bool stillShown_ = false;  // the picture at the current time was offered while stopped
    ffmpeg::Frame still_ = ffmpeg::makeFrame();  // that picture, kept for a new movie box
    bool hasStill_ = false;
    std::pair<int, int> publishedBox_;
    int volume_ = 256;
};

bool MoviePlayer::open() {
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr) {
        return false;
    }
    context->interrupt_callback = {interruptRequested, &state_};
    AVDictionary* options = nullptr;
    if (network_) {
        av_dict_set(&options, "rw_timeout", "10000000", 0);  // microseconds
        av_dict_set(&options, "timeout", "10000000", 0);
    }
    // On failure avformat_open_input frees the context itself.
    const int code = avformat_open_input(&context, inputName(address_).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (code < 0) {
        return false;
    }
    format_.reset(context);
    if (avformat_find_stream_info(format_.get(), nullptr) < 0) {
        return false;
    }
    videoIndex_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    audioIndex_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (videoIndex_ >= 0) {
        const AVStream& stream = *format_->streams[videoIndex_];
        if (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) {
            videoIndex_ = -1;
        } else {
            pictures_ = PictureDecoder::open(
                stream, stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0);
        }
    }
    if (audioIndex_ >= 0) {
        sound_ = SoundPlayer::open(*format_->streams[audioIndex_], state_.volume);
        if (sound_) {
            sound_->setPaused(true);  // a movie opens stopped
        }
    }
    if (videoIndex_ < 0 && audioIndex_ < 0) {
        return false;
    }
    packet_ = ffmpeg::makePacket();
    if (!packet_) {
        return false;
    }

    MovieInfo info;
    if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
        info.durationMs = av_rescale(format_->duration, 1000, AV_TIME_BASE);
    }
    if (videoIndex_ >= 0) {
        AVStream* stream = format_->streams[videoIndex_];
        const AVRational sample = av_guess_sample_aspect_ratio(format_.get(), stream, nullptr);
        info.width = stream->codecpar->width;
        info.height = stream->codecpar->height;
        if (sample.num > 0 && sample.den > 0) {
            info.width = static_cast<int>(av_rescale(info.width, sample.num, sample.den));
        }
    }
    if (const AVDictionaryEntry* title = av_dict_get(format_->metadata, "title", nullptr, 0)) {
        info.title = title->value;
    }
    durationMs_ = info.durationMs;
    {
        std::lock_guard lock(state_.mutex);
        state_.info = std::move(info);
    }
    state_.setLoadState(network_ ? kPlayable : kPlaythroughOk);
    return true;
}

int64_t MoviePlayer::packetEndMs(const AVPacket& packet) const {
    if (packet.pts == AV_NOPTS_VALUE) {
        return readAheadMs_;
    }
    const AVStream& stream = *format_->streams[packet.stream_index];
    const int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    return av_rescale_q(packet.pts - start + packet.duration, stream.time_base, {1, 1000});
}

bool MoviePlayer::needsPackets() const {
    if (inputEnded_) {
        return false;
    }
    const bool picturesFull = pictures_ && !pictures_->wantsPackets();
    const bool soundFull = sound_ && !sound_->wantsPackets();
    return !picturesFull && !soundFull;
}

void MoviePlayer::readOne() {
    const int code = av_read_frame(format_.get(), packet_.get());
    if (code == AVERROR(EAGAIN)) {
        return;
    }
    if (code < 0) {
        inputEnded_ = true;  // the end, or a read error: what was read plays out
        if (pictures_) {
            pictures_->endOfInput();
        }
        if (sound_) {
            sound_->endOfInput();
        }
        return;
    }
    readAheadMs_ = std::max(readAheadMs_, packetEndMs(*packet_));
    if (packet_->stream_index == videoIndex_ && pictures_) {
        pictures_->push(*packet_);
    } else if (packet_->stream_index == audioIndex_ && sound_) {
        sound_->push(*packet_);
    }
    av_packet_unref(packet_.get());
}

void MoviePlayer::seek(int64_t ms) {
    const int64_t start = format_->start_time != AV_NOPTS_VALUE ? format_->start_time : 0;
    const int64_t target = start + av_rescale(ms, AV_TIME_BASE, 1000);
    avformat_seek_file(format_.get(), -1, INT64_MIN, target, target, 0);
    if (pictures_) {
        pictures_->restart(ms);
    }
    if (sound_) {
        sound_->restart(ms);
    }
    clock_.restart(ms);
    stillShown_ = false;
    hasStill_ = false;
    readAheadMs_ = ms;
    inputEnded_ = false;
}

std::pair<int, int> MoviePlayer::movieBox() const {
    std::lock_guard lock(state_.mutex);
    if (state_.boxWidth == 0 && state_.boxHeight == 0) {
        return {state_.info.width, state_.info.height};  // the movie box starts as the natural box
    }
    return {state_.boxWidth, state_.boxHeight};
}

void MoviePlayer::publish(const AVFrame& picture, uint64_t generation) {
    const std::pair<int, int> box = movieBox();
    // A picture refused (a go-to-time or a new box came first) leaves the box it was made for
    // unpublished, so that a stopped movie offers its picture again.
    if (scaler_.scale(picture, box.first, box.second) &&
        state_.pictures.publish(scaler_.pixels(), scaler_.width(), scaler_.height(),
                                scaler_.stride(), generation)) {
        publishedBox_ = box;
    }
}

bool MoviePlayer::offerStill(uint64_t generation) {
    if (!stillShown_ && pictures_->ready()) {
        stillShown_ = true;
        av_frame_unref(still_.get());
        hasStill_ = av_frame_ref(still_.get(), &pictures_->picture()) == 0;
        publish(pictures_->picture(), generation);
        pictures_->pop();
        return true;
    }
    if (hasStill_ && movieBox() != publishedBox_) {
        publish(*still_, generation);  // the box changed while stopped
        return true;
    }
    return false;
}

void MoviePlayer::run() {
    if (!open()) {
        state_.setLoadState(startsWith(address_, "rtsp:") ? kRtspOpenFailed : kOpenFailed);
        return;
    }
    while (!state_.quit) {
        bool busy = false;
        // Read before the go-to-time: a later one refuses what this pass publishes.
        const uint64_t generation = state_.pictures.generation();
        const int64_t seekTo = state_.seekMs.exchange(-1);
        if (seekTo >= 0) {
            seek(seekTo);
        }
        // The volume before the start: the sound server applies requests in order, so nothing
        // buffered at the old volume is heard once playing starts.
        if (state_.volume != volume_) {
            volume_ = state_.volume;
            if (sound_) {
                sound_->setVolume(volume_);
            }
        }
        if (state_.playing != playing_) {
            playing_ = state_.playing;
            if (playing_ && state_.done) {
                seek(0);
                state_.done = false;
                state_.currentMs = 0;
            }
            clock_.setRunning(playing_);
            if (sound_) {
                sound_->setPaused(!playing_);
            }
        }
        if (needsPackets()) {
            readOne();
            busy = true;
        }
        // Enough is read ahead to play through: the end, a few seconds, or as much as the
        // queues hold (a stream that fills them keeps up).
        if (network_ && state_.loadState == kPlayable &&
            (inputEnded_ || !needsPackets() ||
             readAheadMs_ - state_.currentMs >= kPlaythroughAheadMs)) {
            state_.setLoadState(kPlaythroughOk);
        }
        if (sound_) {
            sound_->pump();
        }
        if (playing_) {
            const int64_t nowMs = clock_.nowMs(sound_ ? sound_->playedMs() : std::nullopt);
            state_.currentMs = std::clamp<int64_t>(nowMs, 0, durationMs_);
            if (pictures_ && pictures_->ready() && pictures_->pictureMs() <= nowMs) {
                publish(pictures_->picture(), generation);
                pictures_->pop();
                busy = true;
            }
            const bool picturesDone = !pictures_ || pictures_->finished();
            const bool soundDone = !sound_ || sound_->finished();
            if (inputEnded_ && picturesDone && soundDone && nowMs >= durationMs_) {
                state_.currentMs = durationMs_;
                state_.done = true;
                state_.playing = false;
                playing_ = false;
                clock_.setRunning(false);
            }
        }
        if (!playing_ && pictures_ && still_ && offerStill(generation)) {
            busy = true;
        }
        if (!busy) {
            std::unique_lock lock(state_.mutex);
            state_.changed.wait_for(lock, kIdle);
        }
    }
}

}  // namespace

void runMovie(const std::string& address, MovieState& state) noexcept {
    try {
        MoviePlayer(address, state).run();
    } catch (...) {
        if (state.loadState >= 0 && state.loadState < kPlayable) {
            state.loadState = kOpenFailed;
        }
    }
}

}  // namespace kinvo::qtml
