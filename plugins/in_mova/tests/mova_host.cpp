#include "plugins/in_mova/tests/mova_host.h"

#include <dlfcn.h>
#include <sonari/host_messages.h>
#include <sonari/host_system.h>
#include <sonari/video_output.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace kinvo::in_mova::testing {

namespace {

Recorder theRecorder;

class CountingVideo final : public SonariVideoOutput {
  public:
    int32_t open(int32_t, int32_t, int32_t, double, uint32_t) override {
        const std::lock_guard lock(theRecorder.lock);
        ++theRecorder.opens;
        theRecorder.changed.notify_all();
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
CountingVideo video;

void* openOrThrow(const char* path) {
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        throw std::runtime_error(dlerror());
    }
    return library;
}

}  // namespace

Recorder& recorder() {
    return theRecorder;
}

void Recorder::reset() {
    const std::lock_guard guard(lock);
    statuses.clear();
    events.clear();
    posts.clear();
    procs.clear();
    version = 0x07008000;
    runtimeFolder = FAKE_MOVIE_RUNTIME_DIR;
    offerVideo = true;
    opens = closes = 0;
}

bool Recorder::waitFor(const std::function<bool()>& done) {
    std::unique_lock guard(lock);
    return changed.wait_for(guard, std::chrono::seconds(5), done);
}

bool Recorder::posted(SonariWindow window, uint32_t message, intptr_t lParam) {
    for (const auto& p : posts) {
        if (p.window == window && p.message == message && p.lParam == lParam) {
            return true;
        }
    }
    return false;
}

intptr_t originalProcedure(SonariWindow, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

MovaPlugin::MovaPlugin() : library_(openOrThrow(IN_MOVA_PATH)) {
    record_ = reinterpret_cast<SonariGetInModuleFn>(dlsym(library_, SONARI_GET_IN_MODULE))();
    record_->hostWindow = kHostWindow;
    record_->postStatus = [](int32_t code, int32_t value) {
        const std::lock_guard lock(theRecorder.lock);
        theRecorder.statuses.emplace_back(code, value);
    };
    record_->postEvent = [](int32_t code) {
        const std::lock_guard lock(theRecorder.lock);
        theRecorder.events.push_back(code);
    };
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

FakeRuntime::FakeRuntime() : library_(openOrThrow(FAKE_MOVIE_RUNTIME_PATH)) {
    lock_ = reinterpret_cast<void (*)()>(dlsym(library_, "fakeLock"));
    unlock_ = reinterpret_cast<void (*)()>(dlsym(library_, "fakeUnlock"));
}

FakeRuntime::~FakeRuntime() {
    dlclose(library_);
}

int FakeRuntime::counter(const char* name) const {
    lock_();
    const int value = *static_cast<const int*>(dlsym(library_, name));
    unlock_();
    return value;
}

std::string FakeRuntime::lastAddress() const {
    lock_();
    std::string text = static_cast<const char*>(dlsym(library_, "fakeLastAddress"));
    unlock_();
    return text;
}

}  // namespace kinvo::in_mova::testing

using kinvo::in_mova::testing::recorder;

extern "C" {

intptr_t sonariSendMessage(SonariWindow window, uint32_t message, uintptr_t, intptr_t lParam) {
    const std::lock_guard lock(recorder().lock);
    const bool video = window == kinvo::in_mova::testing::kHostWindow &&
                       message == SONARI_MSG_COMMAND && lParam == SONARI_SERVICE_GET_VIDEO_OUTPUT;
    return video && recorder().offerVideo
               ? reinterpret_cast<intptr_t>(
                     static_cast<SonariVideoOutput*>(&kinvo::in_mova::testing::video))
               : 0;
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
    const std::string& folder = recorder().runtimeFolder;
    if (root == SONARI_HKEY_LOCAL_MACHINE && std::strcmp(name, "Version") == 0 &&
        recorder().version) {
        *type = SONARI_REG_DWORD;
        *size = 4;
        std::memcpy(data, &*recorder().version, 4);
        return SONARI_ERROR_SUCCESS;
    }
    if (root == SONARI_HKEY_LOCAL_MACHINE && std::strcmp(name, "QuickTime.qts folder") == 0 &&
        !folder.empty() && *size > folder.size()) {
        *type = SONARI_REG_SZ;
        *size = static_cast<uint32_t>(folder.size() + 1);
        std::memcpy(data, folder.c_str(), folder.size() + 1);
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

}  // extern "C"
