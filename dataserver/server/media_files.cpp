#include "dataserver/server/media_files.h"

#include <cctype>
#include <map>
#include <system_error>

#include "dataserver/server/query.h"

namespace kinvo::ds {

std::optional<std::filesystem::path> resolveMediaFile(const std::filesystem::path& root,
                                                      std::string_view relative) {
    std::string decoded = percentDecode(relative, false);
    if (decoded.empty() || decoded.find('\0') != std::string::npos || decoded.front() == '/') {
        return std::nullopt;
    }
    std::filesystem::path rel(decoded);
    for (const auto& part : rel) {
        if (part == ".." || part == ".") {
            return std::nullopt;
        }
    }
    std::error_code ec;
    std::filesystem::path full = std::filesystem::canonical(root / rel, ec);
    if (ec) {
        return std::nullopt;
    }
    // A link inside the folder may point outside it.
    auto [r, f] = std::mismatch(root.begin(), root.end(), full.begin(), full.end());
    if (r != root.end()) {
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(full, ec)) {
        return std::nullopt;
    }
    return full;
}

std::string mediaContentType(const std::filesystem::path& file) {
    static const std::map<std::string, std::string> kTypes = {
        {".swf", "application/x-shockwave-flash"},
        {".flv", "video/x-flv"},
        {".mov", "video/quicktime"},
        {".qt", "video/quicktime"},
        {".mp4", "video/mp4"},
        {".m4v", "video/mp4"},
        {".wmv", "video/x-ms-wmv"},
        {".asf", "video/x-ms-asf"},
        {".asx", "video/x-ms-asf"},
        {".mpg", "video/mpeg"},
        {".mpeg", "video/mpeg"},
        {".rm", "application/vnd.rn-realmedia"},
        {".mp3", "audio/mpeg"},
        {".ogg", "audio/ogg"},
        {".wav", "audio/wav"},
        {".webm", "video/webm"},
        {".jpg", "image/jpeg"},
        {".png", "image/png"},
        {".m3u", "audio/x-mpegurl"},
        {".pls", "audio/x-scpls"},
    };
    std::string ext = file.extension().string();
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    auto it = kTypes.find(ext);
    return it == kTypes.end() ? std::string("application/octet-stream") : it->second;
}

}  // namespace kinvo::ds
