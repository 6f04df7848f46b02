#pragma once
// The debug trace: texts a developer wants to see while running under a debugger. Written to
// stderr, unchanged, only when the environment variable VEXA_DEBUG is set (to anything). Safe from
// any thread; never fails.

#include <string_view>

namespace win {

void debugTrace(std::string_view text) noexcept;
bool debugTraceEnabled() noexcept;

}  // namespace win
