// A configurable output plug-in for the host's tests, built as out_qsnd.so, out_qmix.so and
// out_qpcm.so. Its configuration file (plugin_config.h) may say:
//   version=0x11   record version (default 0x10)
//   record=null    the export answers no record
//   open=-1        open's answer (default 0)
// Every host call is logged with its arguments and the hostWindow field at that moment.
#include <sonari/out_module.h>

#include <string>

#include "axserver/tests/plugins/plugin_config.h"

namespace {

SonariOutModule record{};
testplugin::Config config;
testplugin::Log logFile;
std::string description;
char identifier[] = "test output identifier";

void log(const std::string& text) {
    logFile.line(text);
}

void noWindow(SonariWindow) {}
void init() {
    log("init fileName=" + std::string(record.fileName));
}
void quit() {
    log("quit");
}
int32_t open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs, int32_t prebufferMs) {
    log("open " + std::to_string(rate) + " " + std::to_string(channels) + " " +
        std::to_string(bits) + " " + std::to_string(bufferMs) + " " + std::to_string(prebufferMs) +
        " window=" + std::to_string(record.hostWindow));
    return config.number("open", 0);
}
void close() {
    log("close");
}
int32_t write(const char*, int32_t count) {
    log("write " + std::to_string(count));
    return 0;
}
int32_t canWrite() {
    return 65536;
}
int32_t isPlaying() {
    return 0;
}
int32_t pause(int32_t) {
    return 0;
}
void setVolume(int32_t) {}
void setPan(int32_t) {}
void flush(int32_t) {}
int32_t getOutputTime() {
    return 0;
}
int32_t getWrittenTime() {
    return 0;
}

}  // namespace

extern "C" SONARI_EXPORT SonariOutModule* sonariGetOutModule(void) {
    config = testplugin::Config::forLibraryOf(reinterpret_cast<const void*>(&sonariGetOutModule));
    logFile.open(config);
    log("get");
    if (config.text("record") == "null") {
        return nullptr;
    }
    description = "Test output " + config.fileName();
    record = SonariOutModule{};
    record.version = config.number("version", SONARI_OUT_VERSION);
    record.description = description.c_str();
    record.fileName = identifier;
    record.configure = noWindow;
    record.about = noWindow;
    record.init = init;
    record.quit = quit;
    record.open = open;
    record.close = close;
    record.write = write;
    record.canWrite = canWrite;
    record.isPlaying = isPlaying;
    record.pause = pause;
    record.setVolume = setVolume;
    record.setPan = setPan;
    record.flush = flush;
    record.getOutputTime = getOutputTime;
    record.getWrittenTime = getWrittenTime;
    return &record;
}
