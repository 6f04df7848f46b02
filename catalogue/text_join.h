#pragma once
// Joins constant texts at compile time. The fixed pieces of a request are built from the words
// of the request vocabulary, so each word is written once and each piece is still a plain
// constant: join<kPath, kQueryStart, kKey, kIs> is the text of the four one after the other.

#include <array>
#include <cstddef>
#include <string_view>

namespace kinvo {

namespace detail {

template <const std::string_view&... Parts>
struct JoinedText {
    static constexpr std::array<char, (Parts.size() + ... + 0)> chars = [] {
        std::array<char, (Parts.size() + ... + 0)> out{};
        std::size_t at = 0;
        for (std::string_view part : {std::string_view(), Parts...}) {
            for (char c : part) {
                out[at++] = c;
            }
        }
        return out;
    }();
};

}  // namespace detail

template <const std::string_view&... Parts>
inline constexpr std::string_view join{detail::JoinedText<Parts...>::chars.data(),
                                       detail::JoinedText<Parts...>::chars.size()};

}  // namespace kinvo
