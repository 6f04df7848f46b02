#pragma once
// What the benchmarks that play on a screen share: starting a helper program quietly, and the
// display of the run ($DISPLAY, else a private Xvfb that lives as long as the object).

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern "C" char** environ;

namespace kinvo::bench {

// Starts the program found on PATH with its input and errors on /dev/null; -1 on failure.
inline pid_t spawnQuietly(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const std::string& w : words) {
        argv.push_back(const_cast<char*>(w.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

class BenchDisplay {
  public:
    BenchDisplay() {
        if (std::getenv("DISPLAY") != nullptr) {
            ok_ = true;
            return;
        }
        for (int number = 90; number < 110 && !ok_; ++number) {
            const std::string name = ":" + std::to_string(number);
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (access(socket.c_str(), F_OK) == 0) {
                continue;
            }
            xvfb_ =
                spawnQuietly({"Xvfb", name, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"});
            for (int i = 0; i < 50 && xvfb_ > 0; ++i) {
                if (access(socket.c_str(), F_OK) == 0) {
                    setenv("DISPLAY", name.c_str(), 1);
                    ok_ = true;
                    break;
                }
                usleep(100000);
            }
        }
    }
    ~BenchDisplay() {
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitpid(xvfb_, nullptr, 0);
        }
    }
    BenchDisplay(const BenchDisplay&) = delete;
    BenchDisplay& operator=(const BenchDisplay&) = delete;
    bool ok() const { return ok_; }

  private:
    pid_t xvfb_ = -1;
    bool ok_ = false;
};

}  // namespace kinvo::bench
