// vexactl burn [--speed N] [--test] [--pauses S,S,...] DRIVE FILE...: one audio disc through the
// server. Creates a burn request for the drive letter (755), adds the files in order (756; a
// refused file ends the run), sets each track's pause in seconds (759), starts the burn (758 with
// the test-write flag, underrun protection, the speed and disc at once) and prints the relayed
// progress: "started", "converting track N" (1-based), "converting N%", "burning N%", then "done"
// (exit 0) or "failed" (exit 1). The request is freed (757) at the end. The thread that owns the
// client runs it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/client/vexa_client.h"

namespace vexa::ctl {

struct BurnJob {
    char drive = 0;
    std::vector<std::string> files;  // absolute names
    int32_t speed = 0;
    bool testWrite = false;
    std::vector<int32_t> pauses;  // seconds before each track, in order
};

// The job for the words after "burn"; nullopt with `error` set when they make none.
std::optional<BurnJob> burnArguments(const std::vector<std::string>& words, std::string& error);

// The line printed for a relayed burn status; empty for other statuses.
std::string burnStatusLine(int32_t code, int64_t value);

// Runs the burn on a started client; the process's exit code.
int runBurn(VexaClient& client, const BurnJob& job);

}  // namespace vexa::ctl
