#include "browser/ui/always_on_top.h"

#include "browser/core/settings_store.h"
#include "browser/core/texts.h"

#include <QWidget>

namespace kinvo {

namespace {
void setTopmost(QWidget& window, bool onTop) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    // A changed flag re-creates the native window hidden; it comes back where it was.
    const QPoint at = window.pos();
    const QSize size = window.size();
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    window.move(at);
    window.resize(size);
    if (visible) {
        window.show();
    }
}
}  // namespace

void SetAlwaysOnTop(QWidget& window) {
    setTopmost(window, true);
}

void ClearAlwaysOnTop(QWidget& window) {
    setTopmost(window, false);
}

DialogTopmostPause::DialogTopmostPause(QWidget& mainWindow, const SettingsStore& settings)
    : mainWindow_(mainWindow), settings_(settings) {
    ClearAlwaysOnTop(mainWindow_);
}

DialogTopmostPause::~DialogTopmostPause() {
    if (settings_.readNumber(texts::kKeyAlwaysOnTop, 0) == 1) {
        SetAlwaysOnTop(mainWindow_);
    }
}

}  // namespace kinvo
