#pragma once
// Reads a request's query (or a form body) as the browser writes it: "name=value" pairs joined
// by "&", blanks sent as "+", nothing else escaped. A value that itself holds "&" or "%" arrives
// cut or garbled; the parser never fails on that, it just yields what is there.
//
// Bounds: at most kMaxParams pairs are read; a value longer than kMaxValue counts as absent.
// Pure; no errors.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kinvo::ds {

class Query {
  public:
    static constexpr std::size_t kMaxParams = 32;
    static constexpr std::size_t kMaxValue = 2048;

    static Query parse(std::string_view raw);

    // The first parameter of that name (ASCII letter case ignored), with "+" read as a blank
    // and well-formed %XX sequences decoded (a real client may escape what the browser does
    // not). nullopt when absent or too long.
    std::optional<std::string> value(std::string_view name) const;

    // Everything after the first "name=" to the end of the query, exactly as sent: the browser
    // appends station addresses and names last and unescaped, so an "&" inside them is theirs.
    std::optional<std::string> rest(std::string_view name) const;

    bool has(std::string_view name) const;

  private:
    std::string raw_;
    // Offsets into raw_: name begin, name size, value begin, value size.
    struct Pair {
        std::size_t name = 0;
        std::size_t nameSize = 0;
        std::size_t value = 0;
        std::size_t valueSize = 0;
        bool hasValue = false;
    };
    std::vector<Pair> pairs_;

    const Pair* find(std::string_view name) const;
};

// Decodes %XX sequences (and "+" as a blank when asked); a "%" not followed by two hex digits
// stays as it is.
std::string percentDecode(std::string_view text, bool plusIsBlank);

}  // namespace kinvo::ds
