#include "plugins/in_av/addresses.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cctype>

namespace kinvo::in_av {

namespace {

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string schemeOf(std::string_view name) {
    const size_t colon = name.find("://");
    if (colon == std::string_view::npos || colon == 0) {
        return {};
    }
    return lower(name.substr(0, colon));
}

}  // namespace

std::set<std::string> inputProtocols() {
    std::set<std::string> names;
    void* opaque = nullptr;
    while (const char* name = avio_enum_protocols(&opaque, 0)) {
        names.insert(name);
    }
    // RTSP is a demuxer of FFmpeg rather than one of its protocols.
    if (av_find_input_format("rtsp") != nullptr) {
        names.insert("rtsp");
    }
    return names;
}

bool isNetworkAddress(std::string_view name) {
    const std::string scheme = schemeOf(name);
    return !scheme.empty() && scheme != "file";
}

std::string lowerExtension(std::string_view name) {
    name = name.substr(0, name.find('?'));
    const size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    const size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : lower(name.substr(dot + 1));
}

bool claimsAddress(std::string_view name, const std::set<std::string>& protocols) {
    const std::string scheme = schemeOf(name);
    static constexpr std::string_view kSchemes[] = {"http", "https", "mms", "rtsp", "rtmp"};
    if (std::find(std::begin(kSchemes), std::end(kSchemes), scheme) == std::end(kSchemes)) {
        return false;
    }
    if (openCandidates(name, protocols).empty()) {
        return false;
    }
    const std::string extension = lowerExtension(name);
    return extension != "mov" && extension != "qt" && extension != "m4p";
}

std::vector<std::string> openCandidates(std::string_view name,
                                        const std::set<std::string>& protocols) {
    const std::string scheme = schemeOf(name);
    std::vector<std::string> candidates;
    if (scheme == "mms") {
        const std::string_view rest = name.substr(scheme.size());
        for (const char* replacement : {"mmsh", "mmst"}) {
            if (protocols.count(replacement) != 0) {
                candidates.push_back(replacement + std::string(rest));
            }
        }
    } else if (protocols.count(scheme) != 0) {
        candidates.emplace_back(name);
    }
    return candidates;
}

}  // namespace kinvo::in_av
