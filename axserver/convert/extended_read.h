#pragma once
// An input library's extended-read entry points (include/sonari/extended_read.h), looked up by
// name in a loaded library. Main thread.
#include <sonari/extended_read.h>

#include <optional>

namespace vexa {

struct ExtendedReadEntries {
    SonariExtendedReadOpen open = nullptr;
    SonariExtendedReadGetData getData = nullptr;
    SonariExtendedReadClose close = nullptr;
    SonariExtendedReadLastError lastError = nullptr;  // may be null
};

// The entries of the library behind `libraryHandle`; nullopt when it does not export open (the
// one export that decides) or does not export getData and close beside it.
std::optional<ExtendedReadEntries> extendedReadOf(void* libraryHandle) noexcept;

}  // namespace vexa
