#pragma once
// The burning back end as the burn process binds it: "PrimoSDK.DLL" (PrimoSDK.so in the program's
// folder, platform/library.h) with its eight entry points, all required (primo/primo_sdk.h).
// Main thread of the burn process; never throws. A missing library or entry point answers the
// status text the burn process shows for it.
#include <optional>
#include <string>
#include <variant>

#include <primo/primo_sdk.h>

#include "platform/library.h"

namespace vexa {

struct BurnerEntries {
    PrimoInitFn init = nullptr;
    PrimoGetHandleFn getHandle = nullptr;
    PrimoNewAudioFn newAudio = nullptr;
    PrimoAddAudioTrackFn addAudioTrack = nullptr;
    PrimoCloseAudioFn closeAudio = nullptr;
    PrimoWriteAudioFn writeAudio = nullptr;
    PrimoRunningStatusFn runningStatus = nullptr;
    PrimoUnitSpeedsFn unitSpeeds = nullptr;
};

class BurnerLibrary {
  public:
    // `name` as LoadLibrary takes it (a bare name is looked for in the program's folder first).
    // The library, or the failure's text.
    static std::variant<BurnerLibrary, const char*> load(const std::string& name) noexcept;

    const BurnerEntries& entries() const noexcept { return entries_; }

  private:
    BurnerLibrary(win::Library library, BurnerEntries entries) noexcept
        : library_(std::move(library)), entries_(entries) {}
    win::Library library_;
    BurnerEntries entries_;
};

}  // namespace vexa
