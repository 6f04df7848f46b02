#include "control/vexactl/script.h"

#include <cerrno>
#include <cstdlib>

#include "channel/command_table.h"
#include "channel/protocol.h"
#include "channel/type_string.h"

namespace vexa::ctl {

namespace {

bool parseNumber(const std::string& word, int32_t& out) {
    if (word.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(word.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > UINT32_MAX) {
        return false;
    }
    out = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

std::string_view trim(std::string_view s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string_view::npos) {
        return {};
    }
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

ScriptCommand command(int32_t number, Values args = {}) {
    ScriptCommand c;
    c.kind = ScriptCommand::Kind::kCommand;
    c.number = number;
    c.args = std::move(args);
    if (const CommandInfo* info = findCommand(number)) {
        c.resultTypes = std::string(info->results);
    }
    return c;
}

}  // namespace

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char ch = line[i];
        if (ch == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
            word.push_back(line[++i]);
            inWord = true;
        } else if (ch == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n')) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word.push_back(ch);
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

std::optional<ScriptCommand> parseLine(std::string_view line, std::string& error) {
    line = trim(line);
    if (line.empty() || line[0] == '#') {
        return ScriptCommand{};
    }
    size_t cut = line.find_first_of(" \t");
    std::string name(line.substr(0, cut));
    std::string_view rest =
        cut == std::string_view::npos ? std::string_view() : trim(line.substr(cut));
    std::vector<std::string> words = splitWords(rest);

    struct Row {
        const char* name;
        int32_t number;
    };
    // Commands without arguments.
    static constexpr Row kPlain[] = {{"play", CMD_PLAY},
                                     {"stop", CMD_STOP},
                                     {"pause", CMD_PAUSE_TOGGLE},
                                     {"next", CMD_NEXT},
                                     {"prev", CMD_PREVIOUS},
                                     {"state", CMD_GET_STATE},
                                     {"clear", CMD_CLEAR},
                                     {"sort", CMD_SORT_BY_TITLE},
                                     {"randomize", CMD_RANDOMIZE},
                                     {"count", CMD_GET_COUNT},
                                     {"current", CMD_GET_CURRENT},
                                     {"current-entry", CMD_GET_CURRENT_ENTRY},
                                     {"position", CMD_GET_POSITION},
                                     {"length", CMD_GET_LENGTH},
                                     {"get-volume", CMD_GET_VOLUME},
                                     {"buffer", CMD_GET_BUFFER_STATUS},
                                     {"video-size", CMD_GET_VIDEO_SIZE},
                                     {"full-screen", CMD_ENTER_FULL_SCREEN},
                                     {"leave-full-screen", CMD_LEAVE_FULL_SCREEN}};
    for (const Row& p : kPlain) {
        if (name == p.name) {
            if (!words.empty()) {
                error = name + " takes no arguments";
                return std::nullopt;
            }
            return command(p.number);
        }
    }
    // Commands with numbers.
    static constexpr Row kNumbers[] = {{"seek", CMD_SEEK},
                                       {"volume", CMD_SET_VOLUME},
                                       {"info", CMD_GET_ENTRY_DETAILS},
                                       {"entry", CMD_GET_ENTRY},
                                       {"delete", CMD_DELETE_ENTRY},
                                       {"set-current", CMD_SET_CURRENT},
                                       {"swap", CMD_SWAP_ENTRIES},
                                       {"shuffle", CMD_SET_SHUFFLE},
                                       {"repeat", CMD_SET_REPEAT},
                                       {"video-parent", CMD_SET_VIDEO_PARENT},
                                       {"auto-size", CMD_SET_AUTO_SIZE},
                                       {"allow-overlay", CMD_SET_ALLOW_OVERLAY},
                                       {"subtitles", CMD_SET_SUBTITLES},
                                       {"show-logo", CMD_SET_SHOW_LOGO}};
    for (const Row& p : kNumbers) {
        if (name == p.name) {
            // Each takes as many numbers as its type string has letters.
            const std::string_view types = findCommand(p.number)->args;
            const size_t wanted = types.size();
            Values args;
            for (const std::string& w : words) {
                int32_t n = 0;
                if (!parseNumber(w, n) || args.size() == wanted) {
                    break;
                }
                args.push_back(types[args.size()] == 'd' ? Value::d(n) : Value::l(n));
            }
            if (words.size() != wanted || args.size() != wanted) {
                error = name + (wanted == 1 ? " takes one number" : " takes two numbers");
                return std::nullopt;
            }
            return command(p.number, std::move(args));
        }
    }
    // Commands with one name.
    static constexpr Row kNames[] = {
        {"append", CMD_APPEND}, {"load-m3u", CMD_LOAD_M3U}, {"load-pls", CMD_LOAD_PLS}};
    for (const Row& p : kNames) {
        if (name == p.name) {
            if (rest.empty()) {
                error = name + " takes a file or address";
                return std::nullopt;
            }
            // The rest of the line is the name as written, blanks and all.
            return command(p.number, {Value::s(std::string(rest))});
        }
    }
    if (name == "list" || name == "quit") {
        if (!words.empty()) {
            error = name + " takes no arguments";
            return std::nullopt;
        }
        ScriptCommand c;
        c.kind = name == "list" ? ScriptCommand::Kind::kList : ScriptCommand::Kind::kQuit;
        return c;
    }
    if (name == "wait-event") {
        ScriptCommand c;
        c.kind = ScriptCommand::Kind::kWaitEvent;
        char* end = nullptr;
        if (words.empty() || words.size() > 2 || !parseNumber(words[0], c.eventCode)) {
            error = "wait-event takes a code and an optional time-out in seconds";
            return std::nullopt;
        }
        if (words.size() == 2) {
            c.timeoutSeconds = std::strtod(words[1].c_str(), &end);
            if (*end != '\0' || !(c.timeoutSeconds >= 0) || c.timeoutSeconds > 86400) {
                error = "wait-event: bad time-out " + words[1];
                return std::nullopt;
            }
        }
        return c;
    }
    if (name == "raw") {
        int32_t number = 0;
        if (words.size() < 2 || !parseNumber(words[0], number)) {
            error = "raw takes a number, a type string (- for none) and the arguments";
            return std::nullopt;
        }
        std::string types = words[1] == "-" ? "" : words[1];
        if (!isTypeString(types) || types.size() != words.size() - 2) {
            error = "raw: the type string must have one letter (d, l, s) per argument";
            return std::nullopt;
        }
        Values args;
        for (size_t i = 0; i < types.size(); ++i) {
            const std::string& w = words[i + 2];
            int32_t n = 0;
            if (types[i] == 's') {
                args.push_back(Value::s(w));
            } else if (!parseNumber(w, n)) {
                error = "raw: not a number: " + w;
                return std::nullopt;
            } else {
                args.push_back(types[i] == 'd' ? Value::d(n) : Value::l(n));
            }
        }
        ScriptCommand c = command(number, std::move(args));
        c.rawTypes = true;
        return c;
    }
    error = "unknown command: " + name;
    return std::nullopt;
}

std::string formatReply(uint32_t status, const Values& results) {
    std::string line = std::to_string(status);
    for (const Value& v : results) {
        line.push_back('\t');
        line += v.type == 's' ? v.text : std::to_string(v.number);
    }
    return line;
}

std::string formatEvent(int32_t code, intptr_t lParam) {
    return "event\t" + std::to_string(code) + "\t" + std::to_string(lParam);
}

std::string formatStatus(int32_t code, intptr_t value) {
    return "status\t" + std::to_string(code) + "\t" + std::to_string(value);
}

std::string formatMetadata(const std::string& text, int32_t number) {
    return "metadata\t" + text + "\t" + std::to_string(number);
}

}  // namespace vexa::ctl
