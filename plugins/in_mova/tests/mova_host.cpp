#include "plugins/in_mova/tests/mova_host.h"

#include <dlfcn.h>
#include <sonari/host_messages.h>
#include <sonari/host_system.h>

#include <cstring>
#include <stdexcept>

namespace kinvo::in_mova::testing {

namespace {

Recorder theRecorder;

void recordStatus(int32_t code, int32_t value) {
    const std::lock_guard lock(theRecorder.lock);
    theRecorder.statuses.emplace_back(code, value);
    theRecorder.changed.notify_all();
}

void recordEvent(int32_t code) {
    const std::lock_guard lock(theRecorder.lock);
    theRecorder.events.push_back(code);
    theRecorder.changed.notify_all();
}

class RecordingVideo final : public SonariVideoOutput {
  public:
    int32_t open(int32_t width, int32_t height, int32_t, double, uint32_t type) override {
        const std::lock_guard lock(theRecorder.lock);
        ++theRecorder.opens;
        theRecorder.openWidth = width;
        theRecorder.openHeight = height;
        theRecorder.openType = type;
        return 0;
    }
    void setMessageHandler(intptr_t (*)(void*, SonariWindow, uint32_t, uintptr_t, intptr_t),
                           void*) override {}
    void close() override {
        const std::lock_guard lock(theRecorder.lock);
        ++theRecorder.closes;
    }
    void draw(const void*) override {}
    void setSubtitle(const void*) override {}
    void setStatusText(const char*) override {}
    int32_t reserved() override { return 0; }
    void reportBuffer(int32_t) override {}
    int32_t extended(int32_t command, intptr_t, intptr_t) override {
        return command == SONARI_VIDEO_EXT_WINDOW ? static_cast<int32_t>(kVideoWindow) : 0;
    }
};
RecordingVideo video;

}  // namespace

Recorder& recorder() {
    return theRecorder;
}

void Recorder::reset() {
    const std::lock_guard guard(lock);
    statuses.clear();
    events.clear();
    posts.clear();
    offerVideo = true;
    opens = closes = placements = 0;
    procs.clear();
    fills.clear();
    timers.clear();
    client = {0, 0, 640, 360};
}

bool Recorder::waitFor(const std::function<bool()>& done) {
    std::unique_lock guard(lock);
    return changed.wait_for(guard, std::chrono::seconds(5), done);
}

bool Recorder::posted(uint32_t message) {
    for (const auto& p : posts) {
        if (p.message == message) {
            return true;
        }
    }
    return false;
}

intptr_t originalProcedure(SonariWindow, uint32_t, uintptr_t, intptr_t) {
    return 0x0123;
}

intptr_t deliver(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    SonariWindowProc proc = nullptr;
    {
        const std::lock_guard lock(theRecorder.lock);
        const auto found = theRecorder.procs.find(kVideoWindow);
        proc = found != theRecorder.procs.end() ? found->second : originalProcedure;
    }
    return proc(kVideoWindow, message, wParam, lParam);
}

void deliverPosted() {
    std::vector<Posted> posts;
    {
        const std::lock_guard lock(theRecorder.lock);
        posts = theRecorder.posts;
    }
    for (const auto& p : posts) {
        if (p.window == kVideoWindow) {
            deliver(p.message, 0, p.lParam);
        }
    }
}

MovaPlugin::MovaPlugin() {
    library_ = dlopen(IN_MOVA_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        throw std::runtime_error(dlerror());
    }
    const auto get = reinterpret_cast<SonariGetInModuleFn>(dlsym(library_, SONARI_GET_IN_MODULE));
    record_ = get();
    record_->hostWindow = kHostWindow;
    record_->postStatus = recordStatus;
    record_->postEvent = recordEvent;
    record_->init();
}

MovaPlugin::~MovaPlugin() {
    record_->quit();
    dlclose(library_);
}

SonariGetExtendedFileInfoFn MovaPlugin::extendedInfo() const {
    return reinterpret_cast<SonariGetExtendedFileInfoFn>(
        dlsym(library_, SONARI_GET_EXTENDED_FILE_INFO));
}

std::pair<std::string, int32_t> MovaPlugin::fileInfo(const char* name) const {
    char title[SONARI_IN_TITLE_SIZE] = "unchanged";
    int32_t length = 12345;
    record_->getFileInfo(name, title, &length);
    return {title, length};
}

FakeRuntime::FakeRuntime() {
    library_ = dlopen(FAKE_MOVIE_RUNTIME_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        throw std::runtime_error(dlerror());
    }
    lock_ = reinterpret_cast<void (*)()>(dlsym(library_, "fakeLock"));
    unlock_ = reinterpret_cast<void (*)()>(dlsym(library_, "fakeUnlock"));
}

FakeRuntime::~FakeRuntime() {
    dlclose(library_);
}

void* FakeRuntime::symbol(const char* name) const {
    return dlsym(library_, name);
}

int FakeRuntime::counter(const char* name) const {
    return read<int>(name);
}

std::string FakeRuntime::lastAddress() const {
    lock_();
    std::string text = static_cast<const char*>(symbol("fakeLastAddress"));
    unlock_();
    return text;
}

void useFakeRuntime(uint32_t version) {
    const std::lock_guard lock(theRecorder.lock);
    theRecorder.version = version;
    theRecorder.runtimeFolder = FAKE_MOVIE_RUNTIME_DIR;
}

}  // namespace kinvo::in_mova::testing

using kinvo::in_mova::testing::recorder;

extern "C" {

intptr_t sonariSendMessage(SonariWindow window, uint32_t message, uintptr_t, intptr_t lParam) {
    const std::lock_guard lock(recorder().lock);
    if (window == kinvo::in_mova::testing::kHostWindow && message == SONARI_MSG_COMMAND &&
        lParam == SONARI_SERVICE_GET_VIDEO_OUTPUT && recorder().offerVideo) {
        return reinterpret_cast<intptr_t>(
            static_cast<SonariVideoOutput*>(&kinvo::in_mova::testing::video));
    }
    return 0;
}

int32_t sonariPostMessage(SonariWindow window, uint32_t message, uintptr_t, intptr_t lParam) {
    const std::lock_guard lock(recorder().lock);
    recorder().posts.push_back({window, message, lParam});
    recorder().changed.notify_all();
    return 1;
}

int32_t sonariRegQueryValue(int32_t root, const char*, const char* name, uint32_t* type, void* data,
                            uint32_t* size) {
    const std::lock_guard lock(recorder().lock);
    if (root != SONARI_HKEY_LOCAL_MACHINE) {
        return SONARI_ERROR_FILE_NOT_FOUND;
    }
    if (std::strcmp(name, "Version") == 0 && recorder().version) {
        *type = SONARI_REG_DWORD;
        std::memcpy(data, &*recorder().version, 4);
        *size = 4;
        return SONARI_ERROR_SUCCESS;
    }
    const std::string& folder = recorder().runtimeFolder;
    if (std::strcmp(name, "QuickTime.qts folder") == 0 && !folder.empty() &&
        *size > folder.size()) {
        *type = SONARI_REG_SZ;
        std::memcpy(data, folder.c_str(), folder.size() + 1);
        *size = static_cast<uint32_t>(folder.size() + 1);
        return SONARI_ERROR_SUCCESS;
    }
    return SONARI_ERROR_FILE_NOT_FOUND;
}

SonariWindowProc sonariSetWindowProc(SonariWindow window, SonariWindowProc proc) {
    const std::lock_guard lock(recorder().lock);
    auto& slot = recorder().procs[window];
    const SonariWindowProc previous =
        slot != nullptr ? slot : kinvo::in_mova::testing::originalProcedure;
    slot = proc;
    return previous;
}

intptr_t sonariCallWindowProc(SonariWindowProc proc, SonariWindow window, uint32_t message,
                              uintptr_t wParam, intptr_t lParam) {
    return proc(window, message, wParam, lParam);
}

int32_t sonariGetClientRect(SonariWindow, SonariRect* out) {
    const std::lock_guard lock(recorder().lock);
    *out = recorder().client;
    return 1;
}

int32_t sonariGetWindowRect(SonariWindow, SonariRect* out) {
    const std::lock_guard lock(recorder().lock);
    *out = recorder().client;
    return 1;
}

int32_t sonariSetWindowPos(SonariWindow, SonariWindow, int32_t, int32_t, int32_t, int32_t,
                           uint32_t) {
    const std::lock_guard lock(recorder().lock);
    ++recorder().placements;
    return 1;
}

int32_t sonariFillRect(SonariDc*, const SonariRect* rect, uint32_t colour) {
    const std::lock_guard lock(recorder().lock);
    if (colour == 0) {
        recorder().fills.push_back(*rect);
    }
    return 1;
}

int32_t sonariSetTimer(SonariWindow, uintptr_t id, uint32_t) {
    const std::lock_guard lock(recorder().lock);
    recorder().timers.push_back(id);
    return 1;
}

int32_t sonariKillTimer(SonariWindow, uintptr_t id) {
    const std::lock_guard lock(recorder().lock);
    std::erase(recorder().timers, id);
    return 1;
}

}  // extern "C"
