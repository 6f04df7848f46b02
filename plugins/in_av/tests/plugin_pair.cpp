#include "plugins/in_av/tests/plugin_pair.h"

#include <dlfcn.h>
#include <sonari/host_messages.h>
#include <stdlib.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>

namespace kinvo::in_av::testing {

namespace {

namespace fs = std::filesystem;

constexpr size_t kWavHeader = 44;

// What the plug-in reported, from its decode thread; guarded by lock.
struct Recorder {
    std::mutex lock;
    std::condition_variable changed;
    int trackEnds = 0;
    std::vector<std::pair<int, int>> statuses;
    std::vector<std::string> addresses;
    std::vector<std::vector<int>> streamInfos;
    std::vector<std::string> metadata;
};
Recorder recorder;

void recordStatus(int32_t code, int32_t value) {
    std::lock_guard lock(recorder.lock);
    recorder.statuses.emplace_back(code, value);
}
void recordAddress(const char* address) {
    std::lock_guard lock(recorder.lock);
    recorder.addresses.emplace_back(address);
}
void recordStreamInfo(int32_t a, int32_t b, int32_t c, int32_t d) {
    std::lock_guard lock(recorder.lock);
    recorder.streamInfos.push_back({a, b, c, d});
}
void recordMetadata(const char* text, int32_t number) {
    std::lock_guard lock(recorder.lock);
    recorder.metadata.push_back(std::string(text) + " " + std::to_string(number));
}

template <typename T>
T symbol(void* library, const char* name) {
    void* found = dlsym(library, name);
    if (found == nullptr) {
        throw std::runtime_error(std::string("missing ") + name);
    }
    return reinterpret_cast<T>(found);
}

fs::path newestWav(const std::string& folder) {
    fs::path newest;
    fs::file_time_type newestTime{};
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".wav" &&
            (newest.empty() || entry.last_write_time() >= newestTime)) {
            newest = entry.path();
            newestTime = entry.last_write_time();
        }
    }
    return newest;
}

}  // namespace

PluginPair::PluginPair(const std::string& pcmFolder) : folder_(pcmFolder) {
    {
        std::lock_guard lock(recorder.lock);
        recorder.trackEnds = 0;
        recorder.statuses.clear();
        recorder.addresses.clear();
        recorder.streamInfos.clear();
        recorder.metadata.clear();
    }
    setenv("KINVO_PCM_DIR", pcmFolder.c_str(), 1);
    outLibrary_ = dlopen(OUT_QPCM_PATH, RTLD_NOW | RTLD_LOCAL);
    inLibrary_ = dlopen(IN_AV_PATH, RTLD_NOW | RTLD_LOCAL);
    if (outLibrary_ == nullptr || inLibrary_ == nullptr) {
        throw std::runtime_error(dlerror());
    }
    out_ = symbol<SonariGetOutModuleFn>(outLibrary_, SONARI_GET_OUT_MODULE)();
    in_ = symbol<SonariGetInModuleFn>(inLibrary_, SONARI_GET_IN_MODULE)();
    out_->hostWindow = 1;
    out_->init();
    in_->hostWindow = 1;
    in_->outputModule = out_;
    in_->postStatus = recordStatus;
    in_->reportAddress = recordAddress;
    in_->setStreamInfo = recordStreamInfo;
    in_->sendMetadata = recordMetadata;
    in_->init();
}

PluginPair::~PluginPair() {
    if (in_ != nullptr) {
        in_->stop();
        in_->quit();
    }
    if (out_ != nullptr) {
        out_->quit();
    }
    if (inLibrary_ != nullptr) {
        dlclose(inLibrary_);
    }
    if (outLibrary_ != nullptr) {
        dlclose(outLibrary_);
    }
}

bool PluginPair::waitForTrackEnds(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(recorder.lock);
    return recorder.changed.wait_for(lock, timeout,
                                     [count] { return recorder.trackEnds >= count; });
}

int PluginPair::trackEnds() const {
    std::lock_guard lock(recorder.lock);
    return recorder.trackEnds;
}

std::vector<std::pair<int, int>> PluginPair::statuses() const {
    std::lock_guard lock(recorder.lock);
    return recorder.statuses;
}

std::vector<std::string> PluginPair::addresses() const {
    std::lock_guard lock(recorder.lock);
    return recorder.addresses;
}

std::vector<std::vector<int>> PluginPair::streamInfos() const {
    std::lock_guard lock(recorder.lock);
    return recorder.streamInfos;
}

std::vector<std::string> PluginPair::metadata() const {
    std::lock_guard lock(recorder.lock);
    return recorder.metadata;
}

std::string PluginPair::lastPcm() const {
    std::ifstream in(newestWav(folder_), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return bytes.size() > kWavHeader ? bytes.substr(kWavHeader) : std::string();
}

size_t PluginPair::lastPcmSize() const {
    const fs::path path = newestWav(folder_);
    const uintmax_t size = path.empty() ? 0 : fs::file_size(path);
    return size > kWavHeader ? size - kWavHeader : 0;
}

}  // namespace kinvo::in_av::testing

extern "C" int32_t sonariPostMessage(SonariWindow window, uint32_t message, uintptr_t, intptr_t) {
    using kinvo::in_av::testing::recorder;
    if (window == 1 && message == SONARI_MSG_TRACK_END) {
        std::lock_guard lock(recorder.lock);
        ++recorder.trackEnds;
        recorder.changed.notify_all();
    }
    return 1;
}
