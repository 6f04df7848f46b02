#pragma once
// The program's commands and options, parsed into plain values. Parsing never exits: it returns
// an error text for the caller to print with the usage.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dataserver/importers/importer.h"
#include "dataserver/server/http_server.h"

namespace kinvo::ds {

struct ImportCommand {
    std::string database;
    ImportOptions options;
    std::vector<std::string> files;
};

struct ServeCommand {
    ServeOptions options;
};

struct MessagesCommand {
    std::string database;
    int limit = 20;
};

struct HelpCommand {};

using Command = std::variant<HelpCommand, ImportCommand, ServeCommand, MessagesCommand>;

struct ParsedCommand {
    std::optional<Command> command;
    std::string error;  // set when command is empty
};

ParsedCommand parseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace kinvo::ds
