#include "browser/ui/qt_shell_opener.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

namespace kinvo {

bool QtShellOpener::open(std::string_view target) {
    // Web addresses open as they are; anything else is taken as a file.
    const QUrl url = QUrl::fromUserInput(
        QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size())));
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool started = url.isValid() && QDesktopServices::openUrl(url);
    QGuiApplication::restoreOverrideCursor();
    return started;
}

}  // namespace kinvo
