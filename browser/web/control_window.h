#pragma once
// The playback control's own window: a native window (an X11 window whose id is the
// control's "hwnd"), a sibling of the web view kept over the control's element on the page, so that
// a playback server can put its video window inside it. Black while nothing draws into it.

#include <QWidget>

#include <cstdint>

namespace kinvo::web {

class ControlWindow : public QWidget {
    Q_OBJECT

  public:
    explicit ControlWindow(QWidget* parent);

    // The native window's id; fixed for the widget's life.
    std::uint64_t hwnd() const { return hwnd_; }

  private:
    std::uint64_t hwnd_ = 0;
};

}  // namespace kinvo::web
