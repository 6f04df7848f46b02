// vexactl's command language: one command a line, turned into the channel command it stands
// for, and the output lines it prints. Pure functions; main.cpp runs them against a server.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel/values.h"

namespace vexa::ctl {

struct ScriptCommand {
    enum class Kind { kCommand, kList, kWaitEvent, kQuit, kEmpty } kind = Kind::kEmpty;
    int32_t number = 0;          // kCommand: the command number
    Values args;                 // kCommand: the packed arguments
    std::string resultTypes;     // kCommand: how to read the results
    bool rawTypes = false;       // kCommand from "raw": args typed by the line, not the table
    int32_t eventCode = 0;       // kWaitEvent
    double timeoutSeconds = 10;  // kWaitEvent
};

// nullopt with `error` set when the line is not a command.
std::optional<ScriptCommand> parseLine(std::string_view line, std::string& error);

// Blank-separated words; double quotes group blanks into a word ("a b"), \" and \\ escape.
std::vector<std::string> splitWords(std::string_view line);

// "status\tresult\t..." - the status as an unsigned 32-bit decimal, d and l results as signed
// decimals, texts as they are.
std::string formatReply(uint32_t status, const Values& results);
std::string formatEvent(int32_t code, intptr_t lParam);               // "event\tcode\tlParam"
std::string formatStatus(int32_t code, intptr_t value);               // "status\tcode\tvalue"
std::string formatMetadata(const std::string& text, int32_t number);  // "metadata\ttext\tnumber"

}  // namespace vexa::ctl
