#pragma once
// What the web view's tests and benchmarks wait with: the user-interface thread's events run
// while they wait. Header only; the thread that runs the application's event loop.

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>

namespace kinvo::web::test_support {

// Lets events run for the given time.
inline void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets events run until done() holds or the time is up; whether it held.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 20000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        settle(10);
    }
    return true;
}

// The vexahost processes this process started that still run (-1 when /proc can't be read).
inline int runningServers() {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return -1;
    }
    int count = 0;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9') {
            continue;  // not a process
        }
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        const std::string text((std::istreambuf_iterator<char>(stat)),
                               std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        if (text.find("(vexahost)") == std::string::npos || close == std::string::npos) {
            continue;
        }
        std::istringstream rest(text.substr(close + 2));
        char state = 0;
        long parent = 0;
        rest >> state >> parent;
        count += (state != 'Z' && parent == ::getpid()) ? 1 : 0;
    }
    ::closedir(proc);
    return count;
}

}  // namespace kinvo::web::test_support
