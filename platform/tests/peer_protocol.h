#pragma once
// Messages between the message tests and their peer program (win_peer).

#include "platform/message_types.h"

namespace peer {

using win::UINT;
using win::WM_USER;

inline constexpr UINT kReady = WM_USER + 1;       // peer -> test, posted: wParam = peer window
inline constexpr UINT kInHandler = WM_USER + 2;   // peer -> test, posted: about to hang
inline constexpr UINT kResult = WM_USER + 3;      // peer -> test, posted: wParam = a result
inline constexpr UINT kAdd = WM_USER + 10;        // test -> peer, sent: answers wParam + lParam
inline constexpr UINT kAskBack = WM_USER + 11;    // sent: peer sends kDouble(wParam) to window
                                                  // lParam and answers that result + 1
inline constexpr UINT kHang = WM_USER + 12;       // sent: posts kInHandler to lParam, never answers
inline constexpr UINT kQuit = WM_USER + 13;       // posted: the peer ends its loop
inline constexpr UINT kStartAsk = WM_USER + 14;   // posted: peer sends kBounce(wParam) to lParam
                                                  // and posts kResult with the answer
inline constexpr UINT kPostBurst = WM_USER + 15;  // posted: wParam threads each post lParam
                                                  // kSequence messages to the sender window
inline constexpr UINT kDouble = WM_USER + 20;     // peer -> test, sent: test answers wParam * 2
inline constexpr UINT kBounce = WM_USER + 21;     // peer -> test, sent: test sends kAdd back
inline constexpr UINT kSequence = WM_USER + 30;   // posted: wParam = thread, lParam = number
inline constexpr UINT kBurstDone = WM_USER + 31;  // posted: wParam = thread

}  // namespace peer
