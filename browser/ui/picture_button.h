#pragma once
// The station panel's picture buttons: a normal and a highlighted picture, the hand pointer
// while the mouse is over one, Enter on a focused one doing what a click does. The buttons of a
// group share one highlight: hovering or focusing a button that is not highlighted first puts
// every button of the group back to normal, then highlights it; it stays until another one is.

#include <QLabel>
#include <QPixmap>

#include <vector>

namespace kinvo {

class PictureButtonGroup;

class PictureButton : public QLabel {
    Q_OBJECT

  public:
    PictureButton(PictureButtonGroup& group, QPixmap normal, QPixmap highlighted, QWidget* parent);

    bool highlighted() const { return highlighted_; }
    void showHighlighted(bool on);
    // Hovered or focused: the hand pointer and the group's highlight.
    void point();

  signals:
    void clicked();

  protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    PictureButtonGroup& group_;
    QPixmap normal_;
    QPixmap highlighted_pixmap_;
    bool highlighted_ = false;
};

class PictureButtonGroup {
  public:
    void add(PictureButton* button) { buttons_.push_back(button); }
    void highlight(PictureButton* button);

  private:
    std::vector<PictureButton*> buttons_;
};

}  // namespace kinvo
