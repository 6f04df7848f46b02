// The vexahost process a client starts: spawned with the client window's handle as its whole
// command line, reaped when it ends. Move-only; the destructor reaps without waiting.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace vexa {

class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(ServerProcess&& other) noexcept;
    ServerProcess& operator=(ServerProcess&& other) noexcept;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess();

    // Spawns `path` with one argument, `commandLine`; nullopt (errno set) when it cannot start.
    static std::optional<ServerProcess> spawn(const std::string& path,
                                              const std::string& commandLine);

    pid_t pid() const { return pid_; }
    // True while the process has not ended (reaping it when it has).
    bool running();
    // Waits up to `timeout` for the process to end; its exit status (or -signal), nullopt when
    // it is still running.
    std::optional<int> wait(std::chrono::milliseconds timeout);

private:
    explicit ServerProcess(pid_t pid) : pid_(pid) {}
    bool reap(bool block);

    pid_t pid_ = 0;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace vexa
