#pragma once
// The layout of an off-screen buffer object as the runtime hands it out: the value
// QTML_NEW_BUFFER stores is the address of this record. Callers (and the tests) may read the
// pixels through it; only the runtime writes it. It stays valid until QTML_DISPOSE_BUFFER;
// QTML_UPDATE_BUFFER may move `pixels`.

#include <cstdint>

namespace kinvo::qtml {

struct BufferView {
    uint32_t format;  // 'BGRA': 4 bytes a pixel, blue first
    int32_t width;
    int32_t height;
    int32_t stride;   // bytes from one row to the next: width * 4
    uint8_t* pixels;  // height rows; all zero (transparent black) until drawn into
};

}  // namespace kinvo::qtml
