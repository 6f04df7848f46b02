/* An input plug-in written in C from include/sonari/ and its README alone: it takes ".xyz" files
 * and "minimal://" addresses, "plays" by starting a thread that reaches the client through every
 * host entry and then ends the track, and reports a title and a length. */
#include <sonari/host_messages.h>
#include <sonari/in_module.h>

#include <pthread.h>
#include <stdio.h>
#include <string.h>

static const char kTypes[] = "xyz\0Minimal example files (*.xyz)\0";

static SonariInModule record;
static pthread_t worker;
static int workerRunning;
static char playing[1024];

static void* playThread(void* unused) {
    (void)unused;
    record.setStreamInfo(44, 128000, 2, 9);
    record.reportAddress(playing);
    record.postStatus(208, 0);
    record.postStatus(223, 55);
    record.postStatus(214, 0);
    record.sendMetadata("minimal metadata", 42);
    record.postEvent(7777);
    if (sonariPostMessage != NULL) {
        sonariPostMessage(record.hostWindow, SONARI_MSG_TRACK_END, 0, 0);
    }
    return NULL;
}

static void joinWorker(void) {
    if (workerRunning) {
        pthread_join(worker, NULL);
        workerRunning = 0;
    }
}

static void noWindow(SonariWindow parent) {
    (void)parent;
}
static void init(void) {}
static void quit(void) {
    joinWorker();
}

static void getFileInfo(const char* file, char* title, int32_t* length) {
    if (title != NULL) {
        snprintf(title, SONARI_IN_TITLE_SIZE, "Minimal: %s", file[0] != '\0' ? file : playing);
    }
    if (length != NULL) {
        *length = 61500;
    }
}

static void infoBox(const char* file, SonariWindow parent) {
    (void)file;
    (void)parent;
}

static int32_t claimsFile(const char* file) {
    return strncmp(file, "minimal://", 10) == 0;
}

static int32_t play(const char* file) {
    joinWorker();
    snprintf(playing, sizeof playing, "%s", file);
    workerRunning = pthread_create(&worker, NULL, playThread, NULL) == 0;
    return workerRunning ? 0 : -1;
}

static void pausePlay(void) {}
static void unpause(void) {}
static int32_t isPaused(void) {
    return 0;
}
static void stop(void) {
    joinWorker();
}
static int32_t getLength(void) {
    return 61500;
}
static int32_t getOutputTime(void) {
    return 0;
}
static void setOutputTime(int32_t ms) {
    (void)ms;
}
static void setVolume(int32_t volume) {
    (void)volume;
}
static void setPan(int32_t pan) {
    (void)pan;
}

/* The optional set export: the item "play" starts a play of the file, so a host without a
 * playlist can still have the plug-in report through its callbacks. */
SONARI_EXPORT int32_t sonariSetExtendedFileInfo(const char* file, const char* key,
                                                const char* value) {
    (void)value;
    return strcmp(key, "play") == 0 && play(file) == 0;
}

SONARI_EXPORT SonariInModule* sonariGetInModule2(void) {
    record.version = SONARI_IN_VERSION_LATEST;
    record.description = "Minimal example plug-in 1.0";
    record.fileTypes = kTypes;
    record.configure = noWindow;
    record.about = noWindow;
    record.init = init;
    record.quit = quit;
    record.getFileInfo = getFileInfo;
    record.infoBox = infoBox;
    record.claimsFile = claimsFile;
    record.play = play;
    record.pause = pausePlay;
    record.unpause = unpause;
    record.isPaused = isPaused;
    record.stop = stop;
    record.getLength = getLength;
    record.getOutputTime = getOutputTime;
    record.setOutputTime = setOutputTime;
    record.setVolume = setVolume;
    record.setPan = setPan;
    return &record;
}
