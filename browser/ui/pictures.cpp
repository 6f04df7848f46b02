#include "browser/ui/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures live in this static library; its resource table is registered on first use.
static void registerPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace kinvo {

QPixmap picture(const QString& name, QSize size) {
    static const bool registered = (registerPictures(), true);
    (void)registered;
    QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (const int side : {16, 22, 32, 48, 64}) {
        icon.addPixmap(picture(QStringLiteral("tv"), QSize(side, side)));
    }
    return icon;
}

QCursor pointerImage(int image) {
    const QString name = image == 2 ? QStringLiteral("hand_pressed") : QStringLiteral("hand");
    return QCursor(picture(name, QSize(32, 32)), 10, 3);  // the fingertip is the hot spot
}

}  // namespace kinvo
