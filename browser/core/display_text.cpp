#include "browser/core/display_text.h"

#include <QStringDecoder>

namespace kinvo {
namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned codes keep their C1 control meaning, as
// Windows' own conversion does. Every other byte is the Latin-1 character of the same code.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        *dst++ = QChar(code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : char16_t{code});
    }
    return out;
}

// A leading byte-order mark is part of the text, not a marker to strip.
QStringDecoder utf8Decoder() {
    return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                      QStringConverter::Flag::ConvertInitialBom);
}

QByteArrayView view(std::string_view bytes) {
    return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

bool isUtf8(std::string_view bytes) {
    QStringDecoder utf8 = utf8Decoder();
    // decode() is lazy: the conversion, and so the error check, happens on making the QString.
    const QString text = utf8.decode(view(bytes));
    return !utf8.hasError();
}

QString displayText(std::string_view bytes) {
    QStringDecoder utf8 = utf8Decoder();
    QString text = utf8.decode(view(bytes));
    if (!utf8.hasError()) {
        return text;
    }
    return fromWindows1252(bytes);
}

}  // namespace kinvo
