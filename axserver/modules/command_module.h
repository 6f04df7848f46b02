// A server module and the commands it answers.
//
// A module lists its commands as a table of rows, each a command number and the function that
// carries it out, the way a plug-in describes itself by a record: the server core routes a
// command to its row with one look-up (axserver/modules/command_router.h) and never switches on
// the module or the number. A number of the command table that no module lists answers "not
// implemented".
//
// Contract of a row's function: the server core calls it on the main thread, from the server
// window's procedure, one command at a time in arrival order. It reads its arguments through the
// call (which applies the row's type string and text limits; the block's fill is -1 afterwards
// whatever the outcome), carries out the effect and answers the command's status. A failed
// argument read must answer kStatusFailed and change nothing. Results are written only on
// success (the rows that say otherwise excepted). An exception it lets out answers
// kStatusFailed.
#pragma once

#include <optional>
#include <span>

#include "channel/command_table.h"
#include "channel/protocol.h"
#include "channel/values.h"
#include "platform/message_types.h"

namespace vexa {

class CommandCall {
  public:
    virtual ~CommandCall() = default;

    virtual const CommandInfo& info() const = 0;
    int32_t number() const { return info().number; }
    // wParam of the command message (the argument of 800 and 801).
    virtual win::WPARAM wParam() const = 0;

    // The arguments by the row's type string (or its long form, when the row has one and the
    // short one does not fill the block); nullopt when they do not fill the block exactly, a
    // text is over its limit, or the block has no view.
    virtual std::optional<Values> readArgs() = 0;
    // Writes results into the block (fill := their size); false when the block has no view or
    // they do not fit, in which case nothing is written.
    virtual bool writeResults(const Values& results) = 0;
};

class ServerModule;

// One command a module answers.
struct CommandHandler {
    using Run = win::LRESULT (*)(ServerModule& module, CommandCall& call);
    int32_t number;
    Run run;
};

// Every part of vexahost that the program makes at start-up. Made, used and destroyed on the
// main thread.
class ServerModule {
  public:
    virtual ~ServerModule() = default;
    // The commands this module answers, in any order; none by default. The rows must stay valid
    // as long as the module.
    virtual std::span<const CommandHandler> commands() const noexcept { return {}; }
};

namespace detail {
template <class Method>
struct MethodClass;
template <class C>
struct MethodClass<win::LRESULT (C::*)(CommandCall&)> {
    using type = C;
};
}  // namespace detail

// A row for a member function `win::LRESULT Module::handler(CommandCall&)`:
//   static constexpr CommandHandler kCommands[] = {on<&Playlist::append>(CMD_APPEND), ...};
template <auto Method>
constexpr CommandHandler on(int32_t number) {
    using Module = typename detail::MethodClass<decltype(Method)>::type;
    return {number, [](ServerModule& module, CommandCall& call) -> win::LRESULT {
                return (static_cast<Module&>(module).*Method)(call);
            }};
}

// Runs `use` with the command's one number argument; kStatusFailed (and no effect) when it cannot
// be read.
template <class Use>
win::LRESULT withNumber(CommandCall& call, Use use) {
    auto args = call.readArgs();
    if (!args) {
        return kStatusFailed;
    }
    use((*args)[0].number);
    return kStatusOk;
}

}  // namespace vexa
