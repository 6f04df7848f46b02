#pragma once
// The program's own pictures, compiled in as SVG and drawn at the size they are shown at.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace kinvo {

// ":/pictures/" + name + ".svg" drawn at size (device pixels follow the screen's ratio).
QPixmap picture(const QString& name, QSize size);
// The window's and the tray's icon.
QIcon programIcon();
// The pointers of the picture buttons: 1 the hand, 2 the hand after a click on the rate button.
QCursor pointerImage(int image);

}  // namespace kinvo
