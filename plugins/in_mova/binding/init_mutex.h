#pragma once
// The process-wide named mutex that orders the runtime's initialise and terminate calls across
// threads and across every library of the process that binds the runtime: "QTMLInitTermMutex"
// followed by the process id in lower-case hexadecimal, taken through the host's sonariOpenMutex
// (host_system.h). Held from construction to destruction (no time limit). A host without the
// functions, or a mutex that cannot be made, leaves the holder without it: callers work on
// unguarded, as they would with a mutex that could not be created.

#include <sonari/host_system.h>

#include <string>

namespace kinvo::in_mova {

// "QTMLInitTermMutex" + the process id in lower-case hexadecimal.
std::string initMutexName();

class InitMutexHold {
  public:
    InitMutexHold() noexcept;
    ~InitMutexHold();
    InitMutexHold(const InitMutexHold&) = delete;
    InitMutexHold& operator=(const InitMutexHold&) = delete;

    bool held() const noexcept { return mutex_ != nullptr; }

  private:
    SonariMutex* mutex_ = nullptr;
};

}  // namespace kinvo::in_mova
