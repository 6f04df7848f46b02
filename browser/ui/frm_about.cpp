#include "browser/ui/frm_about.h"

#include "browser/core/form_layout.h"
#include "browser/core/texts.h"
#include "browser/ui/pictures.h"
#include "browser/ui/qt_text.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kinvo {

frmAbout::frmAbout(QWidget& mainWindow, const SettingsStore& settings)
    : QDialog(&mainWindow), topmostPause_(mainWindow, settings) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(qtext(texts::kAboutCaption));
    setWindowIcon(programIcon());
    setModal(true);
    const TwipScale scale(logicalDpiX());
    const QSize size(scale.toPixels(kWidthTwips), scale.toPixels(kHeightTwips));
    setFixedSize(size);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    auto* image = new QLabel(this);
    image->setAlignment(Qt::AlignCenter);
    layout->addWidget(image, 1);
    cmdOK = new QPushButton(qtext(texts::kAboutOk), this);
    cmdOK->setDefault(true);
    layout->addWidget(cmdOK, 0, Qt::AlignHCenter);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    const int pictureHeight = size.height() - cmdOK->sizeHint().height() - 16;
    image->setPixmap(
        picture(QStringLiteral("splash"), QSize(pictureHeight * 420 / 260, pictureHeight)));
}

}  // namespace kinvo
