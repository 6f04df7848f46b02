#pragma once
// Turns a window message, as the caller's window procedure received it, into the runtime's event:
// a paint into an update of that window, a left button press or release into a mouse event at its
// point, a key press into a key event with its key code, an activation into an activate event.
//
// Threads: any; pure. Error policy: answers false (and a null event) for messages without one.

#include "runtimes/qtml/include/qtml/qtml.h"

namespace kinvo::qtml {

bool toEvent(const QtmlWindowMessage& message, QtmlEvent& event) noexcept;

}  // namespace kinvo::qtml
