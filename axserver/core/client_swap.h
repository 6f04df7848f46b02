// The server side of the client swap (command 800) over the clients' block "VexaSwap_%d\n":
// five 32-bit fields state, slot1, slot2, slot3, slot4.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/message_types.h"

namespace vexa {

struct SwapParties {
    win::HWND serverWindow = 0;
    win::HWND clientWindow = 0;  // the current client
    win::HWND videoParent = 0;
};

// Main thread. Answers 1 with *newClient set when the server now serves another client, 0 when
// the block is missing, the current client refused or did not answer within 5000 ms ("Failure
// 1\n" in the debug trace), or the state is neither 0 nor 2.
win::LRESULT swapClient(int32_t swapNumber, const SwapParties& parties, win::HWND* newClient);

}  // namespace vexa
