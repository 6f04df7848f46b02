// in_av.so: the FFmpeg input plug-in. It decodes the first audio stream of any file or stream
// FFmpeg opens and plays it through the output plug-in the host gives it (flags bit 0), as 16-bit
// PCM at the stream's rate, one or two channels; the pictures of its first video stream (not a
// cover picture) go to the host's video output in time with the sound, and a file with pictures
// and no sound plays by a clock of its own (player.h).
//
// Threads: the host calls every entry and export on its main thread (but the extended-read ones,
// below); the decode thread is the Player's. quit stops it, and so does the Player's destructor
// when the library is unloaded, so no thread of the plug-in outlives the library.
// Error policy: no exception leaves an entry or export; each answers its failure value (play
// -1, getFileInfo the file name and -1, exports 0). FFmpeg's log is quiet unless KINVO_AV_LOG is
// set (lib/ffmpeg/log_level.h).
//
// Extended read: the four sonariGetExtendedRead_* exports (extended_read.cpp) decode files
// without playing them, for conversions, on readers of their own: open and lasterror on the
// host's main thread, getData and close on the conversion's worker; they share nothing with the
// Player, nor with each other.
//
// Network buffering: sonariSetExtendedFileInfo(any file, "setHttpConfigValues",
// "<total>,<prebuffer>,<rebuffer>") in milliseconds (buffering.h); it applies from the next play.
#include <sonari/in_module.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

#include "plugins/in_av/addresses.h"
#include "plugins/in_av/buffering.h"
#include "plugins/in_av/extended_info.h"
#include "plugins/in_av/file_types.h"
#include "plugins/in_av/host_link.h"
#include "plugins/in_av/log_once.h"
#include "plugins/in_av/media_info.h"
#include "plugins/in_av/player.h"

namespace {

using namespace kinvo::in_av;

// The plug-in's state: only the host's main thread touches it (the Player shares its own
// members with its decode thread).
struct State {
    Player player;
    std::set<std::string> protocols;  // FFmpeg's input protocols, read at init
    Buffering buffering;              // for the next play
    bool lastSetAccepted = false;
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

void init() {
    try {
        applyLogLevelOnce();
        avformat_network_init();
        state.protocols = inputProtocols();
    } catch (...) {
    }
}

void quit() {
    state.player.stop();
    avformat_network_deinit();
}

void getFileInfo(const char* file, char* titleOut, int32_t* lengthOut) {
    std::string title;
    int32_t length = -1;
    try {
        std::string name = file != nullptr ? file : "";
        const bool current = name.empty();
        if (current) {
            name = state.player.name();
            length = state.player.lengthMs();
        }
        if (isNetworkAddress(name)) {
            title = current ? state.player.streamTitle() : std::string();
            if (title.empty()) {
                title = name;
            }
        } else if (const auto info = current && state.player.playingInfo()
                                         ? state.player.playingInfo()
                                         : readMediaInfo(name)) {
            title = displayTitle(*info, name);
            length = static_cast<int32_t>(info->lengthMs);
        } else {
            title = fileStem(name);
        }
    } catch (...) {
    }
    copyText(title, titleOut, SONARI_IN_TITLE_SIZE);
    if (lengthOut != nullptr) {
        *lengthOut = length;
    }
}

int32_t claimsFile(const char* file) {
    try {
        return file != nullptr && claimsAddress(file, state.protocols) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int32_t play(const char* file) {
    try {
        if (file == nullptr) {
            return -1;
        }
        return state.player.play(file, HostLink::of(record), state.buffering, state.protocols);
    } catch (...) {
        return -1;
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
void setPan(int32_t pan) {
    state.player.setPan(pan);
}

SonariInModule record = {
    .version = SONARI_IN_VERSION_EVENTS,
    .description = "Kinvo FFmpeg decoder 1.0",
    .hostWindow = 0,
    .libraryHandle = nullptr,
    .fileTypes = kFileTypes,
    .seekable = 1,
    .flags = SONARI_IN_USES_OUTPUT,
    .configure = nullptr,
    .about = nullptr,
    .init = init,
    .quit = quit,
    .getFileInfo = getFileInfo,
    .infoBox = nullptr,
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
    .setEqualizer = nullptr,
    .setStreamInfo = nullptr,
    .outputModule = nullptr,
    .getDetails = nullptr,
    .reportAddress = nullptr,
    .postStatus = nullptr,
    .sendMetadata = nullptr,
    .postEvent = nullptr,
};

}  // namespace

extern "C" SONARI_EXPORT SonariInModule* sonariGetInModule2(void) {
    return &record;
}

extern "C" SONARI_EXPORT int32_t sonariGetExtendedFileInfo(const char* file, const char* key,
                                                           char* out, int32_t outSize) {
    try {
        if (file == nullptr || key == nullptr || out == nullptr || outSize <= 0) {
            return 0;
        }
        const std::optional<std::string> value = extendedInfo(file, key);
        if (!value) {
            return 0;
        }
        copyText(*value, out, static_cast<size_t>(outSize));
        return 1;
    } catch (...) {
        return 0;
    }
}

extern "C" SONARI_EXPORT int32_t sonariSetExtendedFileInfo(const char* file, const char* key,
                                                           const char* value) {
    try {
        (void)file;
        state.lastSetAccepted = false;
        if (key == nullptr || value == nullptr || std::string_view(key) != "setHttpConfigValues") {
            return 0;
        }
        const auto buffering = parseBuffering(value);
        if (!buffering) {
            return 0;
        }
        state.buffering = *buffering;
        state.lastSetAccepted = true;
        return 1;
    } catch (...) {
        return 0;
    }
}

extern "C" SONARI_EXPORT int32_t sonariWriteExtendedFileInfo(void) {
    return state.lastSetAccepted ? 1 : 0;
}
