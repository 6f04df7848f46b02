#include "platform/process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <thread>
#include <vector>

extern char** environ;

namespace win {

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, 0)),
      pidFd_(std::move(other.pidFd_)),
      exitCode_(other.exitCode_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    pid_ = std::exchange(other.pid_, 0);
    pidFd_ = std::move(other.pidFd_);
    exitCode_ = other.exitCode_;
    return *this;
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (exitCode_ || pid_ <= 0) {
        return exitCode_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitCode_;
        }
        if (done < 0 && errno != EINTR) {
            return std::nullopt;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return std::nullopt;
        }
        const int ms = static_cast<int>(
            std::min<long long>(std::chrono::ceil<std::chrono::milliseconds>(left).count(), 1000));
        if (pidFd_) {
            pollfd fd{pidFd_.get(), POLLIN, 0};
            ::poll(&fd, 1, ms);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
        }
    }
}

bool ChildProcess::kill(int signal) const {
    return pid_ > 0 && !exitCode_ && ::kill(pid_, signal) == 0;
}

std::optional<ChildProcess> createProcess(const std::string& program,
                                          const std::string& commandLine) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    if (!commandLine.empty()) {
        argv.push_back(const_cast<char*>(commandLine.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    // Every descriptor of ours is opened close-on-exec, so the child inherits none of them.
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    UniqueFd pidFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    return ChildProcess(pid, std::move(pidFd));
}

std::string ownExecutablePath() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

std::string commandLineText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

}  // namespace win
