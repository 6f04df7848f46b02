#pragma once
// Colours in the form the settings store them ("BKColor"): red in the lowest byte, then green,
// then blue; bits above the third byte are ignored.

#include <QColor>

#include <cstdint>

namespace kinvo {

inline QColor fromStoredColour(std::int64_t colour) {
    const auto value = static_cast<std::uint32_t>(colour) & 0xFFFFFFu;
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

inline std::int64_t toStoredColour(const QColor& colour) {
    return std::int64_t{colour.red()} | (std::int64_t{colour.green()} << 8) |
           (std::int64_t{colour.blue()} << 16);
}

}  // namespace kinvo
