// PrimoSDK.so's entry points: each forwards to the library's one session table, made on first
// use (the registry and libburn are reached only then) and destroyed when the library is
// unloaded, which ends every write. The table's operations never throw.
#include <primo/primo_sdk.h>

#include "runtimes/primo/backend/session_table.h"

namespace {

primo::SessionTable& table() {
    static primo::SessionTable sessions(primo::processDriveLookups());
    return sessions;
}

}  // namespace

#define PRIMO_EXPORT extern "C" __attribute__((visibility("default")))

PRIMO_EXPORT uint32_t PrimoSDK_Init(uint32_t* release) {
    return table().init(release);
}

PRIMO_EXPORT uint32_t PrimoSDK_GetHandle(uint32_t* handle) {
    return table().getHandle(handle);
}

PRIMO_EXPORT uint32_t PrimoSDK_NewAudio(uint32_t handle, const uint32_t* units) {
    return table().newAudio(handle, units);
}

PRIMO_EXPORT uint32_t PrimoSDK_AddAudioTrack(uint32_t handle, const char* file,
                                             uint32_t pauseSectors, uint32_t* sectors) {
    return table().addAudioTrack(handle, file, pauseSectors, sectors);
}

PRIMO_EXPORT uint32_t PrimoSDK_CloseAudio(uint32_t handle) {
    return table().closeAudio(handle);
}

PRIMO_EXPORT uint32_t PrimoSDK_WriteAudio(uint32_t handle, uint32_t flags, uint32_t speed) {
    return table().writeAudio(handle, flags, speed);
}

PRIMO_EXPORT uint32_t PrimoSDK_RunningStatus(uint32_t handle, uint32_t action, uint32_t* done,
                                             uint32_t* total) {
    return table().runningStatus(handle, action, done, total);
}

PRIMO_EXPORT uint32_t PrimoSDK_UnitSpeeds(uint32_t handle, const uint32_t* unit, uint8_t* speeds,
                                          uint8_t* writeSpeeds, uint32_t* flags) {
    return table().unitSpeeds(handle, unit, speeds, writeSpeeds, flags);
}
