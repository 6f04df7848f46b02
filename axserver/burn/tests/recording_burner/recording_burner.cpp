// A burning back end for tests: the eight entry points of primo/primo_sdk.h, each appending a
// line to the file $RECORDING_BURNER_LOG and answering by the script $RECORDING_BURNER_SCRIPT
// (read again at every Init): blank-separated "Name=answer,answer,..." items, one answer per
// call and the last repeated. RunningStatus answers are "code:done:total"; UnitSpeeds' answer is
// the flags it reports (its result is 0). Names without an item answer 0.
//   Init=3   AddAudioTrack=0,1   RunningStatus=10:0:20000,10:8000:20000,0:20000:20000
#include <primo/primo_sdk.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::mutex mutex;
std::map<std::string, std::vector<std::string>> script;  // guarded by mutex
std::map<std::string, size_t> calls;                     // guarded by mutex

void readScript() {
    script.clear();
    calls.clear();
    const char* text = std::getenv("RECORDING_BURNER_SCRIPT");
    std::istringstream items(text != nullptr ? text : "");
    std::string item;
    while (items >> item) {
        const size_t equals = item.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::vector<std::string>& answers = script[item.substr(0, equals)];
        std::istringstream list(item.substr(equals + 1));
        std::string answer;
        while (std::getline(list, answer, ',')) {
            answers.push_back(answer);
        }
    }
}

std::string next(const std::string& name) {
    auto it = script.find(name);
    if (it == script.end() || it->second.empty()) {
        return "0";
    }
    const size_t n = calls[name]++;
    return it->second[std::min(n, it->second.size() - 1)];
}

void record(const std::string& line) {
    if (const char* path = std::getenv("RECORDING_BURNER_LOG")) {
        if (std::FILE* log = std::fopen(path, "a")) {
            std::fprintf(log, "%s\n", line.c_str());
            std::fclose(log);
        }
    }
}

uint32_t answer(const std::string& name, const std::string& line) {
    record(line);
    return static_cast<uint32_t>(std::stoul(next(name), nullptr, 0));
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

}  // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT uint32_t PrimoSDK_Init(uint32_t* release) {
    std::lock_guard guard(mutex);
    readScript();
    *release = 1;
    return answer("Init", "Init");
}

EXPORT uint32_t PrimoSDK_GetHandle(uint32_t* handle) {
    std::lock_guard guard(mutex);
    *handle = 7;
    return answer("GetHandle", "GetHandle");
}

EXPORT uint32_t PrimoSDK_NewAudio(uint32_t handle, const uint32_t* units) {
    std::lock_guard guard(mutex);
    return answer("NewAudio", "NewAudio " + std::to_string(handle) + " " +
                                  std::string(1, static_cast<char>(units[0])) + " " +
                                  hex(units[1]));
}

EXPORT uint32_t PrimoSDK_AddAudioTrack(uint32_t handle, const char* file, uint32_t pauseSectors,
                                       uint32_t* sectors) {
    std::lock_guard guard(mutex);
    *sectors = 0;
    const std::string name(file);
    return answer("AddAudioTrack", "AddAudioTrack " + std::to_string(handle) + " " +
                                       name.substr(name.find_last_of('/') + 1) + " " +
                                       std::to_string(pauseSectors));
}

EXPORT uint32_t PrimoSDK_CloseAudio(uint32_t handle) {
    std::lock_guard guard(mutex);
    return answer("CloseAudio", "CloseAudio " + std::to_string(handle));
}

EXPORT uint32_t PrimoSDK_WriteAudio(uint32_t handle, uint32_t flags, uint32_t speed) {
    std::lock_guard guard(mutex);
    return answer("WriteAudio",
                  "WriteAudio " + std::to_string(handle) + " " + hex(flags) + " " + hex(speed));
}

EXPORT uint32_t PrimoSDK_RunningStatus(uint32_t handle, uint32_t action, uint32_t* done,
                                       uint32_t* total) {
    std::lock_guard guard(mutex);
    record("RunningStatus " + std::to_string(handle) + " " + hex(action));
    std::string item = next("RunningStatus");
    unsigned code = 0, d = 0, t = 0;
    std::sscanf(item.c_str(), "%u:%u:%u", &code, &d, &t);
    *done = d;
    *total = t;
    return code;
}

EXPORT uint32_t PrimoSDK_UnitSpeeds(uint32_t handle, const uint32_t* unit, uint8_t* speeds,
                                    uint8_t* writeSpeeds, uint32_t* flags) {
    std::lock_guard guard(mutex);
    speeds[0] = 0;
    writeSpeeds[0] = 0;
    record("UnitSpeeds " + std::to_string(handle) + " " + std::string(1, static_cast<char>(*unit)));
    *flags = static_cast<uint32_t>(std::stoul(next("UnitSpeeds"), nullptr, 0));
    return 0;
}
