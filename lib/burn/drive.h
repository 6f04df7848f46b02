#pragma once
// Optical drives through libburn: the addresses a scan finds, and one grabbed drive with its
// write progress. Every call needs a live kinvo::burn::Library.
//
// Threads: a Drive is used by one thread at a time; libburn writes on a thread of its own, which
// status() and cancel() observe and stop. Failures answer empty, nullopt or false; nothing throws.
#include <optional>
#include <string>
#include <vector>

// libburn declares its C interface inside namespace burn when included from C++.
namespace burn {
struct burn_drive;
struct burn_drive_info;
}  // namespace burn

namespace kinvo::burn {

// The addresses ("/dev/sr0", ...) of the optical drives the system offers, in libburn's order;
// empty when there is none or the scan fails. Blocks until the scan ends.
std::vector<std::string> scanDriveAddresses() noexcept;

struct WriteProgress {
    bool idle = true;  // no write is running
    int sector = 0;    // sectors written so far
    int sectors = 0;   // sectors in all
};

class Drive {
  public:
    // Grabs the drive at `address` (exclusively, with the tray loaded); nullopt when it is no
    // drive or is in use.
    static std::optional<Drive> grab(const std::string& address) noexcept;

    Drive(Drive&& other) noexcept;
    Drive& operator=(Drive&& other) noexcept;
    Drive(const Drive&) = delete;
    Drive& operator=(const Drive&) = delete;
    ~Drive();  // releases the drive without ejecting; a write must have ended (cancel, then idle)

    ::burn::burn_drive* get() const noexcept;
    // True when the loaded medium is blank and writable.
    bool hasBlankDisc() const noexcept;
    // The highest write speed the drive reports in kB/s; 0 when it reports none.
    int maxWriteSpeed() const noexcept;
    // Write speed in kB/s for the next write; 0 lets the drive choose its highest.
    void setWriteSpeed(int kilobytesPerSecond) noexcept;

    WriteProgress progress() const noexcept;
    void cancel() noexcept;
    // After a write has ended: true when it wrote everything.
    bool wroteWell() const noexcept;

  private:
    explicit Drive(::burn::burn_drive_info* info) noexcept : info_(info) {}
    void release() noexcept;
    ::burn::burn_drive_info* info_ = nullptr;
};

}  // namespace kinvo::burn
