#pragma once
// One registry hive file in ".reg" text form, read and written:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\ZEM\Kelpo]
//   "ProxyEnable"=dword:00000001
//   "ProxyServer"="proxy.example:8080"
//   @="the key's default value"
//
// Texts escape "\" and '"' with a backslash, line breaks as \n and \r. Keys and value names keep
// their spelling and are found without regard to case. A file that breaks these rules is damaged:
// parseHive names the line, and the hive is never rewritten from a damaged file. Pure functions,
// thread-safe.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

struct RegValue {
    enum class Type { String, Dword };
    Type type = Type::String;
    std::string text;          // String
    std::uint32_t number = 0;  // Dword

    static RegValue string(std::string_view value) { return {Type::String, std::string(value), 0}; }
    static RegValue dword(std::uint32_t value) { return {Type::Dword, {}, value}; }
    bool operator==(const RegValue&) const = default;
};

struct HiveValue {
    std::string name;  // "" is the default value, written "@"
    RegValue value;
};

struct HiveKey {
    std::string path;  // with its root: "HKEY_LOCAL_MACHINE\Software\ZEM\Kelpo"
    std::vector<HiveValue> values;
};

struct Hive {
    std::deque<HiveKey> keys;  // a deque: keys stay in place as others are added

    HiveKey* findKey(std::string_view path);
    const HiveKey* findKey(std::string_view path) const;
    HiveKey& createKey(std::string_view path);
    static const HiveValue* findValue(const HiveKey& key, std::string_view name);
    static void setValue(HiveKey& key, std::string_view name, const RegValue& value);
};

struct HiveParse {
    std::optional<Hive> hive;  // none: damaged
    int errorLine = 0;         // 1-based, with `error`
    std::string error;
};

HiveParse parseHive(std::string_view text);
std::string writeHive(const Hive& hive);

bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace win
