#include "axserver/core/client_swap.h"

#include "channel/protocol.h"
#include "channel/swap_block.h"
#include "platform/debug_trace.h"
#include "platform/messages.h"

namespace vexa {

win::LRESULT swapClient(int32_t swapNumber, const SwapParties& parties, win::HWND* newClient) {
    auto block = SwapBlock::open(swapNumber);
    if (!block) {
        return 0;
    }
    switch (block->get(kSwapState)) {
        case 0: {
            win::HWND candidate = static_cast<win::HWND>(block->get(kSwapSlot3));
            block->set(kSwapSlot3, static_cast<int32_t>(parties.videoParent));
            block->set(kSwapState, 1);
            win::LRESULT consent = 0;
            bool answered = win::sendMessageTimeout(
                parties.clientWindow, SRV_COMMAND, static_cast<win::WPARAM>(swapNumber),
                CMD_SWAP_CLIENT, win::SMTO_NORMAL, kOtherWindowSendTimeoutMs, &consent);
            if (answered && consent != 0) {
                *newClient = candidate;
                block->set(kSwapSlot4, block->get(kSwapSlot3));
                block->set(kSwapSlot3, block->get(kSwapSlot1));
                block->set(kSwapSlot1, static_cast<int32_t>(parties.serverWindow));
                return 1;
            }
            win::debugTrace(kSwapFailureTrace);
            return 0;
        }
        case 2:
            block->set(kSwapSlot3, block->get(kSwapSlot1));
            block->set(kSwapSlot1, static_cast<int32_t>(parties.videoParent));
            *newClient = static_cast<win::HWND>(block->get(kSwapSlot2));
            return 1;
        default:
            return 0;
    }
}

}  // namespace vexa
