#include "plugins/enc_common/options.h"

#include <charconv>

#include "plugins/enc_common/ini_file.h"

namespace kinvo::enc {

namespace {

const OptionRule* findRule(std::span<const OptionRule> rules, std::string_view item) noexcept {
    for (const OptionRule& rule : rules) {
        if (rule.item == item) {
            return &rule;
        }
    }
    return nullptr;
}

}  // namespace

std::string typeText(uint32_t type) {
    std::string text(4, ' ');
    for (size_t i = 0; i < 4; ++i) {
        text[i] = static_cast<char>((type >> (8 * i)) & 0xFF);
    }
    return text;
}

int32_t storeOption(uint32_t ownType, std::span<const OptionRule> rules, uint32_t type,
                    const char* item, const char* value, const char* configFile) noexcept {
    if (type != ownType || item == nullptr || value == nullptr || configFile == nullptr) {
        return 0;
    }
    const OptionRule* rule = findRule(rules, item);
    if (rule == nullptr || !rule->valid(value)) {
        return 0;
    }
    try {
        return writeIniValue(configFile, typeText(ownType), item, value) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

std::string readOption(uint32_t ownType, const OptionRule& rule, const char* configFile) {
    if (configFile != nullptr) {
        const auto stored = readIniValue(configFile, typeText(ownType), rule.item);
        if (stored && rule.valid(*stored)) {
            return *stored;
        }
    }
    return std::string(rule.fallback);
}

std::optional<int> parseWhole(std::string_view text, int low, int high) noexcept {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseDecimal(std::string_view text, double low, double high) noexcept {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace kinvo::enc
