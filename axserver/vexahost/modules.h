// The modules vexahost is built from, wired to the server core.
#pragma once

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

// Makes every module that exists; the server core stands in for the others.
ServerModules makeServerModules(ServerLink& link);

}  // namespace vexa
