#include "browser/ui/right_release_filter.h"

#include "browser/core/mouse_hook.h"

#include <QMouseEvent>
#include <QWidget>

namespace kinvo {

bool RightReleaseFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease ||
        static_cast<QMouseEvent*>(event)->button() != Qt::RightButton || !watched->isWidgetType()) {
        return false;
    }
    QByteArray className;
    for (const QObject* each = watched; each != nullptr; each = each->parent()) {
        const QVariant name = each->property(kWindowClassProperty);
        if (name.isValid()) {
            className = name.toByteArray();
            break;
        }
    }
    if (className.isEmpty()) {
        className = watched->metaObject()->className();
    }
    if (MouseHook(
            0, kRightButtonUp,
            std::string_view(className.constData(), static_cast<std::size_t>(className.size())))) {
        ++swallowed_;
        return true;
    }
    return false;
}

}  // namespace kinvo
