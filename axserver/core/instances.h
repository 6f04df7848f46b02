// The other vexahost instances of this user: top-level windows of the server class.
#pragma once

#include <functional>
#include <string>

#include "platform/message_types.h"

namespace vexa {

// Calls `visit` for every server window other than `own`, in the system's window order, until
// it answers false. Only windows whose class name is exactly the server class count.
void forEachOtherInstance(win::HWND own, const std::function<bool(win::HWND)>& visit);

struct InstanceInfo {
    std::string name;  // the window name, at most 1023 characters
    win::HWND window = 0;
};

// n = 0: the own window; n >= 1: the n-th other instance; an empty name and 0 when there is
// none (also for a negative n).
InstanceInfo findInstance(win::HWND own, int32_t n);

}  // namespace vexa
