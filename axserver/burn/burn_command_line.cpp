#include "axserver/burn/burn_command_line.h"

#include <cstdio>
#include <vector>

#include "axserver/burn/texts.h"
#include "axserver/playlist/m3u_reader.h"

namespace vexa {

std::string burnCommandLine(const std::string& program, const BurnArguments& a) {
    // The program's path is kept to 259 characters, as the system's buffer held it.
    std::string line = "\"" + program.substr(0, 259) + "\"";
    const auto& n = a.numbers;
    const int size = std::snprintf(nullptr, 0, burn_texts::kCommandLine, a.drive,
                                   a.listFile.c_str(), n[0], n[1], n[2], n[3], n[4], n[5]);
    std::vector<char> text(static_cast<size_t>(size) + 1);
    std::snprintf(text.data(), text.size(), burn_texts::kCommandLine, a.drive, a.listFile.c_str(),
                  n[0], n[1], n[2], n[3], n[4], n[5]);
    return line + text.data();
}

std::optional<BurnArguments> parseBurnArguments(std::string_view text) {
    if (text.size() < 3) {
        return std::nullopt;
    }
    BurnArguments a;
    a.drive = text[0];
    const std::string_view rest = text.substr(3);
    a.listFile = std::string(rest.substr(0, rest.find('"')));
    size_t at = 0;
    for (int32_t& number : a.numbers) {
        const size_t comma = rest.find(',', at);
        if (comma == std::string_view::npos) {
            break;  // the remaining numbers stay 0
        }
        number = playlist::leadingInt(rest.substr(comma + 1));
        at = comma + 1;
    }
    return a;
}

}  // namespace vexa
