#pragma once
// The station list's keyboard tables. A key first goes through the key-down table (by key code
// and modifiers), then, if it types a character, through the key-press table. The list control
// itself sees a key only when a table passes it on; every key the tables do not name is kept
// from it.

#include <Qt>

namespace kinvo {

enum class KeyDownAction {
    ShowAddress,     // Shift+F12: the current station's address in a text-input box
    RemoveFavorite,  // Delete
    AddFavorite,     // F with Shift, Ctrl or Alt; then cleared
    Clear,           // every other key
};

enum class KeyPressAction {
    Start,      // 32 (space), 13 (Enter)
    SendF2,     // 27 (Esc): an F2 key stroke to the active window
    SelectAll,  // 1 (Ctrl+A)
    PassOn,     // "A" to "Z", "a" to "z"
    Drop,       // every other character
};

KeyDownAction stationListKeyDown(int key, Qt::KeyboardModifiers modifiers);
KeyPressAction stationListKeyPress(int character);

// Whether the key-down action leaves the key to the list control (only the cleared ones don't).
inline bool keyDownPassesOn(KeyDownAction action) {
    return action == KeyDownAction::ShowAddress || action == KeyDownAction::RemoveFavorite;
}

}  // namespace kinvo
