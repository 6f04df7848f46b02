// The second process of the message tests. Command line: "<mode> <test window> [args]".
//   echo W            one window of class "PeerEcho"; posts kReady to W; serves until kQuit
//   windows W C N     N windows of class C; posts kReady for each; serves until kQuit
//   exit N ...        ends at once with code N when the whole text came as one argument
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/tests/peer_protocol.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace win;

namespace {

HWND testWindow = 0;

LRESULT peerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case peer::kAdd:
            return static_cast<LRESULT>(wParam) + lParam;
        case peer::kAskBack:
            return sendMessage(static_cast<HWND>(lParam), peer::kDouble, wParam, 0) + 1;
        case peer::kHang:
            postMessage(static_cast<HWND>(lParam), peer::kInHandler, 0, 0);
            for (;;) {
                ::pause();
            }
        case peer::kQuit:
            postQuitMessage(0);
            return 0;
        case peer::kStartAsk: {
            const LRESULT answer = sendMessage(static_cast<HWND>(lParam), peer::kBounce, wParam, 0);
            postMessage(static_cast<HWND>(lParam), peer::kResult, static_cast<WPARAM>(answer), 0);
            return 0;
        }
        case peer::kPostBurst: {
            const int count = static_cast<int>(lParam);
            std::vector<std::thread> threads;
            for (WPARAM t = 0; t < wParam; ++t) {
                threads.emplace_back([t, count] {
                    for (int i = 0; i < count; ++i) {
                        postMessage(testWindow, peer::kSequence, t, i);
                    }
                    postMessage(testWindow, peer::kBurstDone, t, 0);
                });
            }
            for (auto& thread : threads) {
                thread.join();
            }
            return 0;
        }
        default:
            return defWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::istringstream args(commandLineText(argc, argv));
    std::string mode, className = "PeerEcho";
    int count = 1;
    args >> mode >> testWindow;
    if (mode == "exit") {
        return argc == 2 ? static_cast<int>(testWindow) : 100;
    }
    if (mode == "windows") {
        args >> className >> count;
    } else if (mode != "echo") {
        return 2;
    }
    if (!registerClass(WindowClass{className, 0, peerProc, 0})) {
        return 3;
    }
    for (int i = 0; i < count; ++i) {
        const HWND hwnd = createWindow(className);
        if (hwnd == 0) {
            return 4;
        }
        postMessage(testWindow, peer::kReady, hwnd, ::getpid());
    }
    MSG msg;
    while (getMessage(msg, 0, 0, 0) > 0) {
        dispatchMessage(msg);
    }
    return 0;
}
