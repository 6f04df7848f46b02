// The modules vexahost is built from, wired to the server core.
#pragma once

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

// Makes every module of the program's table; the ones not built yet are absent.
ServerModules makeServerModules(ServerLink& link);

}  // namespace vexa
