#pragma once
// The seam through which visible windows join the message layer. A visible window is an ordinary
// window of the layer (same table, class, procedure, queue and messages); what differs is its
// handle (the display's window id, below 2^29) and a backend object that mirrors text changes and
// destruction to the display. The display module installs one factory per process before its
// first visible window; without one, createWindow refuses every style other than message-only.

#include "platform/message_types.h"
#include "platform/messages.h"

#include <functional>
#include <memory>
#include <string_view>

namespace win {

class WindowBackend {
  public:
    virtual ~WindowBackend() = default;
    // Called on the owner thread after the layer has stored the new text.
    virtual void textChanged(std::string_view text) = 0;
    // Called once on the owner thread after WM_NCDESTROY; the display window goes here.
    virtual void destroyed() noexcept = 0;
    // defWindowProc's WM_PAINT, on the owner thread: erase and validate what was to be painted,
    // so an unhandled paint does not come again.
    virtual void validate() noexcept = 0;
};

struct VisibleWindow {
    HWND hwnd = 0;  // 0: the display could not make the window
    std::unique_ptr<WindowBackend> backend;
    bool topLevel = true;  // listed by enumWindows
};

// Runs on the creating thread, outside the layer's locks.
using VisibleWindowFactory = std::function<VisibleWindow(const CreateParams&)>;

// Installs (or, with an empty function, removes) the factory for visible windows.
void setVisibleWindowFactory(VisibleWindowFactory factory);

// Answers whether a handle that is neither a message window nor a window of this process is a
// display window of another program (isWindow asks it). Any thread; must not throw.
using ForeignWindowProbe = std::function<bool(HWND)>;
void setForeignWindowProbe(ForeignWindowProbe probe);

// Marks (or clears) the one pending WM_PAINT of a visible window of this process; the owner's
// queue delivers it when nothing is posted, until it is cleared. Any thread; false when the
// handle is not a visible window of this process.
bool setPaintPending(HWND hwnd, bool pending);

}  // namespace win
