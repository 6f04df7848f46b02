// The configuration and log of a test plug-in: "<folder>/<stem>.cfg" beside the library (stem =
// its file name without ".so") holds key=value lines that a test writes before loading it; the
// plug-in appends what it is asked to "<folder>/<stem>.log", one line per call, so a test reads
// the order and arguments of the calls. Used only by the test plug-ins, which include nothing of
// the host but this folder and include/sonari/.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace testplugin {

class Config {
  public:
    // Reads the configuration of the library that holds `anySymbol`; empty when there is none.
    static Config forLibraryOf(const void* anySymbol);

    // The first value of a key, or `fallback`.
    std::string text(const std::string& key, const std::string& fallback = {}) const;
    int32_t number(const std::string& key, int32_t fallback) const;
    bool has(const std::string& key) const;
    // Every value of a repeatable key, in file order.
    std::vector<std::string> all(const std::string& key) const;

    const std::string& logPath() const { return logPath_; }
    const std::string& fileName() const { return fileName_; }

  private:
    std::vector<std::pair<std::string, std::string>> items_;
    std::string logPath_;
    std::string fileName_;
};

// Appends lines to the log file and, when the configuration names one with "sharedlog=PATH",
// to that file too, prefixed with the library's file name (so a test sees the order of calls
// across plug-ins). Callable from any thread.
class Log {
  public:
    void open(const Config& config);
    void line(const std::string& text);

  private:
    std::mutex mutex_;  // guards the writes and the members below
    std::string path_;
    std::string sharedPath_;
    std::string prefix_;
};

// Parses a number as strtol with base 0 (decimal, 0x hex); `fallback` when it is not one.
int32_t parseNumber(const std::string& text, int32_t fallback);

// Splits at every `separator`.
std::vector<std::string> split(const std::string& text, char separator);

// CLOCK_MONOTONIC in nanoseconds, comparable between processes.
int64_t monotonicNs();

}  // namespace testplugin
