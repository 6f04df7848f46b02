#include "axserver/convert/extended_read.h"

#include <dlfcn.h>

namespace vexa {

std::optional<ExtendedReadEntries> extendedReadOf(void* libraryHandle) noexcept {
    if (libraryHandle == nullptr) {
        return std::nullopt;
    }
    ExtendedReadEntries entries;
    entries.open =
        reinterpret_cast<SonariExtendedReadOpen>(::dlsym(libraryHandle, SONARI_EXTENDED_READ_OPEN));
    if (entries.open == nullptr) {
        return std::nullopt;
    }
    entries.getData = reinterpret_cast<SonariExtendedReadGetData>(
        ::dlsym(libraryHandle, SONARI_EXTENDED_READ_GET_DATA));
    entries.close = reinterpret_cast<SonariExtendedReadClose>(
        ::dlsym(libraryHandle, SONARI_EXTENDED_READ_CLOSE));
    entries.lastError = reinterpret_cast<SonariExtendedReadLastError>(
        ::dlsym(libraryHandle, SONARI_EXTENDED_READ_LAST_ERROR));
    if (entries.getData == nullptr || entries.close == nullptr) {
        return std::nullopt;
    }
    return entries;
}

}  // namespace vexa
