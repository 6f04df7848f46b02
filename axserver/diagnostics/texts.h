// Names the diagnostics hook looks for.
#pragma once

namespace vexa::diag {

inline constexpr char kLibraryName[] = "tbdiag.dll";
inline constexpr char kRegistryKey[] = "Software\\Zemlink\\ZEM Diagnostics";
inline constexpr char kInstallDirValue[] = "InstallDir";
inline constexpr char kManifestName[] = "master_ac_kelpovexa.bin";

// The library's entry points, resolved by name in this order; a missing one is absent.
inline constexpr const char* kEntryPointNames[] = {
    "FCCreateKey",
    "FCCreatePersistentKey",
    "FCCreateCounter",
    "FCCreatePersistentCounter",
    "FCAddDataToKey",
    "FCAddIntToKey",
    "FCAddStringToKey",
    "FCAddDateToKey",
    "FCSetCounter",
    "FCIncrementCounter",
    "FCDecrementCounter",
    "FCGetCounter",
    "FCRegisterMemory",
    "FCUnregisterMemory",
    "FCExceptionHandler",
    "FCSetMiniDump",
    "FCTraceInternal",
    "FCAssertInternal1",
    "FCCleanup",
    "FCAssertParamInternal1",
    "FCTraceParamInternal",
    "FCLibraryVersion",
    "FCInitializeWithManifestInternal",
    "FCInitializeWithManifestInternalEx",
    "FCTriggerInternal1",
    "FCCreateSupportIncidentInternal",
    "FCSetUIState",
    "FCClearKeys",
    "FCClearCounters",
    "FCClearKey",
    "FCDeleteKey",
    "FCStartTimer",
    "FCHeartbeatTimer",
    "FCEndTimer",
    "FCGetSessionUniqueID",
};
inline constexpr int kEntryPointCount = 35;
static_assert(sizeof(kEntryPointNames) / sizeof(kEntryPointNames[0]) == kEntryPointCount);

// Indexes of the three entry points the hook calls.
inline constexpr int kLibraryVersion = 21;
inline constexpr int kInitializeWithManifest = 22;
inline constexpr int kInitializeWithManifestEx = 23;

// The argument of FCLibraryVersion and the lowest version accepted.
inline constexpr int kVersionQuery = 8;
inline constexpr int kMinimumVersion = 6;

}  // namespace vexa::diag
