// A test input plug-in over PCM WAV files: plays them into the output it is given on a thread of
// its own, as fast as the output takes them, then posts the end of the track to its main window.
// Its stop joins the thread and closes the output. Built alone (no extended read: the play path)
// and with extended_read.cpp (the extended-read path).
#include <sonari/host_messages.h>
#include <sonari/in_module.h>
#include <sonari/out_module.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "axserver/convert/tests/plugins/wav_source.h"

namespace {

using convert_test::WavSource;

const char kTypes[] = "wav\0Test WAV files\0";

SonariInModule record;
std::thread player;
std::atomic<bool> stopping{false};
bool outputOpen = false;
int32_t playingLength = -1;

void playThread(std::unique_ptr<WavSource> source) {
    SonariOutModule* out = record.outputModule;
    char block[8192];
    while (!stopping.load()) {
        const int32_t n = source->read(block, sizeof block);
        if (n <= 0) {
            break;
        }
        while (!stopping.load() && out->canWrite() < n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        out->write(block, n);
    }
    if (!stopping.load() && sonariPostMessage != nullptr) {
        sonariPostMessage(record.hostWindow, SONARI_MSG_TRACK_END, 0, 0);
    }
}

void stopPlaying() {
    stopping = true;
    if (player.joinable()) {
        player.join();
    }
    if (outputOpen) {
        outputOpen = false;
        record.outputModule->close();
    }
}

int32_t play(const char* file) {
    stopPlaying();
    std::string error;
    auto source = WavSource::open(file, error);
    if (!source || record.outputModule == nullptr) {
        return -1;
    }
    if (record.outputModule->open(source->rate, source->channels, source->bits, -1, -1) < 0) {
        return -1;
    }
    outputOpen = true;
    playingLength = source->lengthMs();
    stopping = false;
    player = std::thread(playThread, std::move(source));
    return 0;
}

void getFileInfo(const char* file, char* title, int32_t* length) {
    if (title != nullptr) {
        title[0] = '\0';
    }
    if (length != nullptr) {
        std::string error;
        auto source = WavSource::open(file, error);
        *length = source ? source->lengthMs() : -1;
    }
}

int32_t lengthOfPlaying() {
    return playingLength;
}

void noWindow(SonariWindow) {}
void nothing() {}
int32_t zero() {
    return 0;
}
int32_t claimsNothing(const char*) {
    return 0;
}
void ignoreMs(int32_t) {}
void infoBox(const char*, SonariWindow) {}

}  // namespace

extern "C" SONARI_EXPORT SonariInModule* sonariGetInModule2() {
    record.version = SONARI_IN_VERSION_BASE;
    record.description = "Test WAV decoder";
    record.fileTypes = kTypes;
    record.flags = SONARI_IN_USES_OUTPUT;
    record.configure = noWindow;
    record.about = noWindow;
    record.init = nothing;
    record.quit = stopPlaying;
    record.getFileInfo = getFileInfo;
    record.infoBox = infoBox;
    record.claimsFile = claimsNothing;
    record.play = play;
    record.pause = nothing;
    record.unpause = nothing;
    record.isPaused = zero;
    record.stop = stopPlaying;
    record.getLength = lengthOfPlaying;
    record.getOutputTime = zero;
    record.setOutputTime = ignoreMs;
    record.setVolume = ignoreMs;
    record.setPan = ignoreMs;
    return &record;
}
