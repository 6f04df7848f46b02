#include "dataserver/tests/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

extern char** environ;

namespace kinvo::ds::test {

namespace {

std::vector<char*> cArgs(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const std::string& a : argv) {
        out.push_back(const_cast<char*>(a.c_str()));
    }
    out.push_back(nullptr);
    return out;
}

int statusOf(int raw) {
    if (WIFEXITED(raw)) {
        return WEXITSTATUS(raw);
    }
    return 128 + WTERMSIG(raw);
}

pid_t spawn(const std::vector<std::string>& argv, int outFd, int errFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    }
    if (errFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    }
    // The child must not inherit blocked signals from a test runner thread.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    std::vector<char*> args = cArgs(argv);
    int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

// Reads both pipes until they close.
void drain(int outFd, int errFd, std::string& out, std::string& err) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    char buf[65536];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                continue;
            }
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            (i == 0 ? out : err).append(buf, static_cast<std::size_t>(n));
        }
    }
}

}  // namespace

Finished run(const std::vector<std::string>& argv) {
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    pid_t pid = spawn(argv, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    Finished f;
    drain(out[0], err[0], f.out, f.err);
    int raw = 0;
    waitpid(pid, &raw, 0);
    f.status = statusOf(raw);
    return f;
}

std::string dataServerBinary() {
    const char* path = std::getenv("KINVO_DATASERVER");
    if (!path) {
        throw std::runtime_error("KINVO_DATASERVER is not set");
    }
    return path;
}

TempDir::TempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0; i < 100; ++i) {
        auto candidate = base / ("kinvo-ds-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& content) const {
    auto file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

ServerProcess::ServerProcess(const std::filesystem::path& db,
                             const std::vector<std::string>& extra) {
    std::vector<std::string> argv{dataServerBinary(), "serve",    "--db",
                                  db.string(),        "--listen", "127.0.0.1:0"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    pid_ = spawn(argv, -1, err[1]);
    close(err[1]);
    errFd_ = err[0];
    const std::string marker = "listening on 127.0.0.1:";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    char buf[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{errFd_, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) {
            continue;
        }
        ssize_t n = read(errFd_, buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        err_.append(buf, static_cast<std::size_t>(n));
        std::size_t at = err_.find(marker);
        if (at != std::string::npos && err_.find('\n', at) != std::string::npos) {
            port_ = std::atoi(err_.c_str() + at + marker.size());
            return;
        }
    }
    stop(SIGKILL);
    throw std::runtime_error("data server did not start: " + err_);
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        stop(SIGKILL);
    }
}

std::string ServerProcess::url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

Finished ServerProcess::stop(int signal) {
    Finished f;
    if (pid_ <= 0) {
        return f;
    }
    kill(pid_, signal);
    // Keep reading stderr so a chatty server cannot block on a full pipe while stopping.
    std::string out;
    drain(open("/dev/null", O_RDONLY | O_CLOEXEC), errFd_, out, err_);
    errFd_ = -1;
    int raw = 0;
    waitpid(pid_, &raw, 0);
    pid_ = -1;
    f.status = statusOf(raw);
    f.err = err_;
    return f;
}

}  // namespace kinvo::ds::test
