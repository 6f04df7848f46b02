#include "lib/burn/drive.h"

#include <libburn/libburn.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace ::burn;  // libburn's C interface

namespace kinvo::burn {

std::vector<std::string> scanDriveAddresses() noexcept {
    std::vector<std::string> addresses;
    burn_drive_info* infos = nullptr;
    unsigned int count = 0;
    int scanned = 0;
    while ((scanned = burn_drive_scan(&infos, &count)) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (scanned < 0 || infos == nullptr) {
        return addresses;
    }
    try {
        for (unsigned int i = 0; i < count; ++i) {
            char address[BURN_DRIVE_ADR_LEN] = {};
            if (burn_drive_get_adr(&infos[i], address) > 0) {
                addresses.emplace_back(address);
            }
        }
    } catch (...) {
        addresses.clear();
    }
    burn_drive_info_free(infos);
    return addresses;
}

std::optional<Drive> Drive::grab(const std::string& address) noexcept {
    burn_drive_info* info = nullptr;
    std::string copy = address;
    if (burn_drive_scan_and_grab(&info, copy.data(), 1) != 1 || info == nullptr) {
        return std::nullopt;
    }
    return Drive(info);
}

Drive::Drive(Drive&& other) noexcept : info_(other.info_) {
    other.info_ = nullptr;
}

Drive& Drive::operator=(Drive&& other) noexcept {
    if (this != &other) {
        release();
        info_ = other.info_;
        other.info_ = nullptr;
    }
    return *this;
}

Drive::~Drive() {
    release();
}

void Drive::release() noexcept {
    if (info_ == nullptr) {
        return;
    }
    burn_drive_release(info_->drive, 0);
    burn_drive_info_free(info_);
    info_ = nullptr;
}

burn_drive* Drive::get() const noexcept {
    return info_ != nullptr ? info_->drive : nullptr;
}

bool Drive::hasBlankDisc() const noexcept {
    burn_disc_status status = BURN_DISC_UNREADY;
    while ((status = burn_disc_get_status(get())) == BURN_DISC_UNREADY) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status == BURN_DISC_BLANK;
}

int Drive::maxWriteSpeed() const noexcept {
    int speed = burn_drive_get_write_speed(get());
    return speed > 0 ? speed : 0;
}

void Drive::setWriteSpeed(int kilobytesPerSecond) noexcept {
    burn_drive_set_speed(get(), 0, kilobytesPerSecond);
}

WriteProgress Drive::progress() const noexcept {
    burn_progress p{};
    WriteProgress result;
    result.idle = burn_drive_get_status(get(), &p) == BURN_DRIVE_IDLE;
    result.sector = p.sector;
    result.sectors = p.sectors;
    return result;
}

void Drive::cancel() noexcept {
    burn_drive_cancel(get());
}

bool Drive::wroteWell() const noexcept {
    return burn_drive_wrote_well(get()) == 1;
}

}  // namespace kinvo::burn
