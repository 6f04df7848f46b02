#include "plugins/in_av/extended_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <system_error>

#include "plugins/in_av/addresses.h"

namespace kinvo::in_av {

namespace {

// Why `path` cannot be read as a file ("" when it can).
std::string unreadableReason(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::generic_category().message(errno);
    }
    struct stat status {};
    const bool directory = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    ::close(fd);
    return directory ? std::generic_category().message(EISDIR) : std::string();
}

// The PCM's size from the container's duration (0 unknown or too large for an int32_t).
int32_t expectedBytes(const Source& source, size_t frameBytes) {
    int64_t microseconds = source.format().duration;
    if (microseconds == AV_NOPTS_VALUE || microseconds <= 0) {
        microseconds = source.lengthMs() > 0 ? int64_t{source.lengthMs()} * 1000 : 0;
    }
    const int64_t frames = av_rescale(microseconds, source.sampleRate(), AV_TIME_BASE);
    const int64_t bytes = frames * static_cast<int64_t>(frameBytes);
    return bytes > 0 && bytes <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(bytes)
                                                                     : 0;
}

}  // namespace

ExtendedReader::ExtendedReader(std::unique_ptr<Source> source) noexcept
    : source_(std::move(source)) {}

std::unique_ptr<ExtendedReader> ExtendedReader::open(const std::string& path, std::string& error) {
    if (isNetworkAddress(path)) {
        error = "cannot open " + path + ": not a local file";
        return nullptr;
    }
    if (const std::string reason = unreadableReason(path); !reason.empty()) {
        error = "cannot open " + path + ": " + reason;
        return nullptr;
    }
    // "file:" keeps FFmpeg from taking a colon in the name for a protocol.
    std::string detail;
    std::unique_ptr<Source> source =
        Source::open("file:" + path, nullptr, false, detail, ChannelPolicy::kKeepAll);
    if (!source || !source->hasAudio()) {
        error = "not an audio file: " + path;
        return nullptr;
    }
    source->keepSoundOnly();
    std::unique_ptr<ExtendedReader> reader(new ExtendedReader(std::move(source)));
    reader->packet_ = ffmpeg::makePacket();
    if (!reader->packet_) {
        throw std::bad_alloc();
    }
    Format& format = reader->format_;
    format.sampleRate = reader->source_->sampleRate();
    format.channels = reader->source_->channels();
    format.bitsPerSample = 16;
    reader->frameBytes_ = static_cast<size_t>(format.channels) * 2;
    format.totalBytes = expectedBytes(*reader->source_, reader->frameBytes_);
    return reader;
}

bool ExtendedReader::decodeMore() {
    if (ended_ || failed_) {
        return false;
    }
    for (;;) {
        const int code = source_->read(packet_);
        if (code == AVERROR(EAGAIN)) {
            continue;
        }
        if (code < 0) {
            // What the decoder still holds is handed over before the end or the failure.
            source_->decode(nullptr, pending_);
            ended_ = true;
            failed_ = code != AVERROR_EOF;
            return true;
        }
        source_->decode(packet_.get(), pending_);
        return true;
    }
}

int32_t ExtendedReader::read(char* buffer, int32_t size, const volatile int32_t* stop) noexcept {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const size_t wanted = static_cast<size_t>(size) / frameBytes_ * frameBytes_;
    size_t filled = 0;
    try {
        while (filled < wanted) {
            const size_t available = pending_.size() - pendingOffset_;
            if (available > 0) {
                const size_t count = std::min(available, wanted - filled);
                std::memcpy(buffer + filled, pending_.data() + pendingOffset_, count);
                filled += count;
                pendingOffset_ += count;
                continue;
            }
            pending_.clear();
            pendingOffset_ = 0;
            if ((stop != nullptr && *stop != 0) || !decodeMore()) {
                break;
            }
        }
    } catch (...) {  // std::bad_alloc from the PCM: the read ends as a failure
        pending_.clear();
        pendingOffset_ = 0;
        ended_ = true;
        failed_ = true;
    }
    if (filled == 0 && failed_ && pending_.size() == pendingOffset_) {
        return -1;
    }
    return static_cast<int32_t>(filled);
}

}  // namespace kinvo::in_av
