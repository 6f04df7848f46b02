#include "axserver/burn/burner_library.h"

#include "axserver/burn/texts.h"

namespace vexa {

std::variant<BurnerLibrary, const char*> BurnerLibrary::load(const std::string& name) noexcept {
    try {
        std::optional<win::Library> library = win::Library::load(name);
        if (!library) {
            return burn_texts::kCantLoad;
        }
        BurnerEntries e;
        e.init = library->function<PrimoInitFn>("PrimoSDK_Init");
        e.getHandle = library->function<PrimoGetHandleFn>("PrimoSDK_GetHandle");
        e.newAudio = library->function<PrimoNewAudioFn>("PrimoSDK_NewAudio");
        e.addAudioTrack = library->function<PrimoAddAudioTrackFn>("PrimoSDK_AddAudioTrack");
        e.closeAudio = library->function<PrimoCloseAudioFn>("PrimoSDK_CloseAudio");
        e.writeAudio = library->function<PrimoWriteAudioFn>("PrimoSDK_WriteAudio");
        e.runningStatus = library->function<PrimoRunningStatusFn>("PrimoSDK_RunningStatus");
        e.unitSpeeds = library->function<PrimoUnitSpeedsFn>("PrimoSDK_UnitSpeeds");
        if (!e.init || !e.getHandle || !e.newAudio || !e.addAudioTrack || !e.closeAudio ||
            !e.writeAudio || !e.runningStatus || !e.unitSpeeds) {
            return burn_texts::kNoMethods;
        }
        return BurnerLibrary(std::move(*library), e);
    } catch (...) {
        return burn_texts::kCantLoad;
    }
}

}  // namespace vexa
