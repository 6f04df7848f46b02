// How a server module receives the commands the command table routes to it.
//
// Contract: the server core calls handleCommand on the main thread, from the server window's
// procedure, one command at a time in arrival order. The module reads its arguments through the
// call (which applies the row's type string and text limits; the block's fill is -1 afterwards
// whatever the outcome), carries out the effect and answers the command's status. A failed
// argument read must answer kStatusFailed and change nothing. Results are written only on
// success (the rows that say otherwise excepted). Never throws.
#pragma once

#include <optional>

#include "axserver/channel/command_table.h"
#include "axserver/channel/values.h"
#include "platform/message_types.h"

namespace vexa {

class CommandCall {
public:
    virtual ~CommandCall() = default;

    virtual const CommandInfo& info() const = 0;
    int32_t number() const { return info().number; }
    // wParam of the command message (the argument of 800 and 801).
    virtual win::WPARAM wParam() const = 0;

    // The arguments by the row's type string; nullopt when they do not fill the block exactly,
    // a text is over its limit, or the block has no view.
    virtual std::optional<Values> readArgs() = 0;
    // Writes results into the block (fill := their size); false when the block has no view or
    // they do not fit, in which case nothing is written.
    virtual bool writeResults(const Values& results) = 0;
};

class CommandModule {
public:
    virtual ~CommandModule() = default;
    // Main thread. Answers the command's status (the send's result).
    virtual win::LRESULT handleCommand(CommandCall& call) noexcept = 0;
};

}  // namespace vexa
