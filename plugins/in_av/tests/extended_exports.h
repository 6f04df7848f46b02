#pragma once
// The built in_av.so's extended-read exports, found as a host finds them (dlopen, dlsym by
// name). The library stays loaded for the rest of the process. A missing library or export
// leaves its pointer null; the caller checks lastError (the one found last) before using any.

#include <dlfcn.h>
#include <sonari/extended_read.h>

namespace kinvo::in_av::testing {

struct ExtendedExports {
    void* library = dlopen(IN_AV_PATH, RTLD_NOW | RTLD_LOCAL);
    SonariExtendedReadOpen open = find<SonariExtendedReadOpen>(SONARI_EXTENDED_READ_OPEN);
    SonariExtendedReadGetData getData =
        find<SonariExtendedReadGetData>(SONARI_EXTENDED_READ_GET_DATA);
    SonariExtendedReadClose close = find<SonariExtendedReadClose>(SONARI_EXTENDED_READ_CLOSE);
    SonariExtendedReadLastError lastError =
        find<SonariExtendedReadLastError>(SONARI_EXTENDED_READ_LAST_ERROR);

    template <typename F>
    F find(const char* name) const {
        return library != nullptr ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
    }
};

}  // namespace kinvo::in_av::testing
