#include "browser/ui/frm_splash.h"

#include "browser/core/texts.h"
#include "browser/ui/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace kinvo {

namespace {
constexpr QSize kPictureSize(420, 260);
}

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString::fromUtf8(texts::kTitle.data(), texts::kTitle.size()));
    setWindowIcon(programIcon());
    setFixedSize(kPictureSize.width(), kPictureSize.height() + 28);
    setStyleSheet(QStringLiteral("#frmSplash { background: #0a1c4a; }"));
    auto* pictureLabel = new QLabel(this);
    pictureLabel->setPixmap(picture(QStringLiteral("splash"), kPictureSize));
    pictureLabel->setGeometry(0, 0, kPictureSize.width(), kPictureSize.height());
    lblS = new QLabel(QString::fromUtf8(texts::kStarting.data(), texts::kStarting.size()), this);
    lblS->setObjectName(QStringLiteral("lblS"));
    lblS->setStyleSheet(QStringLiteral("color: #dfe8ff; padding-left: 8px;"));
    lblS->setGeometry(0, kPictureSize.height(), kPictureSize.width(), 28);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void frmSplash::setStatus(std::string_view text) {
    lblS->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    lblS->repaint();
}

}  // namespace kinvo
