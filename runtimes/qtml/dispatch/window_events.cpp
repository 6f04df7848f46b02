#include "runtimes/qtml/dispatch/window_events.h"

namespace kinvo::qtml {
namespace {

constexpr uint32_t kActivate = 0x06;
constexpr uint32_t kPaint = 0x0F;
constexpr uint32_t kKeyDown = 0x100;
constexpr uint32_t kLeftButtonDown = 0x201;
constexpr uint32_t kLeftButtonUp = 0x202;

}  // namespace

bool toEvent(const QtmlWindowMessage& message, QtmlEvent& event) noexcept {
    event = {};
    event.when = message.time;
    event.x = message.x;
    event.y = message.y;
    switch (message.message) {
        case kPaint:
            event.what = QTML_EVENT_UPDATE;
            event.message = message.window;
            return true;
        case kActivate:
            event.what = QTML_EVENT_ACTIVATE;
            event.message = message.window;
            return true;
        case kLeftButtonDown:
            event.what = QTML_EVENT_MOUSE_DOWN;
            return true;
        case kLeftButtonUp:
            event.what = QTML_EVENT_MOUSE_UP;
            return true;
        case kKeyDown:
            event.what = QTML_EVENT_KEY_DOWN;
            event.message = static_cast<intptr_t>(message.wParam);
            return true;
        default:
            event.what = QTML_EVENT_NULL;
            return false;
    }
}

}  // namespace kinvo::qtml
