#include "axserver/playlist/m3u_reader.h"

#include <limits>

namespace vexa::playlist {

namespace {

constexpr std::string_view kExtM3u = "#EXTM3U";
constexpr std::string_view kExtInf = "#EXTINF:";
constexpr std::string_view kAsf = "ASF ";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view withoutLineFeed(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    return text;
}

// Where the title starts after the length: past the comma that follows it. Lists that carry
// attributes between the two (`-1 tvg-id="a,b" group-title="News",News 24`) have their title
// after the first comma outside quotes; without such a comma one character is skipped.
size_t titleStart(std::string_view rest) {
    if (rest.empty() || rest.front() == ',') {
        return std::min<size_t>(1, rest.size());
    }
    bool quoted = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '"') {
            quoted = !quoted;
        } else if (rest[i] == ',' && !quoted) {
            return i + 1;
        }
    }
    return 1;
}

}  // namespace

int32_t leadingInt(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int32_t>::max()) {
        value = std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

void M3uParser::skippedLine() noexcept {
    pendingTitle_.clear();
    pendingSeconds_ = -1;
}

std::optional<M3uEntry> M3uParser::line(std::string_view text) {
    if (text.starts_with(kExtM3u)) {
        extended_ = true;
        return std::nullopt;
    }
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '#' || text.front() == '\n' || text.front() == '\r') {
        if (extended_ && text.starts_with(kExtInf)) {
            std::string_view rest = text.substr(kExtInf.size());
            pendingSeconds_ = leadingInt(rest);
            while (!rest.empty() &&
                   ((rest.front() >= '0' && rest.front() <= '9') || rest.front() == '-')) {
                rest.remove_prefix(1);
            }
            if (rest.empty()) {
                skippedLine();
            } else {
                rest = withoutLineFeed(rest);
                rest.remove_prefix(titleStart(rest));
                pendingTitle_ = std::string(rest.substr(0, kMaxPendingTitle));
            }
        } else {
            skippedLine();
        }
        return std::nullopt;
    }

    text = withoutLineFeed(text);
    M3uEntry entry;
    if (text.starts_with(kAsf) && text.size() > kAsf.size()) {
        entry.name = std::string(text.substr(kAsf.size()));
        entry.asf = true;
    } else {
        entry.name = std::string(text);
    }
    if (!pendingTitle_.empty()) {
        entry.title = std::move(pendingTitle_);
        entry.seconds = pendingSeconds_;
    }
    skippedLine();
    return entry;
}

LineRead readLine(std::FILE* file, std::string& line) {
    line.clear();
    size_t read = 0;  // characters of this line before its line feed (a CR of CR LF not counted)
    bool zero = false;
    for (;;) {
        const int c = getc_unlocked(file);
        if (c == EOF) {
            // A last line without a line feed is still a line.
            if (!zero && !line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line.empty() && read == 0 ? LineRead::kEnd : LineRead::kLine;
        }
        if (c == '\n') {
            if (!zero && !line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            line.push_back('\n');
            return LineRead::kLine;
        }
        if (read == kMaxLineLength - 1 && c != '\r') {
            // Longer than a line may be: drop the rest through its line feed.
            int rest = c;
            while (rest != '\n') {
                if (rest == EOF) {
                    return LineRead::kEnd;
                }
                rest = getc_unlocked(file);
            }
            return LineRead::kTooLong;
        }
        if (c != '\r' || read < kMaxLineLength - 1) {
            ++read;
        }
        zero = zero || c == '\0';
        if (!zero) {
            line.push_back(static_cast<char>(c));
        }
    }
}

}  // namespace vexa::playlist
