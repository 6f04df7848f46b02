#include "runtimes/primo/backend/audio_session.h"

#include <filesystem>

#include "runtimes/primo/backend/device_writer.h"
#include "runtimes/primo/backend/image_writer.h"

namespace primo {

bool AudioSession::open(uint32_t letter, const DriveLookups& lookups) noexcept {
    try {
        close();
        tracks_.clear();
        DriveTarget target = resolveDrive(letter, lookups);
        if (target.kind == DriveTarget::Kind::kImage) {
            std::error_code error;
            if (!std::filesystem::is_directory(target.path, error)) {
                return false;
            }
        } else if (target.kind == DriveTarget::Kind::kDevice) {
            kinvo::burn::Library library;
            if (!library.ok()) {
                return false;
            }
            auto drive = kinvo::burn::Drive::grab(target.path);
            if (!drive || !drive->hasBlankDisc()) {
                return false;
            }
            library_ = std::move(library);
            drive_ = std::move(drive);
        } else {
            return false;
        }
        target_ = std::move(target);
        return true;
    } catch (...) {
        return false;
    }
}

bool AudioSession::addTrack(const char* file, uint32_t pauseSectors, uint32_t& sectors) noexcept {
    if (!isOpen() || writer_ || file == nullptr) {
        return false;
    }
    try {
        auto track = openTrackFile(file, pauseSectors);
        if (!track) {
            return false;
        }
        sectors = track->sectors();
        tracks_.push_back(std::move(*track));
        return true;
    } catch (...) {
        return false;
    }
}

bool AudioSession::choosesSpeed() const noexcept {
    switch (target_.kind) {
        case DriveTarget::Kind::kImage:
            return true;
        case DriveTarget::Kind::kDevice:
            return drive_ && drive_->maxWriteSpeed() > 0;
        case DriveTarget::Kind::kNone:
            return false;
    }
    return false;
}

bool AudioSession::write(const WriteRequest& request) noexcept {
    if (!isOpen() || tracks_.empty() || writer_) {
        return false;
    }
    if (target_.kind == DriveTarget::Kind::kImage) {
        writer_ = ImageWriter::start(target_.path, tracks_, request);
    } else if (drive_) {
        writer_ = DeviceWriter::start(*drive_, tracks_, request);
    }
    return writer_ != nullptr;
}

WriteState AudioSession::status() noexcept {
    if (writer_) {
        last_ = writer_->status();
    } else if (last_.phase == WriteState::Phase::kRunning) {
        last_.phase = WriteState::Phase::kFailed;
    }
    return last_;
}

void AudioSession::abort() noexcept {
    if (writer_) {
        writer_->abort();
    }
}

void AudioSession::close() noexcept {
    if (writer_) {
        last_ = writer_->status();
        if (last_.phase == WriteState::Phase::kRunning) {
            writer_->abort();
            last_.phase = WriteState::Phase::kFailed;
        }
        writer_.reset();  // waits for the write's end
    }
    drive_.reset();
    library_.reset();
    target_ = DriveTarget();
}

}  // namespace primo
