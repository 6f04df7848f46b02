#include "lib/x11/shm_segment.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <new>
#include <utility>

#include "lib/x11/display_state.h"
#include "lib/x11/error_trap.h"

namespace kinvo::x11 {

ShmSegment ShmSegment::attach(::Display* display, std::size_t bytes) noexcept {
    ShmSegment segment;
    if (display == nullptr || bytes == 0 || !XShmQueryExtension(display)) {
        return segment;
    }
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return segment;
    }
    void* memory = shmat(id, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return segment;
    }
    std::unique_ptr<::XShmSegmentInfo> info(new (std::nothrow)::XShmSegmentInfo{});
    if (!info) {
        shmdt(memory);
        shmctl(id, IPC_RMID, nullptr);
        return segment;
    }
    info->shmid = id;
    info->shmaddr = static_cast<char*>(memory);
    info->readOnly = False;
    ErrorTrap trap(display);
    const bool attached = XShmAttach(display, info.get()) != 0;
    const bool clean = trap.finish();
    shmctl(id, IPC_RMID, nullptr);
    if (!attached || !clean) {
        shmdt(memory);
        return segment;
    }
    segment.display_ = display;
    segment.info_ = std::move(info);
    return segment;
}

ShmSegment::~ShmSegment() {
    reset();
}

ShmSegment::ShmSegment(ShmSegment&& other) noexcept
    : display_(std::exchange(other.display_, nullptr)), info_(std::move(other.info_)) {}

ShmSegment& ShmSegment::operator=(ShmSegment&& other) noexcept {
    if (this != &other) {
        reset();
        display_ = std::exchange(other.display_, nullptr);
        info_ = std::move(other.info_);
    }
    return *this;
}

void ShmSegment::reset() noexcept {
    if (display_ == nullptr) {
        return;
    }
    if (!displayLost(display_)) {
        ErrorTrap trap(display_);
        XShmDetach(display_, info_.get());
        trap.finish();
    }
    shmdt(info_->shmaddr);
    display_ = nullptr;
    info_.reset();
}

}  // namespace kinvo::x11
