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

}  // namespace win
