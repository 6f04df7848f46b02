#pragma once
// A write in progress, to the image drive or an optical drive. Made started; the owner's thread
// asks status() and may abort(); the destructor aborts a write still running and waits for its
// end. Never throws.
#include <cstdint>

namespace primo {

struct WriteState {
    enum class Phase { kRunning, kFinished, kFailed } phase = Phase::kRunning;
    uint32_t done = 0;   // sectors written
    uint32_t total = 0;  // sectors to write
};

struct WriteRequest {
    bool simulate = false;
    bool discAtOnce = true;
    bool underrunProof = false;
    // Multiples of 75 sectors a second; 0 for the drive's highest.
    uint32_t speed = 0;
};

class DiscWriter {
  public:
    virtual ~DiscWriter() = default;
    virtual WriteState status() noexcept = 0;
    // Asks the write to stop; status() then reaches kFailed.
    virtual void abort() noexcept = 0;
};

}  // namespace primo
