#include "runtimes/primo/backend/device_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace primo {

namespace {

constexpr int kOneXKilobytesPerSecond = 176;

}  // namespace

std::unique_ptr<DeviceWriter> DeviceWriter::start(kinvo::burn::Drive& drive,
                                                  const std::vector<TrackFile>& files,
                                                  const WriteRequest& request) noexcept {
    try {
        auto disc = kinvo::burn::Disc::create();
        if (!disc) {
            return nullptr;
        }
        std::vector<kinvo::burn::Source> sources;
        std::vector<kinvo::burn::Track> tracks;
        for (const TrackFile& file : files) {
            const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::lseek(fd, file.dataOffset, SEEK_SET) < 0) {
                if (fd >= 0) {
                    ::close(fd);
                }
                return nullptr;
            }
            auto source = kinvo::burn::Source::fromDescriptor(fd, file.dataBytes);
            if (!source) {
                return nullptr;
            }
            auto track = kinvo::burn::Track::audio(*source, static_cast<int>(file.pauseSectors));
            if (!track || !disc->add(*track)) {
                return nullptr;
            }
            sources.push_back(std::move(*source));
            tracks.push_back(std::move(*track));
        }
        auto options = kinvo::burn::WriteOptions::create(
            drive, {request.discAtOnce, request.simulate, request.underrunProof});
        if (!options) {
            return nullptr;
        }
        drive.setWriteSpeed(static_cast<int>(request.speed) * kOneXKilobytesPerSecond);
        std::unique_ptr<DeviceWriter> writer(new DeviceWriter(
            drive, std::move(*disc), std::move(sources), std::move(tracks), std::move(*options)));
        for (const TrackFile& file : files) {
            writer->total_ += file.pauseSectors + file.sectors();
        }
        kinvo::burn::startWrite(writer->options_, writer->disc_);
        return writer;
    } catch (...) {
        return nullptr;
    }
}

DeviceWriter::DeviceWriter(kinvo::burn::Drive& drive, kinvo::burn::Disc disc,
                           std::vector<kinvo::burn::Source> sources,
                           std::vector<kinvo::burn::Track> tracks,
                           kinvo::burn::WriteOptions options) noexcept
    : drive_(drive),
      disc_(std::move(disc)),
      sources_(std::move(sources)),
      tracks_(std::move(tracks)),
      options_(std::move(options)) {}

DeviceWriter::~DeviceWriter() {
    if (!drive_.progress().idle) {
        drive_.cancel();
        while (!drive_.progress().idle) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
}

WriteState DeviceWriter::status() noexcept {
    const kinvo::burn::WriteProgress progress = drive_.progress();
    WriteState state;
    state.total = progress.sectors > 0 ? static_cast<uint32_t>(progress.sectors) : total_;
    state.done = progress.sector > 0 ? static_cast<uint32_t>(progress.sector) : 0;
    if (!progress.idle) {
        started_ = true;
        return state;
    }
    // libburn may report idle for a moment before its thread takes the write up.
    if (!started_ && !drive_.wroteWell()) {
        started_ = true;
        return state;
    }
    state.phase = drive_.wroteWell() ? WriteState::Phase::kFinished : WriteState::Phase::kFailed;
    if (state.phase == WriteState::Phase::kFinished) {
        state.done = state.total;
    }
    return state;
}

void DeviceWriter::abort() noexcept {
    drive_.cancel();
}

}  // namespace primo
