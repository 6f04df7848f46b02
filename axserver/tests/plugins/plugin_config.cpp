#include "axserver/tests/plugins/plugin_config.h"

#include <dlfcn.h>
#include <time.h>

#include <cstdlib>
#include <fstream>

namespace testplugin {

Config Config::forLibraryOf(const void* anySymbol) {
    Config config;
    Dl_info info{};
    if (dladdr(anySymbol, &info) == 0 || info.dli_fname == nullptr) {
        return config;
    }
    std::string path = info.dli_fname;
    std::string stem = path;
    if (stem.size() > 3 && stem.compare(stem.size() - 3, 3, ".so") == 0) {
        stem.resize(stem.size() - 3);
    }
    auto slash = path.rfind('/');
    config.fileName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    config.logPath_ = stem + ".log";
    std::ifstream in(stem + ".cfg");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        config.items_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return config;
}

std::string Config::text(const std::string& key, const std::string& fallback) const {
    for (const auto& [k, v] : items_) {
        if (k == key) {
            return v;
        }
    }
    return fallback;
}

int32_t Config::number(const std::string& key, int32_t fallback) const {
    return has(key) ? parseNumber(text(key), fallback) : fallback;
}

bool Config::has(const std::string& key) const {
    for (const auto& item : items_) {
        if (item.first == key) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> Config::all(const std::string& key) const {
    std::vector<std::string> values;
    for (const auto& [k, v] : items_) {
        if (k == key) {
            values.push_back(v);
        }
    }
    return values;
}

void Log::open(const Config& config) {
    std::lock_guard lock(mutex_);
    path_ = config.logPath();
    sharedPath_ = config.text("sharedlog");
    prefix_ = config.fileName();
}

void Log::line(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (!path_.empty()) {
        std::ofstream(path_, std::ios::app) << text << '\n';
    }
    if (!sharedPath_.empty()) {
        std::ofstream(sharedPath_, std::ios::app) << prefix_ << ' ' << text << '\n';
    }
}

int32_t parseNumber(const std::string& text, int32_t fallback) {
    if (text.empty()) {
        return fallback;
    }
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0' ? static_cast<int32_t>(value) : fallback;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        auto at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 1;
    }
}

int64_t monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace testplugin
