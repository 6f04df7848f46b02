#pragma once
// The playback control's own window: a native window (an X11 window whose id is the
// control's "hwnd"), a sibling of the web view kept over the control's element on the page, so that
// a playback server can put its video window inside it. Black while nothing draws into it.
// A native child made before its top-level window has one is made anew, under another id, when
// the top-level window first shows: idChanged tells.

#include <QWidget>

#include <cstdint>

namespace kinvo::web {

class ControlWindow : public QWidget {
    Q_OBJECT

  public:
    explicit ControlWindow(QWidget* parent);

    // The native window's id. It changes only when the window is made anew (idChanged).
    std::uint64_t hwnd() const { return static_cast<std::uint64_t>(winId()); }

  signals:
    void idChanged(std::uint64_t hwnd);

  protected:
    bool event(QEvent* event) override;
};

}  // namespace kinvo::web
