#pragma once
// SetAlwaysOnTop / ClearAlwaysOnTop: a window kept above others, or not, through the window
// manager's hint, without moving or sizing it. Every dialog of the browser clears it on the
// main window while it is open (so that the dialog is never hidden behind it) and sets it again
// on closing when "AlwaysOnTop" is 1: a DialogTopmostPause held for the dialog's life does both.

class QWidget;

namespace kinvo {

class SettingsStore;

void SetAlwaysOnTop(QWidget& window);
void ClearAlwaysOnTop(QWidget& window);

class DialogTopmostPause {
  public:
    DialogTopmostPause(QWidget& mainWindow, const SettingsStore& settings);
    ~DialogTopmostPause();
    DialogTopmostPause(const DialogTopmostPause&) = delete;
    DialogTopmostPause& operator=(const DialogTopmostPause&) = delete;

  private:
    QWidget& mainWindow_;
    const SettingsStore& settings_;
};

}  // namespace kinvo
