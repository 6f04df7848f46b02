#pragma once
// The mouse hook on Linux: an application-wide event filter that asks MouseHook about every
// right-button release. A widget names its window class in the property "kinvoWindowClass"
// (the web view's document and the player's native window do); the release is judged by the
// nearest such name among the target and its parents, or by the widget's Qt class name.

#include <QObject>

namespace kinvo {

inline constexpr char kWindowClassProperty[] = "kinvoWindowClass";

class RightReleaseFilter : public QObject {
  public:
    using QObject::QObject;
    int swallowed() const { return swallowed_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int swallowed_ = 0;
};

}  // namespace kinvo
