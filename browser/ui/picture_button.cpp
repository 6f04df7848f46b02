#include "browser/ui/picture_button.h"

#include "browser/ui/pictures.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace kinvo {

PictureButton::PictureButton(PictureButtonGroup& group, QPixmap normal, QPixmap highlighted,
                             QWidget* parent)
    : QLabel(parent),
      group_(group),
      normal_(std::move(normal)),
      highlighted_pixmap_(std::move(highlighted)) {
    setPixmap(normal_);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    group_.add(this);
}

void PictureButton::showHighlighted(bool on) {
    highlighted_ = on;
    setPixmap(on ? highlighted_pixmap_ : normal_);
}

void PictureButton::point() {
    setCursor(pointerImage(1));
    if (!highlighted_) {
        group_.highlight(this);
    }
}

void PictureButton::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    point();
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    point();
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
}

void PictureButton::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    point();
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PictureButtonGroup::highlight(PictureButton* button) {
    for (PictureButton* each : buttons_) {
        each->showHighlighted(false);
    }
    button->showHighlighted(true);
}

}  // namespace kinvo
