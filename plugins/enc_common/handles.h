#pragma once
// Owners of the FFmpeg handles an encoder needs beyond lib/ffmpeg's: an output format context, a
// custom I/O context (with the buffer it was given) and a sample queue. Move-only; each frees its
// handle once, when it goes; none throws. A handle belongs to one thread at a time.

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/mem.h>
}

#include <memory>

namespace kinvo::enc {

struct OutputContextFree {
    void operator()(AVFormatContext* context) const noexcept { avformat_free_context(context); }
};
struct IoContextFree {
    void operator()(AVIOContext* context) const noexcept {
        if (context != nullptr) {
            av_freep(&context->buffer);
        }
        avio_context_free(&context);
    }
};
struct AudioFifoFree {
    void operator()(AVAudioFifo* fifo) const noexcept { av_audio_fifo_free(fifo); }
};

// A muxer made with avformat_alloc_output_context2 (its pb is not owned by it).
using OutputContext = std::unique_ptr<AVFormatContext, OutputContextFree>;
// An AVIOContext from avio_alloc_context whose buffer came from av_malloc.
using IoContext = std::unique_ptr<AVIOContext, IoContextFree>;
using AudioFifo = std::unique_ptr<AVAudioFifo, AudioFifoFree>;

}  // namespace kinvo::enc
