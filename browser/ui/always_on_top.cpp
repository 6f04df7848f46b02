#include "browser/ui/always_on_top.h"

#include "browser/core/settings_store.h"
#include "browser/core/texts.h"

#include <QWidget>
#include <QWindow>

namespace kinvo {

namespace {
void setTopmost(QWidget& window, bool onTop) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    const Qt::WindowFlags flags = onTop ? window.windowFlags() | Qt::WindowStaysOnTopHint
                                        : window.windowFlags() & ~Qt::WindowStaysOnTopHint;
    if (QWindow* native = window.windowHandle()) {
        // The native window takes the flag as it is. Changed through the widget, the flag would
        // make the native window anew, and with it every native child: the player's window,
        // and the video window a playback server keeps inside it.
        window.overrideWindowFlags(flags);
        native->setFlag(Qt::WindowStaysOnTopHint, onTop);
        return;
    }
    window.setWindowFlags(flags);
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
