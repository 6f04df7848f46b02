#include "runtimes/qtml/tests/x_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kinvo::qtml::testing {

XServer::XServer(const std::vector<std::string>& arguments) {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    // -displayfd: the server picks a free display and writes its number to fd 3.
    std::vector<std::string> words = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        server_ = 0;
        close(fds[0]);
        return;
    }
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (!number.empty()) {
        display_ = ":" + number;
    }
}

XServer::~XServer() {
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

}  // namespace kinvo::qtml::testing
