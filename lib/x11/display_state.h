#pragma once
// Displays whose connection was lost. After a lost connection Xlib may block or fail in every
// later request, so the owners here free nothing on such a display (the server freed it all when
// the connection ended) and drawing code makes no request on it. The owner of the connection
// marks it, from its I/O error handler; any thread asks.

#include <X11/Xlib.h>

namespace kinvo::x11 {

void markDisplayLost(::Display* display) noexcept;
bool displayLost(::Display* display) noexcept;

}  // namespace kinvo::x11
