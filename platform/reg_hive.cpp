#include "platform/reg_hive.h"

#include "platform/trimmed.h"

#include <cstdio>

namespace win {
namespace {

using detail::trimmed;

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Reads a quoted text at the start of `s`; moves `s` past it.
bool takeQuoted(std::string_view& s, std::string& out) {
    if (s.empty() || s.front() != '"') {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\\') {
            if (i + 1 >= s.size()) {
                return false;
            }
            const char e = s[++i];
            if (e == 'n') {
                out += '\n';
            } else if (e == 'r') {
                out += '\r';
            } else if (e == '\\' || e == '"') {
                out += e;
            } else {
                return false;
            }
        } else if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        // Line breaks inside a text would split its line: they travel as \n and \r.
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            if (c == '\\' || c == '"') {
                out += '\\';
            }
            out += c;
        }
    }
    return out + "\"";
}

std::string_view normalKey(std::string_view path) {
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return path;
}

}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

HiveKey* Hive::findKey(std::string_view path) {
    path = normalKey(path);
    for (HiveKey& key : keys) {
        if (equalsNoCase(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

const HiveKey* Hive::findKey(std::string_view path) const {
    return const_cast<Hive*>(this)->findKey(path);
}

HiveKey& Hive::createKey(std::string_view path) {
    if (HiveKey* key = findKey(path)) {
        return *key;
    }
    keys.push_back(HiveKey{std::string(normalKey(path)), {}});
    return keys.back();
}

const HiveValue* Hive::findValue(const HiveKey& key, std::string_view name) {
    for (const HiveValue& value : key.values) {
        if (equalsNoCase(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void Hive::setValue(HiveKey& key, std::string_view name, const RegValue& value) {
    for (HiveValue& existing : key.values) {
        if (equalsNoCase(existing.name, name)) {
            existing.value = value;
            return;
        }
    }
    key.values.push_back(HiveValue{std::string(name), value});
}

HiveParse parseHive(std::string_view text) {
    HiveParse result;
    auto fail = [&](int line, const char* why) {
        result.hive.reset();
        result.errorLine = line;
        result.error = why;
        return result;
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Hive hive;
    HiveKey* current = nullptr;
    bool sawHeader = false;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        line = trimmed(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!sawHeader) {
            if (line != kHeader && line != kOldHeader) {
                return fail(lineNumber, "not a registry file (header missing)");
            }
            sawHeader = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                return fail(lineNumber, "bad key line");
            }
            current = &hive.createKey(line.substr(1, line.size() - 2));
            continue;
        }
        if (current == nullptr) {
            return fail(lineNumber, "value outside a key");
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (!takeQuoted(line, name)) {
            return fail(lineNumber, "bad value name");
        }
        line = trimmed(line);
        if (line.empty() || line.front() != '=') {
            return fail(lineNumber, "'=' missing");
        }
        line = trimmed(line.substr(1));
        RegValue value;
        if (!line.empty() && line.front() == '"') {
            std::string content;
            if (!takeQuoted(line, content) || !trimmed(line).empty()) {
                return fail(lineNumber, "bad text value");
            }
            value = RegValue::string(content);
        } else if (line.size() == 14 && equalsNoCase(line.substr(0, 6), "dword:")) {
            std::uint32_t number = 0;
            for (const char c : line.substr(6)) {
                const char l = lower(c);
                const int digit = l >= '0' && l <= '9'   ? l - '0'
                                  : l >= 'a' && l <= 'f' ? l - 'a' + 10
                                                         : -1;
                if (digit < 0) {
                    return fail(lineNumber, "bad dword value");
                }
                number = number * 16 + static_cast<std::uint32_t>(digit);
            }
            value = RegValue::dword(number);
        } else {
            return fail(lineNumber, "unsupported value type");
        }
        // On Windows a later line of the same name replaces the earlier one.
        Hive::setValue(*current, name, value);
    }
    result.hive = std::move(hive);
    return result;
}

std::string writeHive(const Hive& hive) {
    std::string out(kHeader);
    out += "\n";
    for (const HiveKey& key : hive.keys) {
        out += "\n[" + key.path + "]\n";
        for (const HiveValue& value : key.values) {
            out += value.name.empty() ? std::string("@") : quoted(value.name);
            out += '=';
            if (value.value.type == RegValue::Type::Dword) {
                char number[16];
                std::snprintf(number, sizeof number, "dword:%08x", value.value.number);
                out += number;
            } else {
                out += quoted(value.value.text);
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace win
