#pragma once
// Registering the movie runtime in the registry stand-in's machine hive, as installing the
// program does: the "Version" number that plug-ins check before they bind the runtime, and the
// "QuickTime.qts folder" where the library lies.
//
// A version already registered at or above ours is kept (a newer runtime installed beside us
// stays in charge). Errors are answered, never thrown.

#include <string>

#include "platform/registry.h"

namespace kinvo::qtml {

inline constexpr const char* kRuntimeKey = "Software\\Apple Computer, Inc.\\QuickTime";

struct Registration {
    win::RegStatus status = win::RegStatus::Ok;
    unsigned version = 0;  // the version registered afterwards
};

Registration registerRuntime(win::Registry& registry, unsigned version, const std::string& folder);

}  // namespace kinvo::qtml
