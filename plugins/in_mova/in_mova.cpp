// in_mova.so: the movie input plug-in. It plays ".mov", ".qt" and ".m4p" files and "http:",
// "ftp:" and "rtsp:" addresses through the movie runtime "QuickTime.qts", which it finds and
// binds at run time (binding/), and which draws the movie straight into the host's video window
// (taken over by subclassing) and plays its sound itself: no output plug-in is used.
//
// Threads: the host calls every entry and export on its main thread; the play thread is the
// MoviePlayer's (movie_player.h), ended by stop and quit, and by the player's destructor when the
// library is unloaded.
// Error policy: no exception leaves an entry or export; play answers -200 on any failure,
// getFileInfo the name's last part and -1000 when the movie cannot be opened, the extended
// information export always 1.
#include <sonari/host_windows.h>
#include <sonari/in_module.h>

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "plugins/in_mova/binding/runtime_binding.h"
#include "plugins/in_mova/movie_player.h"
#include "plugins/in_mova/names.h"

namespace {

using namespace kinvo::in_mova;

constexpr size_t kTitleMax = 255;

// The plug-in's state: the runtime binding and the one player over it.
struct State {
    RuntimeBinding runtime;
    MoviePlayer player{runtime};
};
State state;

extern SonariInModule record;  // defined below: play hands the host fields on

void copyText(const std::string& text, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    const size_t count = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
}

void configure(SonariWindow parent) {
    if (sonariMessageBox != nullptr) {
        sonariMessageBox(parent, "No config yet...", "Configuration");
    }
}

void about(SonariWindow parent) {
    if (sonariMessageBox != nullptr) {
        sonariMessageBox(parent, "Kestrine Quicktime Decoder v0.2: plays movies through QuickTime",
                         "About Kestrine Quicktime Decoder");
    }
}

void init() {}

void quit() {
    state.player.quit();
}

FileInfo fileInfoOf(const char* file) noexcept {
    try {
        return state.player.fileInfo(file != nullptr ? file : "");
    } catch (...) {
        return FileInfo{file != nullptr ? fallbackTitle(file) : std::string(), -1000};
    }
}

void getFileInfo(const char* file, char* titleOut, int32_t* lengthOut) {
    try {
        const FileInfo info = fileInfoOf(file);
        copyText(info.title.substr(0, kTitleMax), titleOut, SONARI_IN_TITLE_SIZE);
        if (lengthOut != nullptr) {
            *lengthOut = info.lengthMs;
        }
    } catch (...) {
        if (lengthOut != nullptr) {
            *lengthOut = -1000;
        }
    }
}

void infoBox(const char*, SonariWindow) {}

int32_t claimsFile(const char*) {
    return 0;
}

int32_t play(const char* file) {
    try {
        if (file == nullptr) {
            return kPlayFailed;
        }
        return state.player.play(file, HostLink::of(record));
    } catch (...) {
        return kPlayFailed;
    }
}

void pause() {
    state.player.pause();
}
void unpause() {
    state.player.unpause();
}
int32_t isPaused() {
    return state.player.paused() ? 1 : 0;
}
void stop() {
    state.player.stop();
}
int32_t getLength() {
    return state.player.lengthMs();
}
int32_t getOutputTime() {
    return state.player.positionMs();
}
void setOutputTime(int32_t ms) {
    state.player.seek(ms);
}
void setVolume(int32_t volume) {
    state.player.setVolume(volume);
}
void setPan(int32_t) {}
void setEqualizer(int32_t, const unsigned char*, int32_t) {}

const char kFileTypes[] = "MOV;QT;M4P\0QuickTime File (*.MOV;*.QT;*.M4P)\0";

SonariInModule record = {
    .version = SONARI_IN_VERSION_EVENTS,
    .description = "Kestrine Quicktime Decoder v0.2",
    .hostWindow = 0,
    .libraryHandle = nullptr,
    .fileTypes = kFileTypes,
    .seekable = 1,
    .flags = 0,
    .configure = configure,
    .about = about,
    .init = init,
    .quit = quit,
    .getFileInfo = getFileInfo,
    .infoBox = infoBox,
    .claimsFile = claimsFile,
    .play = play,
    .pause = pause,
    .unpause = unpause,
    .isPaused = isPaused,
    .stop = stop,
    .getLength = getLength,
    .getOutputTime = getOutputTime,
    .setOutputTime = setOutputTime,
    .setVolume = setVolume,
    .setPan = setPan,
    .visInit = nullptr,
    .visQuit = nullptr,
    .visAddPcm = nullptr,
    .visGetMode = nullptr,
    .visAdd = nullptr,
    .visAddPcm2 = nullptr,
    .visGetMode2 = nullptr,
    .visAdd2 = nullptr,
    .visSetInfo = nullptr,
    .dspIsActive = nullptr,
    .dspProcess = nullptr,
    .setEqualizer = setEqualizer,
    .setStreamInfo = nullptr,
    .outputModule = nullptr,
    .getDetails = nullptr,
    .reportAddress = nullptr,
    .postStatus = nullptr,
    .sendMetadata = nullptr,
    .postEvent = nullptr,
};

bool keyIs(const char* key, const char* name) {
    return key != nullptr && strcasecmp(key, name) == 0;
}

}  // namespace

extern "C" SONARI_EXPORT SonariInModule* sonariGetInModule2(void) {
    return &record;
}

// "length" and "title" from the file information, "type" always "1" (a movie, never audio); other
// keys leave out as it is. Always answers 1.
extern "C" SONARI_EXPORT int32_t sonariGetExtendedFileInfo(const char* file, const char* key,
                                                           char* out, int32_t outSize) {
    const size_t size = outSize > 0 ? static_cast<size_t>(outSize) : 0;
    try {
        if (keyIs(key, "length")) {
            char text[16];
            std::snprintf(text, sizeof(text), "%d", static_cast<int>(fileInfoOf(file).lengthMs));
            copyText(text, out, size);
        }
        if (keyIs(key, "title")) {
            copyText(fileInfoOf(file).title.substr(0, kTitleMax), out, size);
        }
        if (keyIs(key, "type")) {
            copyText("1", out, size);
        }
    } catch (...) {
    }
    return 1;
}
