#include "control/client/server_process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

extern char** environ;

namespace vexa {

ServerProcess::ServerProcess(ServerProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, 0)), ended_(other.ended_), status_(other.status_) {}

ServerProcess& ServerProcess::operator=(ServerProcess&& other) noexcept {
    if (this != &other) {
        reap(false);
        pid_ = std::exchange(other.pid_, 0);
        ended_ = other.ended_;
        status_ = other.status_;
    }
    return *this;
}

ServerProcess::~ServerProcess() { reap(false); }

std::optional<ServerProcess> ServerProcess::spawn(const std::string& path,
                                                  const std::string& commandLine) {
    std::string program = path;
    std::string argument = commandLine;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    if (rc != 0) {
        errno = rc;
        return std::nullopt;
    }
    return ServerProcess(pid);
}

bool ServerProcess::reap(bool block) {
    if (pid_ == 0 || ended_) {
        return ended_;
    }
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        ended_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    return ended_;
}

bool ServerProcess::running() { return pid_ != 0 && !reap(false); }

std::optional<int> ServerProcess::wait(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

}  // namespace vexa
