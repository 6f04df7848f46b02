#include "browser/web/control_window.h"

#include <QPalette>

namespace kinvo::web {

ControlWindow::ControlWindow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NativeWindow);
    // Keeps the parent's other children (the page) out of native windows of their own.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    hwnd_ = static_cast<std::uint64_t>(winId());
    hide();
}

}  // namespace kinvo::web
