// The extended-information walks of the input host: the plug-ins that take a file are tried in
// table order (find plug-in with a start index moved past each one found), and the export found
// for a lookup key is remembered, so a second name with the same key goes straight to it, or
// straight to "none" without searching the libraries again.
#include <algorithm>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/inputs/lookup_key.h"
#include "axserver/inputs/texts.h"

namespace vexa {

namespace {

std::string cacheKeyOf(std::string_view file) {
    std::string key = lookupKey(file);
    if (key.size() > kCacheKeyLimit) {
        key.resize(kCacheKeyLimit);
    }
    return key;
}

}  // namespace

int32_t InputPluginHost::getExtendedInfo(std::string_view file, std::string_view key,
                                         std::string& value, size_t outSize) {
    value.clear();
    if (outSize == 0) {
        return 0;
    }
    const std::string cacheKey = cacheKeyOf(file);
    SonariGetExtendedFileInfoFn fn = nullptr;
    if (!cacheKey.empty() && cacheKey == getCache_.key) {
        fn = reinterpret_cast<SonariGetExtendedFileInfoFn>(getCache_.primary);
    } else {
        for (int index = findPluginFrom(file, 0); index >= 0;
             index = findPluginFrom(file, index + 1)) {
            getCache_.key = cacheKey;
            getCache_.primary = exportOf(static_cast<size_t>(index), SONARI_GET_EXTENDED_FILE_INFO);
            if (getCache_.primary != nullptr) {
                fn = reinterpret_cast<SonariGetExtendedFileInfoFn>(getCache_.primary);
                break;
            }
        }
    }
    if (fn == nullptr) {
        return 0;
    }
    std::string out(outSize, '\0');
    const std::string fileText(file);
    const std::string keyText(key);
    int32_t answer = fn(fileText.c_str(), keyText.c_str(), out.data(),
                        static_cast<int32_t>(std::min<size_t>(outSize, INT32_MAX)));
    if (answer != 0) {
        out.back() = '\0';
        value = out.c_str();
    }
    return answer;
}

int32_t InputPluginHost::setExtendedInfo(std::string_view file, std::string_view key,
                                         std::string_view value) {
    const std::string cacheKey = cacheKeyOf(file);
    SonariSetExtendedFileInfoFn fn = nullptr;
    if (!cacheKey.empty() && cacheKey == setCache_.key) {
        fn = reinterpret_cast<SonariSetExtendedFileInfoFn>(setCache_.primary);
    } else {
        bool accepted = false;
        for (int index = findPluginFrom(file, 0); index >= 0;
             index = findPluginFrom(file, index + 1)) {
            accepted = true;
            setCache_.key = cacheKey;
            setCache_.primary = exportOf(static_cast<size_t>(index), SONARI_SET_EXTENDED_FILE_INFO);
            setCache_.write = exportOf(static_cast<size_t>(index), SONARI_WRITE_EXTENDED_FILE_INFO);
            if (setCache_.primary != nullptr) {
                fn = reinterpret_cast<SonariSetExtendedFileInfoFn>(setCache_.primary);
                break;
            }
        }
        if (!accepted) {
            setCache_.key.clear();
        }
    }
    if (fn == nullptr) {
        return 0;
    }
    const std::string fileText(file);
    const std::string keyText(key);
    const std::string valueText(value);
    return fn(fileText.c_str(), keyText.c_str(), valueText.c_str());
}

int32_t InputPluginHost::writeExtendedInfo() {
    auto fn = reinterpret_cast<SonariWriteExtendedFileInfoFn>(setCache_.write);
    return fn != nullptr ? fn() : 0;
}

}  // namespace vexa
