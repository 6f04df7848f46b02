#pragma once
// Windows and messages: window classes, message-only windows, per-thread queues, sent and posted
// messages, timers and the walk over the top-level windows of every process of this user.
//
// Threads. Every thread that creates windows, waits for a sent message or pumps messages gets a
// queue of its own on first use. A window belongs to the thread that created it: its procedure
// runs only on that thread, and destroyWindow, setTimer and killTimer must be called there.
// postMessage, sendMessage, isWindow, the window text and class name calls are safe from any
// thread. When a thread ends, its windows are removed without further messages.
//
// Sending. A message sent to a window of the calling thread calls the procedure at once. Sent to
// another thread or process, the caller waits for the answer and, while it waits, runs the
// procedures for messages that others send to its own windows (never posted ones), so two parties
// that send to each other do not deadlock. getMessage and peekMessage deliver sent messages first,
// then posted ones in the order of posting (per sender), then WM_QUIT, then due WM_TIMERs.
//
// Processes. A message-only window has the handle 0x40000000 | (pid << 8) | n. Other processes of
// the same user reach it through this process's socket in the runtime folder (see runtime_dir.h);
// pointers never cross: only the four message values travel.
//
// Failures are reported as Windows reports them: 0, false, an empty text or a null procedure. No
// function throws. A peer process that ends while we wait for its answer fails the wait at once.

#include "platform/message_types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace win {

struct WindowClass {
    std::string name;  // compared without regard to case
    UINT style = 0;    // CS_* bits
    WNDPROC proc = nullptr;
    int extraValues = 0;  // number of per-window values (getWindowValue/setWindowValue)
    // Visible windows: the colour erasing paints (0x00BBGGRR), 0xFFFFFFFF for none.
    std::uint32_t background = 0xFFFFFFFF;
};

// False when the name is taken or the class has no procedure.
bool registerClass(const WindowClass& windowClass);
// Copies a registered class's record; false when the class is unknown. Any thread.
bool getClassInfo(std::string_view name, WindowClass& out);
// False when the class is unknown or windows of it still exist.
bool unregisterClass(std::string_view name);

struct CreateParams {
    std::string className;
    std::string windowName;
    UINT style = 0;    // 0 with parent 0: a message-only window
    UINT exStyle = 0;  // visible windows: WS_EX_* bits
    HWND parent = 0;   // a visible window's parent
    int x = 0, y = 0, width = 0, height = 0;
    LPARAM createParam = 0;  // passed as lParam of WM_CREATE
};

// Creates a window owned by the calling thread; the procedure gets WM_CREATE (lParam =
// createParam; answering -1 removes the window again and createWindow returns 0). Returns 0
// for an unknown class, when the process has no free handle left, or for a visible window when
// no display backend is installed (window_backend.h).
HWND createWindow(const CreateParams& params);
HWND createWindow(std::string_view className, std::string_view windowName = {});

// Sends WM_DESTROY and WM_NCDESTROY, then removes the window, its timers and its file. Owner
// thread only; false for a window that is not a live window of this thread.
bool destroyWindow(HWND hwnd);

// True for a live window of this process, or a window of another process of this user whose file
// exists and whose process is still running (stale files are removed).
bool isWindow(HWND hwnd);

std::string getWindowText(HWND hwnd);                  // "" when none
bool setWindowText(HWND hwnd, std::string_view text);  // own process's windows only
std::string getClassName(HWND hwnd);                   // "" when not a window
UINT getClassStyle(HWND hwnd);        // CS_* bits of the class of a window of this process, else 0
pid_t getWindowProcessId(HWND hwnd);  // 0 when not a window

// Subclassing. setWindowProc returns the previous procedure (nullptr on failure; own process).
WNDPROC setWindowProc(HWND hwnd, WNDPROC proc);
WNDPROC getWindowProc(HWND hwnd);
LRESULT callWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The default answer: 0 for everything; WM_CLOSE destroys the window; WM_PAINT of a visible
// window validates it (erasing with the class background when an erase is pending).
LRESULT defWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Per-window user data and the class's extra values (index 0 .. extraValues-1); own process.
// The setters return the previous value; invalid windows or indexes give 0.
LPARAM getWindowUserData(HWND hwnd);
LPARAM setWindowUserData(HWND hwnd, LPARAM value);
LPARAM getWindowValue(HWND hwnd, int index);
LPARAM setWindowValue(HWND hwnd, int index, LPARAM value);

// Queues. hwnd 0 posts to the calling thread itself. False when the window does not exist or
// its process cannot be reached.
bool postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The procedure's answer; 0 when the window does not exist or its process ended.
LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// True with *result set when answered within timeoutMs (kInfinite: no limit); false on time-out,
// for a window that does not exist, or when its process ends while we wait.
bool sendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                        UINT timeoutMs, LRESULT* result);

// Filter: hwnd 0 takes every message of the thread; min and max 0 take every number.
bool peekMessage(MSG& msg, HWND hwnd, UINT min, UINT max, UINT removeFlags);
// Waits for a message: >0 for a message, 0 for WM_QUIT (msg.wParam = the exit code).
int getMessage(MSG& msg, HWND hwnd, UINT min, UINT max);
// Waits until the calling thread's queue has something to deliver or timeoutMs passes (kInfinite:
// no limit); true when something arrived.
bool waitMessage(UINT timeoutMs);
LRESULT dispatchMessage(const MSG& msg);
void postQuitMessage(int exitCode);

// The calling thread's queue descriptor: readable whenever peekMessage may have something (a
// sent or posted message, a due timer, data on the process socket). An outside event loop watches
// it and calls peekMessage/dispatchMessage until peekMessage answers false.
int queueDescriptor();

// An extra descriptor the calling thread's queue waits on; `onReadable` runs on this thread from
// getMessage/peekMessage when the descriptor is readable (a display connection uses it to turn
// its events into messages). The caller keeps the descriptor open until removeQueueSource.
bool addQueueSource(int fd, std::function<void()> onReadable);
void removeQueueSource(int fd);

// Timers of a window of the calling thread. Returns the id (replacing a timer of that id), 0 on
// failure. WM_TIMER (wParam = id, lParam = 0) is made when due and nothing is posted.
std::uintptr_t setTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs);
bool killTimer(HWND hwnd, std::uintptr_t id);

// Calls `visit` for every top-level window of every process of this user, ordered by handle,
// until it answers false. The walk is a snapshot: windows made during it may be missed.
bool enumWindows(const std::function<bool(HWND)>& visit);

// Handle anatomy of message-only windows.
inline constexpr HWND kMessageWindowBit = 0x40000000;
inline constexpr bool isMessageWindowHandle(HWND hwnd) {
    return (hwnd & 0xC0000000u) == kMessageWindowBit;
}
inline constexpr pid_t handleProcess(HWND hwnd) {
    return static_cast<pid_t>((hwnd >> 8) & 0x3FFFFF);
}

}  // namespace win
