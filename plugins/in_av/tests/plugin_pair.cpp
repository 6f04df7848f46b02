#include "plugins/in_av/tests/plugin_pair.h"

#include <dlfcn.h>
#include <sonari/host_messages.h>
#include <sonari/video_output.h>
#include <stdlib.h>

#include <algorithm>
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

// The host's video output: records what the plug-in asks of it (from the decode thread, and
// close from the main thread); guarded by lock.
class RecordingVideoOutput final : public SonariVideoOutput {
  public:
    std::mutex lock;
    bool offered = true;
    SonariInModule* in = nullptr;
    std::vector<VideoOpen> opens;
    std::vector<VideoDraw> draws;
    std::vector<VideoSubtitle> subtitles;
    const SonariSubtitle* showing = nullptr;
    int closes = 0;
    std::string firstPicture;
    std::vector<std::thread::id> askedOn;  // the threads that asked for the video output

    void reset() {
        std::lock_guard guard(lock);
        offered = true;
        askedOn.clear();
        opens.clear();
        draws.clear();
        closes = 0;
        firstPicture.clear();
    }
    int32_t open(int32_t width, int32_t height, int32_t flip, double aspect,
                 uint32_t type) override {
        std::lock_guard guard(lock);
        opens.push_back({width, height, flip, aspect, type});
        firstPicture.clear();
        return 0;
    }
    void setMessageHandler(intptr_t (*)(void*, SonariWindow, uint32_t, uintptr_t, intptr_t),
                           void*) override {}
    void close() override {
        std::lock_guard guard(lock);
        ++closes;
    }
    void draw(const void* frame) override {
        const int32_t time = in->getOutputTime();
        std::lock_guard guard(lock);
        if (opens.empty() || frame == nullptr) {
            return;
        }
        const VideoOpen& open = opens.back();
        if (firstPicture.empty()) {
            firstPicture = pack(open, frame);
        }
        int luma = -1;
        if (open.type == SONARI_VIDEO_YV12) {
            const auto& planes = *static_cast<const SonariPlaneTable*>(frame);
            luma = planes.y[open.height / 2 * planes.yPitch + open.width / 2];
        }
        draws.push_back({time, luma});
    }
    void setSubtitle(const void* subtitle) override {
        const int32_t time = in->getOutputTime();
        const auto* record = static_cast<const SonariSubtitle*>(subtitle);
        std::lock_guard guard(lock);
        // As the host's output does, a record offered again while it shows is not news.
        if (record != nullptr && record == showing) {
            return;
        }
        showing = record;
        subtitles.push_back({time, record != nullptr ? record->text : "",
                             record != nullptr ? record->x : 0, record != nullptr ? record->y : 0});
    }
    void setStatusText(const char*) override {}
    int32_t reserved() override { return 0; }
    void reportBuffer(int32_t) override {}
    int32_t extended(int32_t, intptr_t, intptr_t) override { return 0; }

  private:
    static std::string pack(const VideoOpen& open, const void* frame) {
        std::string packed;
        const auto rows = [&packed](const uint8_t* data, int32_t pitch, size_t width,
                                    size_t height) {
            for (size_t y = 0; y < height; ++y) {
                packed.append(reinterpret_cast<const char*>(data) + y * pitch, width);
            }
        };
        const size_t width = static_cast<size_t>(open.width);
        const size_t height = static_cast<size_t>(open.height);
        if (open.type == SONARI_VIDEO_YV12) {
            const auto& planes = *static_cast<const SonariPlaneTable*>(frame);
            rows(planes.y, planes.yPitch, width, height);
            rows(planes.u, planes.uPitch, (width + 1) / 2, (height + 1) / 2);
            rows(planes.v, planes.vPitch, (width + 1) / 2, (height + 1) / 2);
        } else {
            const size_t bytes = open.type == SONARI_VIDEO_RG32   ? 4
                                 : open.type == SONARI_VIDEO_RG24 ? 3
                                                                  : 2;
            rows(static_cast<const uint8_t*>(frame), static_cast<int32_t>(width * bytes),
                 width * bytes, height);
        }
        return packed;
    }
};
RecordingVideoOutput videoOutput;

// The disk writer played like a sound card (Pace::RealTime); guarded by lock.
struct Pacer {
    using Steady = std::chrono::steady_clock;
    std::mutex lock;
    SonariOutModule* out = nullptr;
    SonariOutModule record{};
    int64_t baseMs = 0;    // at open or the latest flush
    int64_t playedMs = 0;  // since then
    Steady::time_point lastTick;
    bool paused = false;

    // The time played; lock held.
    int64_t played() {
        const Steady::time_point now = Steady::now();
        const int64_t elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick).count();
        lastTick += std::chrono::milliseconds(elapsed);
        if (!paused) {
            playedMs += elapsed;
        }
        return std::min<int64_t>(baseMs + playedMs, out->getOutputTime());
    }
    void restart(int64_t ms) {
        baseMs = ms;
        playedMs = 0;
        lastTick = Steady::now();
    }
};
Pacer pacer;

void installPacer(SonariOutModule& out) {
    pacer.out = &out;
    pacer.record = out;
    pacer.record.open = [](int32_t rate, int32_t channels, int32_t bits, int32_t a, int32_t b) {
        std::lock_guard lock(pacer.lock);
        pacer.restart(0);
        pacer.paused = false;
        return pacer.out->open(rate, channels, bits, a, b);
    };
    pacer.record.canWrite = [] {
        std::lock_guard lock(pacer.lock);
        const int64_t ahead = pacer.out->getOutputTime() - pacer.played();
        return ahead < PluginPair::kPacerAheadMs ? pacer.out->canWrite() : 0;
    };
    pacer.record.isPlaying = [] {
        std::lock_guard lock(pacer.lock);
        return pacer.played() < pacer.out->getOutputTime() ? 1 : 0;
    };
    pacer.record.pause = [](int32_t flag) {
        std::lock_guard lock(pacer.lock);
        pacer.played();
        pacer.paused = flag != 0;
        return pacer.out->pause(flag);
    };
    pacer.record.flush = [](int32_t ms) {
        std::lock_guard lock(pacer.lock);
        pacer.restart(ms);
        pacer.out->flush(ms);
    };
    pacer.record.getOutputTime = [] {
        std::lock_guard lock(pacer.lock);
        return static_cast<int32_t>(pacer.played());
    };
}

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

PluginPair::PluginPair(const std::string& pcmFolder, Pace pace) : folder_(pcmFolder) {
    videoOutput.reset();
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
    if (pace == Pace::RealTime) {
        installPacer(*out_);
        in_->outputModule = &pacer.record;
    }
    videoOutput.in = in_;
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

void PluginPair::offerVideoOutput(bool offer) {
    std::lock_guard lock(videoOutput.lock);
    videoOutput.offered = offer;
}

std::vector<std::thread::id> PluginPair::videoOutputAskedOn() const {
    std::lock_guard lock(videoOutput.lock);
    return videoOutput.askedOn;
}

std::vector<VideoOpen> PluginPair::videoOpens() const {
    std::lock_guard lock(videoOutput.lock);
    return videoOutput.opens;
}

std::vector<VideoDraw> PluginPair::videoDraws() const {
    std::lock_guard lock(videoOutput.lock);
    return videoOutput.draws;
}

std::vector<VideoSubtitle> PluginPair::videoSubtitles() const {
    std::lock_guard lock(videoOutput.lock);
    return videoOutput.subtitles;
}

int PluginPair::videoCloses() const {
    std::lock_guard lock(videoOutput.lock);
    return videoOutput.closes;
}

std::string PluginPair::firstPicture() const {
    std::lock_guard lock(videoOutput.lock);
    return videoOutput.firstPicture;
}

}  // namespace kinvo::in_av::testing

extern "C" intptr_t sonariSendMessage(SonariWindow window, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam) {
    using kinvo::in_av::testing::videoOutput;
    if (window != 1 || message != SONARI_MSG_COMMAND || wParam != 0 ||
        lParam != SONARI_SERVICE_GET_VIDEO_OUTPUT) {
        return 0;
    }
    std::lock_guard lock(videoOutput.lock);
    videoOutput.askedOn.push_back(std::this_thread::get_id());
    return videoOutput.offered
               ? reinterpret_cast<intptr_t>(static_cast<SonariVideoOutput*>(&videoOutput))
               : 0;
}

extern "C" int32_t sonariPostMessage(SonariWindow window, uint32_t message, uintptr_t, intptr_t) {
    using kinvo::in_av::testing::recorder;
    if (window == 1 && message == SONARI_MSG_TRACK_END) {
        std::lock_guard lock(recorder.lock);
        ++recorder.trackEnds;
        recorder.changed.notify_all();
    }
    return 1;
}
