#pragma once
// An encoder plug-in's options: a table of the items it knows, each with its test of a value and
// its default, stored in the options file under the section named by the plug-in's output type
// (its four characters, spaces kept: "[MP3 ]"). Called on the host's main thread; never throws.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kinvo::enc {

struct OptionRule {
    std::string_view item;
    bool (*valid)(std::string_view value);
    std::string_view fallback;  // the value when the file has none or a bad one
};

// The four characters of a type code ("MP3 " for SONARI_FOURCC('M','P','3',' ')).
std::string typeText(uint32_t type);

// The body of SetConfigItem: stores item = value in ownType's section when type is ownType, item is
// in rules and value passes its test; answers 1 then, 0 otherwise (and when the file cannot be
// written).
int32_t storeOption(uint32_t ownType, std::span<const OptionRule> rules, uint32_t type,
                    const char* item, const char* value, const char* configFile) noexcept;

// The value of rule's item in ownType's section of configFile, or the rule's default when it is
// missing or fails the test (configFile may be null).
std::string readOption(uint32_t ownType, const OptionRule& rule, const char* configFile);

// Whole numbers in [low, high], and decimals ("4.5", "-1") in [low, high].
std::optional<int> parseWhole(std::string_view text, int low, int high) noexcept;
std::optional<double> parseDecimal(std::string_view text, double low, double high) noexcept;

}  // namespace kinvo::enc
