/* Every header of the interface, compiled as C11 with -pedantic. */
#include <sonari/encoder.h>
#include <sonari/extended_read.h>
#include <sonari/host_messages.h>
#include <sonari/in_module.h>
#include <sonari/out_module.h>
#include <sonari/types.h>

SONARI_STATIC_ASSERT(sizeof(SonariWindow) == 4, "window handles are 32 bits");
SONARI_STATIC_ASSERT(SONARI_TYPE_WAV == 0x20564157u, "FOURCCs are little-endian");
SONARI_STATIC_ASSERT(sizeof(SonariEncoderOps) == 2 * sizeof(void*), "two operations");
