/* Every header of the interface, compiled as C11 with -pedantic. */
#include <sonari/host_messages.h>
#include <sonari/in_module.h>
#include <sonari/out_module.h>
#include <sonari/types.h>

SONARI_STATIC_ASSERT(sizeof(SonariWindow) == 4, "window handles are 32 bits");
