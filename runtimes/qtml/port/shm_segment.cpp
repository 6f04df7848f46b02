#include "runtimes/qtml/port/shm_segment.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

namespace kinvo::qtml {

std::unique_ptr<ShmSegment> ShmSegment::attach(xcb_connection_t* connection,
                                               size_t bytes) noexcept {
    const int shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shmid < 0) {
        return nullptr;
    }
    void* address = shmat(shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    const xcb_shm_seg_t id = xcb_generate_id(connection);
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_shm_attach_checked(connection, id, shmid, 0));
    // Both sides are attached (or the server never will be): the segment goes with the last one.
    shmctl(shmid, IPC_RMID, nullptr);
    const bool attached = error == nullptr;
    std::free(error);
    std::unique_ptr<ShmSegment> segment;
    if (attached) {
        segment.reset(new (std::nothrow)
                          ShmSegment(connection, static_cast<uint8_t*>(address), bytes, id));
    }
    if (!segment) {
        if (attached) {
            xcb_shm_detach(connection, id);
        }
        shmdt(address);
    }
    return segment;
}

ShmSegment::~ShmSegment() {
    // The detach reaches the server before the memory goes: the server is done with it by then.
    std::free(xcb_request_check(connection_, xcb_shm_detach_checked(connection_, id_)));
    shmdt(data_);
}

}  // namespace kinvo::qtml
