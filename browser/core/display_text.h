#pragma once
// Catalogue texts are bytes from end to end; only a list's display turns them into characters.

#include <QString>

#include <string_view>

namespace kinvo {

// True when the bytes are valid UTF-8 (a leading byte-order mark counts as a character).
bool isUtf8(std::string_view bytes);

// The characters a list shows for a text: UTF-8 when the bytes are valid UTF-8, else
// Windows-1252 (the code page the catalogue's stations were first written in).
QString displayText(std::string_view bytes);

}  // namespace kinvo
