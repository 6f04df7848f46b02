/* A test encoder library that makes nothing: it exports ExtAudio3 and SetConfigItem (refusing
 * everything) but no CreateAudio3, so the host releases it and tries the next library. */
#include <sonari/encoder.h>

SONARI_EXPORT void ExtAudio3(SonariWindow hostWindow, int32_t reserved1, int32_t reserved2) {
    (void)hostWindow;
    (void)reserved1;
    (void)reserved2;
}

SONARI_EXPORT int32_t SetConfigItem(uint32_t outputType, const char* item, const char* value,
                                    const char* configFile) {
    (void)outputType;
    (void)item;
    (void)value;
    (void)configFile;
    return 0;
}
