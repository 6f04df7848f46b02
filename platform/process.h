#pragma once
// Starting processes: createProcess runs a program with one command-line text (the program sees
// it as its single argument, the text after the program name, as on Windows), and the program's
// own path for starting a second copy of itself.
//
// Failures answer nullopt or empty; nothing throws. A ChildProcess may be used from one thread
// at a time. Dropping one leaves the process running (it is not killed or waited for).

#include "platform/unique_fd.h"

#include <chrono>
#include <optional>
#include <string>

#include <sys/types.h>

namespace win {

class ChildProcess {
  public:
    ChildProcess(pid_t pid, UniqueFd pidFd) : pid_(pid), pidFd_(std::move(pidFd)) {}
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess() = default;

    pid_t pid() const { return pid_; }
    // The exit code (128 + signal for a killed process) once it has ended within `timeout`;
    // nullopt while it still runs. Reaps the process.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    bool kill(int signal) const;

  private:
    pid_t pid_ = 0;
    UniqueFd pidFd_;  // readable when the process ends; -1 when the kernel offers none
    std::optional<int> exitCode_;
};

// Runs `program` with the argument `commandLine` (no argument when it is empty). The child gets
// none of our descriptors.
std::optional<ChildProcess> createProcess(const std::string& program,
                                          const std::string& commandLine);

// The full path of the running program, "" when unknown.
std::string ownExecutablePath();

// The text after the program name as one string: argv[1] .. argv[argc-1] joined by blanks (a
// program started by createProcess has exactly one).
std::string commandLineText(int argc, char** argv);

}  // namespace win
