#pragma once
// The text subtitles of a video: decodes the first text subtitle stream's packets into timed
// texts and shows each on the host's video output while it is due, centred at the bottom of the
// picture in white.
//
// The output reads a subtitle record whenever it paints and never copies it, so the records live
// here: two of them, used in turn, so the one being replaced stays valid until the output has
// taken the next (the output ignores a record it already shows, which two records never are).
//
// Threads: the decode thread only; destroyed after the video output was closed.
// Error policy: packets the decoder refuses are skipped; nothing throws but std::bad_alloc.

#include <sonari/video_output.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "lib/ffmpeg/handles.h"

namespace kinvo::in_av {

// The text of one dialogue line of an ASS event ("ReadOrder,Layer,Style,Name,MarginL,MarginR,
// MarginV,Effect,Text"): override blocks "{...}" removed, "\N" and "\n" as line breaks, "\h" as
// a blank. A text without the fields is taken whole.
std::string assDialogueText(std::string_view event);

class SubtitleTrack {
  public:
    // Null when the stream's decoder cannot be opened.
    static std::unique_ptr<SubtitleTrack> open(const AVStream& stream);

    // Decodes one packet; its text waits until shown.
    void push(const AVPacket& packet);
    // Shows, replaces or clears the text due at `nowMs` (the play clock).
    void show(int64_t nowMs, SonariVideoOutput& output);
    // After a seek: forgets the waiting texts and clears the one shown.
    void restart(SonariVideoOutput* output) noexcept;

  private:
    struct Cue {
        int64_t startMs = 0;
        int64_t endMs = 0;
        std::string text;
    };
    SubtitleTrack() = default;

    ffmpeg::CodecContext codec_;
    AVRational timeBase_{1, 1000};
    int64_t startPts_ = 0;
    std::deque<Cue> waiting_;  // by start time
    // The records handed to the output, used in turn, and the texts they point to.
    std::array<SonariSubtitle, 2> records_{};
    std::array<std::string, 2> texts_;
    int shown_ = -1;  // the record the output shows, -1 none
    int64_t shownEndMs_ = 0;
    int64_t offeredMs_ = 0;  // when the shown record was last handed to the output
};

}  // namespace kinvo::in_av
