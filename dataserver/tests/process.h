#pragma once
// Test helpers that run real programs: a command to completion with its output captured, and
// the data server as a child process on a free loopback port, stopped when the fixture ends.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kinvo::ds::test {

struct Finished {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs argv[0] (searched in PATH) with stdin from /dev/null.
Finished run(const std::vector<std::string>& argv);

// The data server binary under test (from the build).
std::string dataServerBinary();

// A temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path write(const std::string& name, const std::string& content) const;

  private:
    std::filesystem::path path_;
};

class ServerProcess {
  public:
    // Starts `kinvo-dataserver serve --db db --listen 127.0.0.1:0 <extra>` and waits until it
    // says where it listens.
    ServerProcess(const std::filesystem::path& db, const std::vector<std::string>& extra);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    std::string url(const std::string& target) const;
    // Sends `signal` and waits; returns the exit status and what it wrote to stderr.
    Finished stop(int signal);

  private:
    pid_t pid_ = -1;
    int errFd_ = -1;
    int port_ = 0;
    std::string err_;
};

}  // namespace kinvo::ds::test
