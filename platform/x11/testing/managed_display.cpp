#include "platform/x11/testing/managed_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace kinvo::testing {
namespace {

// Runs words[0] from the PATH with stdout and stderr on /dev/null (fd 3 given the write end of
// displayPipe when it is not -1); -1 when it could not be started.
pid_t spawn(std::vector<std::string> words, int displayPipe) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (displayPipe >= 0) {
        posix_spawn_file_actions_adddup2(&actions, displayPipe, 3);
    }
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

void end(pid_t& pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

// Whether a window manager has set _NET_SUPPORTING_WM_CHECK on the root window.
bool managerAnnounced(const std::string& display) {
    Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr) {
        return false;
    }
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &items, &after, &data) == Success &&
                       items == 1;
    if (data != nullptr) {
        XFree(data);
    }
    XCloseDisplay(x);
    return found;
}

// Whether the manager maps a window that asks to be mapped. Just after announcing itself it may
// still drop such a request, so a probe window asks again every half second until it shows.
bool managerMapsWindows(const std::string& display,
                        std::chrono::steady_clock::time_point deadline) {
    Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr) {
        return false;
    }
    const Window probe = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
    bool mapped = false;
    while (!mapped && std::chrono::steady_clock::now() < deadline) {
        XUnmapWindow(x, probe);
        XMapWindow(x, probe);
        XSync(x, False);
        for (int tries = 0; tries < 50 && !mapped; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            XWindowAttributes attributes{};
            mapped = XGetWindowAttributes(x, probe, &attributes) != 0 &&
                     attributes.map_state == IsViewable;
        }
    }
    XDestroyWindow(x, probe);
    XCloseDisplay(x);
    return mapped;
}

}  // namespace

ManagedDisplay::~ManagedDisplay() {
    end(manager_);
    end(server_);
}

bool ManagedDisplay::start() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        reason_ = "no pipe for the display number";
        return false;
    }
    // -displayfd: the server picks a free display and writes its number to fd 3.
    server_ = spawn(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"},
        fds[1]);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (server_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        reason_ = "Xvfb did not start";
        return false;
    }
    const std::string display = ":" + number;
    setenv("DISPLAY", display.c_str(), 1);
    manager_ = spawn({"openbox", "--sm-disable"}, -1);
    if (manager_ < 0) {
        reason_ = "openbox could not be started (scripts/setup-deps installs it)";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!managerAnnounced(display)) {
        if (waitpid(manager_, nullptr, WNOHANG) == manager_) {
            manager_ = -1;  // ended by itself
            reason_ = "openbox ended on " + display;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            reason_ = "openbox did not come up on " + display;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!managerMapsWindows(display, deadline)) {
        reason_ = "openbox maps no window on " + display;
        return false;
    }
    return true;
}

}  // namespace kinvo::testing
