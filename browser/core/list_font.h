#pragma once
// The station list's font as the stored settings give it: start-up applies "Font" and "FontSize"
// with it, the settings dialog its own choices. Sizes are whole points; the list takes 3 to 20,
// and 10 stands in for anything else. Pure rules over MainWindowHost; user-interface thread only.

#include <string_view>

namespace kinvo {

class MainWindowHost;

inline constexpr int kSmallestListFontSize = 3;
inline constexpr int kLargestListFontSize = 20;
inline constexpr int kFallbackListFontSize = 10;

// The size the settings dialog keeps for the text of its size box: a whole number (blanks and a
// sign allowed) from 3 to 20 stands; anything else, "abc", "25", "2" or "4.5", becomes 10.
int correctedListFontSize(std::string_view text);

// Applies a font name (left out when empty) and a size text (left out when empty or not a whole
// number) to the main window's station list; a size the list then has outside 3 to 20 becomes 10.
void applyListFont(MainWindowHost& host, std::string_view name, std::string_view size);

}  // namespace kinvo
