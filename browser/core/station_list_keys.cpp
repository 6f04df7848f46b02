#include "browser/core/station_list_keys.h"

namespace kinvo {

KeyDownAction stationListKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Keypad and group-switch modifiers say nothing about the key's meaning here.
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key == Qt::Key_F12 && held == Qt::ShiftModifier) {
        return KeyDownAction::ShowAddress;
    }
    if (key == Qt::Key_Delete) {
        return KeyDownAction::RemoveFavorite;
    }
    if (key == Qt::Key_F && held != Qt::NoModifier) {
        return KeyDownAction::AddFavorite;
    }
    return KeyDownAction::Clear;
}

KeyPressAction stationListKeyPress(int character) {
    switch (character) {
        case 32:
        case 13:
            return KeyPressAction::Start;
        case 27:
            return KeyPressAction::SendF2;
        case 1:
            return KeyPressAction::SelectAll;
        default:
            break;
    }
    if ((character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')) {
        return KeyPressAction::PassOn;
    }
    return KeyPressAction::Drop;
}

}  // namespace kinvo
