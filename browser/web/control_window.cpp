#include "browser/web/control_window.h"

#include <QEvent>
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
    winId();
    hide();
}

bool ControlWindow::event(QEvent* event) {
    if (event->type() == QEvent::WinIdChange) {
        emit idChanged(hwnd());
    }
    return QWidget::event(event);
}

}  // namespace kinvo::web
