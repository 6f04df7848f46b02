#include "runtimes/primo/backend/image_writer.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "runtimes/primo/backend/cue_sheet.h"

namespace primo {

namespace {

// Small enough that an abort is seen within 0.2 s at 1x.
constexpr uint32_t kSectorsPerBlock = 15;

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::unique_ptr<ImageWriter> ImageWriter::start(std::string folder, std::vector<TrackFile> tracks,
                                                const WriteRequest& request) noexcept {
    try {
        std::unique_ptr<ImageWriter> writer(
            new ImageWriter(std::move(folder), std::move(tracks), request));
        writer->thread_ = std::thread([w = writer.get()] { w->run(); });
        return writer;
    } catch (...) {
        return nullptr;
    }
}

ImageWriter::ImageWriter(std::string folder, std::vector<TrackFile> tracks,
                         const WriteRequest& request)
    : folder_(std::move(folder)),
      tracks_(std::move(tracks)),
      request_(request),
      total_(static_cast<uint32_t>(totalSectors(tracks_))) {}

ImageWriter::~ImageWriter() {
    abort();
    if (thread_.joinable()) {
        thread_.join();
    }
}

WriteState ImageWriter::status() noexcept {
    return {phase_.load(), done_.load(), total_};
}

void ImageWriter::abort() noexcept {
    stop_ = true;
}

void ImageWriter::run() noexcept {
    const bool written = writeAll();
    phase_ = written ? WriteState::Phase::kFinished : WriteState::Phase::kFailed;
}

bool ImageWriter::writeAll() noexcept {
    namespace fs = std::filesystem;
    const fs::path bin = fs::path(folder_) / kImageBinName;
    const fs::path cue = fs::path(folder_) / kImageCueName;
    const fs::path binPart = bin.string() + ".part";
    const fs::path cuePart = cue.string() + ".part";
    std::error_code ignored;
    File out;
    if (!request_.simulate) {
        out.reset(std::fopen(binPart.c_str(), "wb"));
        if (!out) {
            return false;
        }
    }
    auto removeParts = [&] {
        out.reset();
        fs::remove(binPart, ignored);
        fs::remove(cuePart, ignored);
        return false;
    };
    const auto started = std::chrono::steady_clock::now();
    std::vector<char> block(kSectorsPerBlock * kSectorBytes);
    // Writes `sectors` sectors, silence or read from `in`, pacing and counting them.
    auto put = [&](uint64_t sectors, std::FILE* in, int64_t& left) {
        while (sectors > 0) {
            if (stop_) {
                return false;
            }
            const auto n = static_cast<uint32_t>(std::min<uint64_t>(sectors, kSectorsPerBlock));
            const size_t bytes = n * static_cast<size_t>(kSectorBytes);
            std::memset(block.data(), 0, bytes);
            if (in != nullptr && left > 0) {
                const size_t want = static_cast<size_t>(std::min<int64_t>(left, bytes));
                if (std::fread(block.data(), 1, want, in) != want) {
                    return false;
                }
                left -= static_cast<int64_t>(want);
            }
            if (out && std::fwrite(block.data(), 1, bytes, out.get()) != bytes) {
                return false;
            }
            sectors -= n;
            const uint32_t done = done_ += n;
            if (request_.speed > 0) {
                std::this_thread::sleep_until(
                    started + std::chrono::microseconds(uint64_t{done} * 1000000 /
                                                        (uint64_t{request_.speed} * 75)));
            }
        }
        return true;
    };
    for (const TrackFile& track : tracks_) {
        int64_t none = 0;
        if (!put(track.pauseSectors, nullptr, none)) {
            return removeParts();
        }
        File in(std::fopen(track.path.c_str(), "rb"));
        if (!in || std::fseek(in.get(), track.dataOffset, SEEK_SET) != 0) {
            return removeParts();
        }
        int64_t left = track.dataBytes;
        if (!put(track.sectors(), in.get(), left)) {
            return removeParts();
        }
    }
    if (request_.simulate) {
        return true;
    }
    if (std::fflush(out.get()) != 0) {
        return removeParts();
    }
    out.reset();
    {
        File sheet(std::fopen(cuePart.c_str(), "wb"));
        const std::string text = cueSheet(tracks_, kImageBinName);
        if (!sheet || std::fwrite(text.data(), 1, text.size(), sheet.get()) != text.size() ||
            std::fclose(sheet.release()) != 0) {
            return removeParts();
        }
    }
    fs::rename(binPart, bin, ignored);
    if (ignored) {
        return removeParts();
    }
    fs::rename(cuePart, cue, ignored);
    return ignored ? removeParts() : true;
}

}  // namespace primo
