#include "axserver/diagnostics/diagnostics_hook.h"

namespace vexa {

namespace {

using VersionFn = int32_t (*)(int32_t);
using InitFn = int32_t (*)(int32_t, const char*);
using InitExFn = int32_t (*)(DiagnosticsManifestRecord*);

bool initialised(int32_t result) {
    return result == 0 || result == 3;
}

}  // namespace

void* DiagnosticsHook::findLibrary() {
    if (void* loaded = env_.findLoaded(diag::kLibraryName)) {
        return loaded;
    }
    if (auto dir = env_.installDir(); dir && !dir->empty()) {
        if (void* lib = env_.load(*dir + "/" + diag::kLibraryName)) {
            return lib;
        }
    }
    std::string program = env_.programPath();
    // The program folder is cut at its last separator; a bare name has none and gives up.
    size_t cut = program.find_last_of("/\\");
    if (cut == std::string::npos) {
        return nullptr;
    }
    return env_.load(program.substr(0, cut + 1) + diag::kLibraryName);
}

bool DiagnosticsHook::start(const char* manifest) {
    if (useCount_ > 0) {
        return true;
    }
    void* lib = findLibrary();
    if (lib == nullptr) {
        return false;
    }
    library_ = lib;
    for (int i = 0; i < diag::kEntryPointCount; ++i) {
        entryPoints_[i] = env_.symbol(library_, diag::kEntryPointNames[i]);
    }
    ++useCount_;

    auto version = reinterpret_cast<VersionFn>(entryPoints_[diag::kLibraryVersion]);
    if (version == nullptr || version(diag::kVersionQuery) < diag::kMinimumVersion) {
        endAttempt();
        return false;
    }
    int32_t result;
    if (auto initEx = reinterpret_cast<InitExFn>(entryPoints_[diag::kInitializeWithManifestEx])) {
        DiagnosticsManifestRecord record{1, diag::kVersionQuery, manifest, 0};
        result = initEx(&record);
    } else if (auto init = reinterpret_cast<InitFn>(entryPoints_[diag::kInitializeWithManifest])) {
        result = init(diag::kVersionQuery, manifest);
    } else {
        endAttempt();
        return false;
    }
    if (!initialised(result)) {
        endAttempt();
        return false;
    }
    return true;
}

void DiagnosticsHook::endAttempt() noexcept {
    if (useCount_ > 0 && --useCount_ == 0) {
        env_.release(library_);
        library_ = nullptr;
    }
    entryPoints_.fill(nullptr);
}

}  // namespace vexa
