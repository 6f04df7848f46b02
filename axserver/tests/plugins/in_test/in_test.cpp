// A configurable input plug-in for the host's tests. Everything it declares and answers comes
// from its configuration file (plugin_config.h):
//   version=0x102          record version (default 0x102)
//   description=TEXT       (default "Test input <file name>")
//   types=EXTS|DESC|...    file type pairs (default none)
//   flags=N                flags as the record starts; initflags=N  flags set again in init
//   zerowindow=1           init sets hostWindow back to 0
//   record=null            the export answers no record
//   claim=NAME             claimsFile answers 1 for NAME ("*" for every name); repeatable
//   play=CODE              play's answer (default 0); playcode=NAME|CODE for one name
//   title=TEXT length=MS   getFileInfo's answer (default title "title of NAME", length -1)
//   info=NAME|TITLE|MS     getFileInfo's answer for one name; repeatable
//   details=ok|fail|none   getDetails fills and answers 1 | fills numbers and answers 0 | absent
//   equalizer=0            no setEqualizer entry
//   unterminated=1         fills every text buffer it is given completely, without a zero
//   nullentries=A,B        leaves these entries null (play, stop, claimsFile, getFileInfo, ...)
//   ext=KEY|VALUE          sonariGetExtendedFileInfo's answers; setext=0 / writeext=0 refuse
//   do=ACTION              run in order on the plug-in's own thread after each play (and, in
//                          in_test_ext, when the extended item "run" is set for a file):
//     status CODE VALUE | event CODE | metadata NUMBER TEXT | longmetadata NUMBER LENGTH |
//     address TEXT | streaminfo A B C D | vis | output | trackend | sleep MS
// Every call is logged; each action logs "done ACTION" when it has returned. The variant
// in_test_ext also exports the extended-information entries and setUseCustomDRM
// (extended_info.cpp).
#include <sonari/host_messages.h>
#include <sonari/in_module.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "axserver/tests/plugins/in_test/in_test_state.h"

using testplugin::Config;
using testplugin::copyText;
using testplugin::log;
using testplugin::parseNumber;
using testplugin::split;

namespace testplugin {

Config config;
Log logFile;

void log(const std::string& text) {
    logFile.line(text);
}

void copyText(char* out, size_t size, const std::string& text) {
    if (out == nullptr || size == 0) {
        return;
    }
    if (config.has("unterminated")) {  // a careless plug-in: the whole buffer, no zero
        std::memset(out, 'u', size);
        return;
    }
    size_t n = std::min(size - 1, text.size());
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

}  // namespace testplugin

using testplugin::config;
using testplugin::logFile;

namespace {

SonariInModule record{};
std::string description;
std::string fileTypes;  // the pairs with their zeros
std::thread worker;     // runs the actions of the current play
std::atomic<int32_t> position{0};
std::string playing;

void runAction(const std::string& action) {
    auto words = split(action, ' ');
    const std::string& verb = words[0];
    auto arg = [&](size_t i) { return i < words.size() ? parseNumber(words[i], 0) : 0; };
    auto rest = [&](size_t from) {
        std::string text;
        for (size_t i = from; i < words.size(); ++i) {
            text += (i > from ? " " : "") + words[i];
        }
        return text;
    };
    if (verb == "status" && record.postStatus != nullptr) {
        record.postStatus(arg(1), arg(2));
    } else if (verb == "event" && record.postEvent != nullptr) {
        record.postEvent(arg(1));
    } else if (verb == "metadata" && record.sendMetadata != nullptr) {
        record.sendMetadata(rest(2).c_str(), arg(1));
    } else if (verb == "longmetadata" && record.sendMetadata != nullptr) {
        std::string text(static_cast<size_t>(arg(2)), 'm');
        record.sendMetadata(text.c_str(), arg(1));
    } else if (verb == "address" && record.reportAddress != nullptr) {
        record.reportAddress(rest(1).c_str());
    } else if (verb == "streaminfo" && record.setStreamInfo != nullptr) {
        record.setStreamInfo(arg(1), arg(2), arg(3), arg(4));
    } else if (verb == "vis") {
        record.visInit(100, 44100);
        unsigned char values[SONARI_VIS_VALUES] = {};
        int16_t pcm[2 * 576] = {};
        int32_t added = record.visAdd(values, 10, 1);
        record.visAddPcm(pcm, 2, 16, 20);
        record.visAddPcm2(pcm, 2, 16, 30);
        record.visSetInfo(44100, 2);
        int32_t count = record.dspProcess(pcm, 576, 16, 2, 44100);
        log("vis add=" + std::to_string(added) + " mode=" + std::to_string(record.visGetMode()) +
            " mode2=" + std::to_string(record.visGetMode2()) +
            " add2=" + std::to_string(record.visAdd2(values, 1, 1)) +
            " dsp=" + std::to_string(record.dspIsActive()) + " count=" + std::to_string(count));
        record.visQuit();
        log("vis after quit add=" + std::to_string(record.visAdd(values, 11, 1)));
    } else if (verb == "output") {
        SonariOutModule* out = record.outputModule;
        if (out != nullptr) {
            int32_t opened = out->open(44100, 2, 16, -1, -1);
            char pcm[64] = {};
            int32_t written = out->write(pcm, sizeof pcm);
            out->close();
            log("output opened=" + std::to_string(opened) + " written=" + std::to_string(written));
        } else {
            log("output none");
        }
    } else if (verb == "trackend") {
        if (sonariPostMessage != nullptr) {
            sonariPostMessage(record.hostWindow, SONARI_MSG_TRACK_END, 0, 0);
        }
    } else if (verb == "sleep") {
        std::this_thread::sleep_for(std::chrono::milliseconds(arg(1)));
    }
    log("done " + verb + " " + std::to_string(testplugin::monotonicNs()));
}

void joinWorker() {
    if (worker.joinable()) {
        worker.join();
    }
}

}  // namespace

void testplugin::startScript(const std::string& file) {
    joinWorker();
    playing = file;
    worker = std::thread([] {
        for (const auto& action : config.all("do")) {
            runAction(action);
        }
    });
}

namespace {

// The entries.

void init() {
    log("init flags=" + std::to_string(record.flags) +
        " window=" + std::to_string(record.hostWindow) +
        " library=" + (record.libraryHandle != nullptr ? "set" : "null") +
        " streaminfo=" + (record.setStreamInfo != nullptr ? "set" : "null"));
    if (config.has("initflags")) {
        record.flags = config.number("initflags", 0);
    }
    if (config.has("zerowindow")) {
        record.hostWindow = 0;
    }
}

void quit() {
    joinWorker();
    log("quit");
}

void getFileInfo(const char* file, char* title, int32_t* length) {
    std::string name = file != nullptr ? file : "";
    log("getFileInfo " + name);
    if (name.empty()) {
        name = playing;
    }
    std::string answerTitle = config.text("title", "title of " + name);
    int32_t answerLength = config.number("length", -1);
    for (const auto& item : config.all("info")) {
        auto parts = split(item, '|');
        if (parts.size() == 3 && parts[0] == name) {
            answerTitle = parts[1];
            answerLength = parseNumber(parts[2], -1);
        }
    }
    copyText(title, SONARI_IN_TITLE_SIZE, answerTitle);
    if (length != nullptr) {
        *length = answerLength;
    }
}

int32_t claimsFile(const char* file) {
    log("claims " + std::string(file));
    for (const auto& claim : config.all("claim")) {
        if (claim == "*" || claim == file) {
            return 1;
        }
    }
    return 0;
}

int32_t play(const char* file) {
    joinWorker();
    log("play " + std::string(file) + " flags=" + std::to_string(record.flags) + " output=" +
        (record.outputModule != nullptr && record.outputModule->fileName != nullptr
             ? record.outputModule->fileName
             : "none"));
    int32_t code = config.number("play", 0);
    for (const auto& item : config.all("playcode")) {
        auto parts = split(item, '|');
        if (parts.size() == 2 && parts[0] == file) {
            code = parseNumber(parts[1], code);
        }
    }
    if (code == 0) {
        testplugin::startScript(file);
    }
    return code;
}

void pause() {
    log("pause");
}
void unpause() {
    log("unpause");
}
int32_t isPaused() {
    return 0;
}
void stop() {
    joinWorker();
    log("stop");
}
int32_t getLength() {
    return config.number("length", -1);
}
int32_t getOutputTime() {
    return position.load();
}
void setOutputTime(int32_t ms) {
    log("setOutputTime " + std::to_string(ms));
    position = ms;
}
void setVolume(int32_t volume) {
    log("setVolume " + std::to_string(volume));
}
void setPan(int32_t pan) {
    log("setPan " + std::to_string(pan));
}

void setEqualizer(int32_t on, const unsigned char* bands, int32_t preamp) {
    std::string text = "setEqualizer " + std::to_string(on);
    for (int i = 0; i < SONARI_EQ_BANDS; ++i) {
        text += " " + std::to_string(bands[i]);
    }
    log(text + " " + std::to_string(preamp));
}

int32_t getDetails(const char* file, char* t1, char* t2, char* t3, char* t4, char* t5, char* t6,
                   int32_t* n1, int32_t* n2, int32_t* n3, int32_t* n4) {
    log("getDetails " + std::string(file));
    char* texts[] = {t1, t2, t3, t4, t5, t6};
    for (int i = 0; i < 6; ++i) {
        copyText(texts[i], SONARI_IN_DETAILS_TEXT_SIZE,
                 std::string(file) + ":" + std::to_string(i + 1));
    }
    *n1 = 11;
    *n2 = 70000;
    *n3 = 33;
    *n4 = 44;
    return config.text("details") == "fail" ? 0 : 1;
}

void noWindow(SonariWindow) {}
void noInfoBox(const char*, SonariWindow) {}

}  // namespace

extern "C" {

SONARI_EXPORT SonariInModule* sonariGetInModule2(void) {
    config = Config::forLibraryOf(reinterpret_cast<const void*>(&sonariGetInModule2));
    logFile.open(config);
    log("get");
    if (config.text("record") == "null") {
        return nullptr;
    }
    description = config.text("description", "Test input " + config.fileName());
    fileTypes.clear();
    if (config.has("types")) {
        for (const auto& part : split(config.text("types"), '|')) {
            fileTypes += part;
            fileTypes += '\0';
        }
    }
    fileTypes += '\0';
    record = SonariInModule{};
    record.version = config.number("version", SONARI_IN_VERSION_LATEST);
    record.description = description.c_str();
    record.fileTypes = fileTypes.data();
    record.seekable = 1;
    record.flags = config.number("flags", 0);
    record.configure = noWindow;
    record.about = noWindow;
    record.init = init;
    record.quit = quit;
    record.getFileInfo = getFileInfo;
    record.infoBox = noInfoBox;
    record.claimsFile = claimsFile;
    record.play = play;
    record.pause = pause;
    record.unpause = unpause;
    record.isPaused = isPaused;
    record.stop = stop;
    record.getLength = getLength;
    record.getOutputTime = getOutputTime;
    record.setOutputTime = setOutputTime;
    record.setVolume = setVolume;
    record.setPan = setPan;
    record.setEqualizer = config.text("equalizer") == "0" ? nullptr : setEqualizer;
    record.getDetails = config.text("details") == "none" ? nullptr : getDetails;
    for (const auto& name : split(config.text("nullentries"), ',')) {
        if (name == "init")
            record.init = nullptr;
        if (name == "quit")
            record.quit = nullptr;
        if (name == "getFileInfo")
            record.getFileInfo = nullptr;
        if (name == "claimsFile")
            record.claimsFile = nullptr;
        if (name == "play")
            record.play = nullptr;
        if (name == "pause")
            record.pause = nullptr;
        if (name == "unpause")
            record.unpause = nullptr;
        if (name == "stop")
            record.stop = nullptr;
        if (name == "getLength")
            record.getLength = nullptr;
        if (name == "getOutputTime")
            record.getOutputTime = nullptr;
        if (name == "setOutputTime")
            record.setOutputTime = nullptr;
        if (name == "setVolume")
            record.setVolume = nullptr;
        if (name == "setPan")
            record.setPan = nullptr;
    }
    return &record;
}

}  // extern "C"
