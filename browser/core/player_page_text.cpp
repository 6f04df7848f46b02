#include "browser/core/player_page_text.h"

#include "browser/core/texts.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kinvo {
namespace {

namespace tp = texts::page;

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

bool endsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

bool containsAny(std::string_view text, std::initializer_list<std::string_view> parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [text](std::string_view part) { return text.find(part) != text.npos; });
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return;
    }
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != text.npos; at = text.find(from, start)) {
        result.append(text, start, at - start);
        result.append(to);
        start = at + from.size();
    }
    result.append(text, start);
    text = std::move(result);
}

void removeAll(std::string& text, std::string_view piece) {
    replaceAll(text, piece, {});
}

std::string server(const PageValues& values, std::string_view path) {
    std::string address(texts::kScheme);
    address += values.dataServer;
    address += path;
    return address;
}

struct Builder {
    std::string text;
    Builder& operator<<(std::string_view piece) {
        text += piece;
        return *this;
    }
    Builder& line(std::string_view piece) {
        text += piece;
        text += tp::kLineEnd;
        return *this;
    }
    Builder& quoted(std::string_view address) {
        text += '"';
        text += address;
        text += '"';
        return *this;
    }
};

std::string flashText(const PageValues& v) {
    Builder b;
    b << tp::kFlash1;
    b.quoted(server(v, tp::kFlashCabinetPath) + std::string(tp::kFlash1Version));
    b << tp::kFlash1End << tp::kFlash2 << tp::kFlash3 << tp::kFlash4 << tp::kFlash5;
    b.quoted(server(v, tp::kFlashDownloadPath));
    b << tp::kFlash5End << tp::kObjectEnd;
    return b.text;
}

std::string quickTimeText(const PageValues& v) {
    Builder b;
    b << tp::kQuickTime1 << tp::kQuickTime2;
    b.quoted(server(v, tp::kQuickTimeCabinetPath)) << " ";
    b << tp::kQuickTime3 << tp::kQuickTime4 << tp::kQuickTime5 << tp::kQuickTime6 << tp::kQuickTime7
      << tp::kQuickTime8 << tp::kQuickTime9 << tp::kQuickTime10 << tp::kQuickTime11
      << tp::kQuickTime12 << tp::kQuickTime13 << tp::kQuickTime14 << tp::kQuickTime15;
    b.quoted(server(v, tp::kQuickTimeDownloadPath)) << ">";
    b << tp::kQuickTime16 << tp::kObjectEnd;
    return b.text;
}

std::string windowsMediaText(const PageValues& v) {
    Builder b;
    b << tp::kMedia1;
    b.quoted(server(v, tp::kWindowsMediaCabinetPath) + std::string(tp::kMedia1Version));
    b << tp::kLineEnd;
    b.line(tp::kMedia2).line(tp::kMedia3).line(tp::kMedia4).line(tp::kMedia5);
    b.line(tp::kMedia6).line(tp::kMedia7);
    b.line(v.showControls ? tp::kMediaControlsOn : tp::kMediaControlsOff);
    b.line(tp::kObjectEnd);
    return b.text;
}

std::string realPlayerText(const PageValues& v) {
    Builder b;
    if (!v.showControls) {
        b << tp::kReal1 << tp::kReal2 << tp::kReal3 << tp::kReal4 << tp::kReal5 << tp::kObjectEnd;
        return b.text;
    }
    b << tp::kRealPanel1 << tp::kRealConsole << tp::kReal4 << tp::kReal5 << tp::kReal3
      << tp::kObjectEnd;
    b << tp::kRealPanelRow << tp::kRealPanel8 << tp::kRealConsole << tp::kReal4 << tp::kRealPanel11
      << tp::kReal3 << tp::kObjectEnd;
    b.line(tp::kPlayerCellEnd);
    return b.text;
}

std::string skeleton() {
    Builder b;
    b.line(tp::kHtml).line(tp::kBody).line(tp::kTable).line(tp::kSpacerRow);
    b.line(tp::kPlayerRow).line(tp::kPlayerCell).line(tp::kObj).line(tp::kPlayerCellEnd);
    b.line(tp::kSpacerRow).line(tp::kPageEnd);
    return b.text;
}

std::string controlPage(const PageValues& v) {
    Builder b;
    b << tp::kHtml;
    b.line(tp::kControlBody).line(tp::kTable).line(tp::kSpacerRow).line(tp::kPlayerRow);
    b.line(tp::kPlayerCell).line(tp::kControlScriptStart).line(tp::kControlVar);
    b << tp::kControlWrite << server(v, tp::kControlCabinetPath);
    b.line(tp::kControlWriteEnd);
    for (std::string_view line : tp::kControlScript) {
        b.line(line);
    }
    b.line(tp::kPlayerCellEnd).line(tp::kSpacerRow).line(tp::kPageEnd);
    return b.text;
}

}  // namespace

std::string pageColour(std::optional<std::int64_t> colourNumber) {
    const auto value = static_cast<std::uint64_t>(colourNumber.value_or(0)) & 0xFFFFFFu;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string colour;
    // Red is the low byte, so it comes first in HTML's order.
    for (int shift : {0, 8, 16}) {
        const auto byte = static_cast<unsigned>((value >> shift) & 0xFFu);
        colour += kDigits[byte >> 4];
        colour += kDigits[byte & 0xFu];
    }
    return colour;
}

Player choosePlayer(std::string_view decodedAddress) {
    const std::string address = upper(decodedAddress);
    if (endsWith(address, ".SWF") || endsWith(address, ".DCR")) {
        return Player::Flash;
    }
    if (endsWith(address, ".MOV") || endsWith(address, ".QT") || endsWith(address, ".MOVIE")) {
        return Player::QuickTime;
    }
    if (containsAny(address, {"PLUGIN=W", ".MPEG", ".MPG", ".ASF", ".WMV", ".ASX", "MMS://"})) {
        return Player::WindowsMedia;
    }
    if (address.find(".QRX") != address.npos) {
        return Player::PlaybackControl;
    }
    return Player::RealPlayer;
}

std::string_view controlPageAddress(std::string_view decodedAddress) {
    const std::size_t question = decodedAddress.rfind('?');
    return question == decodedAddress.npos ? decodedAddress : decodedAddress.substr(0, question);
}

std::string escapePageAddress(std::string_view address) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(address.size());
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || c == '"' || c == '<' || c == '>' || c == '\\') {
            result += '%';
            result += kDigits[byte >> 4];
            result += kDigits[byte & 0xFu];
        } else {
            result += c;
        }
    }
    return result;
}

std::string halfHeightText(int zoomPercent) {
    const int twice = 100 - zoomPercent;
    std::string text = std::to_string(twice / 2);
    if (twice % 2 != 0) {
        text += ".5";
    }
    return text + "%";
}

std::string playerText(const PageValues& values) {
    switch (values.player) {
        case Player::Flash:
            return flashText(values);
        case Player::QuickTime:
            return quickTimeText(values);
        case Player::WindowsMedia:
            return windowsMediaText(values);
        case Player::RealPlayer:
            return realPlayerText(values);
        case Player::PlaybackControl:
            break;
    }
    return {};
}

std::string playerPage(const PageValues& values) {
    std::string page = values.player == Player::PlaybackControl ? controlPage(values) : skeleton();
    replaceAll(page, tp::kObj, playerText(values));
    replaceAll(page, tp::kUrl, escapePageAddress(values.address));
    replaceAll(page, tp::kBkColor, values.colour);
    replaceAll(page, tp::kWPercent, std::to_string(values.zoomPercent) + "%");
    if (values.zoomPercent == 100) {
        std::string spacer(tp::kSpacerRow);
        replaceAll(spacer, tp::kBkColor, values.colour);
        removeAll(page, spacer);
    } else {
        replaceAll(page, tp::kHHalf, halfHeightText(values.zoomPercent));
    }
    return page;
}

}  // namespace kinvo
