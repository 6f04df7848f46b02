#include "axserver/convert/wav_name.h"

namespace vexa {

std::string wavDestinationName(std::string_view destination) {
    const size_t slash = destination.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = destination.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart || destination.size() - dot - 1 < 3) {
        return std::string(destination);
    }
    return std::string(destination.substr(0, dot + 1)) + "WAV";
}

}  // namespace vexa
