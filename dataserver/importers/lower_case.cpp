#include "dataserver/importers/lower_case.h"

#include <cctype>

namespace kinvo::ds {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace kinvo::ds
