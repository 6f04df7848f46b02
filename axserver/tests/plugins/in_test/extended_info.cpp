// The extended-information exports of the in_test_ext variant: answers come from the
// "ext=KEY|VALUE" lines of the configuration; "setext=" and "writeext=" give the answers of set and
// write.
#include <sonari/in_module.h>

#include <string>

#include "axserver/tests/plugins/in_test/in_test_state.h"

using testplugin::config;
using testplugin::log;

extern "C" {

SONARI_EXPORT int32_t sonariGetExtendedFileInfo(const char* file, const char* key, char* out,
                                                int32_t outSize) {
    log("getext " + std::string(file) + " " + key);
    for (const auto& item : config.all("ext")) {
        auto parts = testplugin::split(item, '|');
        if (parts.size() == 2 && parts[0] == key) {
            testplugin::copyText(out, static_cast<size_t>(outSize), parts[1]);
            return 1;
        }
    }
    return 0;
}

SONARI_EXPORT int32_t sonariSetExtendedFileInfo(const char* file, const char* key,
                                                const char* value) {
    log("setext " + std::string(file) + " " + key + " " + value);
    if (std::string(key) == "run") {
        testplugin::startScript(file);
    }
    return config.number("setext", 1);
}

SONARI_EXPORT int32_t sonariWriteExtendedFileInfo(void) {
    log("writeext");
    return config.number("writeext", 1);
}

SONARI_EXPORT void setUseCustomDRM(int32_t value) {
    log("drm " + std::to_string(value));
}

}  // extern "C"
