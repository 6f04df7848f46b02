#include "catalogue/capitals.h"

namespace kinvo {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::size_t findInCapitals(std::string_view text, std::string_view capitals, std::size_t from) {
    if (capitals.size() > text.size()) {
        return std::string_view::npos;
    }
    const std::size_t last = text.size() - capitals.size();
    for (std::size_t i = from; i <= last; ++i) {
        std::size_t k = 0;
        while (k < capitals.size() && upper(text[i + k]) == capitals[k]) {
            ++k;
        }
        if (k == capitals.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace kinvo
