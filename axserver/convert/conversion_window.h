#pragma once
// The play path's window "convert" (class "convertClass", registered once per process): the
// decoder's main window while it converts, so that its end-of-file notice (message 0x402) reaches
// the job instead of the server's end-of-track handling. Main thread: the window belongs to the
// thread that made it and its procedure runs there.
#include <functional>

#include "platform/message_types.h"

namespace vexa {

class ConversionWindow {
  public:
    // `onEndOfFile` runs on the main thread for every 0x402 the window receives.
    explicit ConversionWindow(std::function<void()> onEndOfFile) noexcept;
    ConversionWindow(const ConversionWindow&) = delete;
    ConversionWindow& operator=(const ConversionWindow&) = delete;
    ~ConversionWindow();

    // 0 when the window could not be made.
    win::HWND handle() const noexcept { return handle_; }

  private:
    std::function<void()> onEndOfFile_;
    win::HWND handle_ = 0;
};

}  // namespace vexa
