#include "axserver/convert/media_runtime.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vexa {

int windowsMediaRuntimeVersion() {
    static const int version = avcodec_find_decoder(AV_CODEC_ID_WMAV2) != nullptr ? 9 : 0;
    return version;
}

}  // namespace vexa
