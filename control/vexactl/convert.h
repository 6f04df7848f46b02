// vexactl convert SOURCE DESTINATION TYPE [RATE BITS CHANNELS]: one conversion through the
// server. Starts it (command 747), prints "progress N%" for every status 224 and "done" at
// status 225, then ends it (748). The thread that owns the client runs it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel/values.h"
#include "control/client/vexa_client.h"

namespace vexa::ctl {

// A FOURCC from its text: one to four characters, blanks added up to four ("WAV" -> "WAV ");
// nullopt for an empty or longer text.
std::optional<uint32_t> parseFourcc(std::string_view text);

// The arguments of command 747 for the words after "convert" ("ssll", or "sslllll" with the WAV
// parameters); nullopt with `error` set when they do not make a conversion.
std::optional<Values> convertArguments(const std::vector<std::string>& words, std::string& error);

// Runs the conversion on a started client; the process's exit code (0 done, 1 failed, the
// server's error text on standard error).
int runConvert(VexaClient& client, const Values& arguments);

}  // namespace vexa::ctl
