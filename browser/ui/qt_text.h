#pragma once
// The browser's texts (UTF-8 bytes) as Qt strings.

#include <QString>

#include <string_view>

namespace kinvo {

inline QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace kinvo
