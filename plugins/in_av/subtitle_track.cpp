#include "plugins/in_av/subtitle_track.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace kinvo::in_av {

namespace {

constexpr int kAssTextField = 8;  // the fields before the text of an ASS event
constexpr int64_t kUnknownEndMs = 5000;
constexpr int64_t kOfferAgainMs = 250;

// Frees what avcodec_decode_subtitle2 filled in.
struct DecodedSubtitle {
    AVSubtitle value{};
    ~DecodedSubtitle() { avsubtitle_free(&value); }
};

}  // namespace

std::string assDialogueText(std::string_view event) {
    std::string_view text = event;
    size_t at = 0;
    int commas = 0;
    while (commas < kAssTextField && (at = event.find(',', at)) != std::string_view::npos) {
        ++at;
        ++commas;
    }
    if (commas == kAssTextField) {
        text = event.substr(at);
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{') {
            const size_t close = text.find('}', i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 'N' || next == 'n') {
                out += '\n';
                ++i;
                continue;
            }
            if (next == 'h') {
                out += ' ';
                ++i;
                continue;
            }
        }
        if (c != '\r') {
            out += c;
        }
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

std::unique_ptr<SubtitleTrack> SubtitleTrack::open(const AVStream& stream) {
    const AVCodec* decoder = avcodec_find_decoder(stream.codecpar->codec_id);
    if (decoder == nullptr) {
        return nullptr;
    }
    std::unique_ptr<SubtitleTrack> track(new SubtitleTrack);
    track->codec_.reset(avcodec_alloc_context3(decoder));
    if (!track->codec_ || avcodec_parameters_to_context(track->codec_.get(), stream.codecpar) < 0 ||
        avcodec_open2(track->codec_.get(), decoder, nullptr) < 0) {
        return nullptr;
    }
    track->timeBase_ = stream.time_base;
    track->startPts_ = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    for (SonariSubtitle& record : track->records_) {
        record.x = 127;  // centred
        record.y = 255;  // at the bottom
        record.red = record.green = record.blue = 255;
    }
    return track;
}

void SubtitleTrack::push(const AVPacket& packet) {
    DecodedSubtitle decoded;
    int got = 0;
    AVPacket* data = const_cast<AVPacket*>(&packet);  // read only, whatever the signature says
    if (avcodec_decode_subtitle2(codec_.get(), &decoded.value, &got, data) < 0 || got == 0 ||
        packet.pts == AV_NOPTS_VALUE) {
        return;
    }
    Cue cue;
    const int64_t at = av_rescale_q(packet.pts - startPts_, timeBase_, {1, 1000});
    cue.startMs = at + decoded.value.start_display_time;
    if (decoded.value.end_display_time > decoded.value.start_display_time &&
        decoded.value.end_display_time != UINT32_MAX) {
        cue.endMs = at + decoded.value.end_display_time;
    } else if (packet.duration > 0) {
        cue.endMs = at + av_rescale_q(packet.duration, timeBase_, {1, 1000});
    } else {
        cue.endMs = cue.startMs + kUnknownEndMs;
    }
    for (unsigned i = 0; i < decoded.value.num_rects; ++i) {
        const AVSubtitleRect& rect = *decoded.value.rects[i];
        std::string line = rect.ass != nullptr    ? assDialogueText(rect.ass)
                           : rect.text != nullptr ? std::string(rect.text)
                                                  : std::string();
        if (!line.empty()) {
            cue.text += cue.text.empty() ? line : "\n" + line;
        }
    }
    if (cue.text.empty()) {
        return;
    }
    const auto later =
        std::upper_bound(waiting_.begin(), waiting_.end(), cue.startMs,
                         [](int64_t start, const Cue& other) { return start < other.startMs; });
    waiting_.insert(later, std::move(cue));
}

void SubtitleTrack::show(int64_t nowMs, SonariVideoOutput& output) {
    // The latest text due now; those before it were replaced before they were seen.
    std::optional<Cue> due;
    while (!waiting_.empty() && waiting_.front().startMs <= nowMs) {
        if (waiting_.front().endMs > nowMs) {
            due = std::move(waiting_.front());
        }
        waiting_.pop_front();
    }
    if (due) {
        // The record the output does not hold takes the text.
        const int next = shown_ == 0 ? 1 : 0;
        texts_[next] = std::move(due->text);
        records_[next].text = texts_[next].c_str();
        output.setSubtitle(&records_[next]);
        shown_ = next;
        shownEndMs_ = due->endMs;
        offeredMs_ = nowMs;
    } else if (shown_ >= 0 && nowMs >= shownEndMs_) {
        output.setSubtitle(nullptr);
        shown_ = -1;
    } else if (shown_ >= 0 && nowMs - offeredMs_ >= kOfferAgainMs) {
        // The output drops its subtitle when it enters or leaves full screen; the same record
        // offered again is shown again (and ignored while it still shows).
        output.setSubtitle(&records_[shown_]);
        offeredMs_ = nowMs;
    }
}

void SubtitleTrack::restart(SonariVideoOutput* output) noexcept {
    waiting_.clear();
    avcodec_flush_buffers(codec_.get());
    if (shown_ >= 0 && output != nullptr) {
        output->setSubtitle(nullptr);
    }
    shown_ = -1;
}

}  // namespace kinvo::in_av
