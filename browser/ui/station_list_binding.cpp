#include "browser/ui/station_list_binding.h"

#include "browser/core/station_list_events.h"

#include <QKeyEvent>
#include <QListView>

#include <optional>

namespace kinvo {
namespace {

// The character a key stroke types, as the key-press table knows it: Ctrl with a letter is the
// control character (Ctrl+A is 1), Enter and Return are 13, Esc is 27; nothing for keys that
// type no character of one byte.
std::optional<int> typedCharacter(const QKeyEvent& key) {
    const int code = key.key();
    if ((key.modifiers() & Qt::ControlModifier) != 0 && code >= Qt::Key_A && code <= Qt::Key_Z) {
        return code - Qt::Key_A + 1;
    }
    if (code == Qt::Key_Return || code == Qt::Key_Enter) {
        return 13;
    }
    if (code == Qt::Key_Escape) {
        return 27;
    }
    const QString text = key.text();
    if (text.size() == 1 && text.at(0).unicode() < 256) {
        return text.at(0).unicode();
    }
    return std::nullopt;
}

}  // namespace

StationListBinding::StationListBinding(StationListEvents& events, QListView& view)
    : QObject(&view), events_(events) {
    view.installEventFilter(this);
    connect(&view, &QListView::clicked, this, [this] { events_.itemClick(); });
    connect(&view, &QListView::doubleClicked, this, [this] { events_.doubleClick(); });
}

bool StationListBinding::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    bool passOn = events_.keyDown(key->key(), key->modifiers());
    if (const std::optional<int> character = typedCharacter(*key)) {
        passOn = events_.keyPress(*character) || passOn;
    }
    return !passOn;  // true keeps the key from the view
}

}  // namespace kinvo
