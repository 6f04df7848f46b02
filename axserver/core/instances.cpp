#include "axserver/core/instances.h"

#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {

namespace {
constexpr size_t kInstanceNameLimit = 1023;
constexpr size_t kClassNameRoom = 2047;  // the class name is read into 2048 bytes
}  // namespace

void forEachOtherInstance(win::HWND own, const std::function<bool(win::HWND)>& visit) {
    win::enumWindows([&](win::HWND hwnd) {
        if (hwnd == own) {
            return true;
        }
        std::string className = win::getClassName(hwnd);
        if (className.size() > kClassNameRoom) {
            className.resize(kClassNameRoom);
        }
        if (className != kServerClassName) {
            return true;
        }
        return visit(hwnd);
    });
}

InstanceInfo findInstance(win::HWND own, int32_t n) {
    InstanceInfo info;
    win::HWND found = 0;
    if (n == 0) {
        found = own;
    } else if (n > 0) {
        int32_t seen = 0;
        forEachOtherInstance(own, [&](win::HWND hwnd) {
            if (++seen == n) {
                found = hwnd;
                return false;
            }
            return true;
        });
    }
    if (found != 0) {
        info.window = found;
        info.name = win::getWindowText(found);
        if (info.name.size() > kInstanceNameLimit) {
            info.name.resize(kInstanceNameLimit);
        }
    }
    return info;
}

}  // namespace vexa
