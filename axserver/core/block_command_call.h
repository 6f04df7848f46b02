// A command as it reaches the server window: its table row, wParam, and the control block that
// holds its arguments and takes its results (both under the block's lock).
#pragma once

#include "axserver/modules/command_module.h"
#include "channel/control_block.h"

namespace vexa {

class BlockCommandCall final : public CommandCall {
  public:
    BlockCommandCall(const CommandInfo& info, win::WPARAM wParam, ControlBlock& block)
        : info_(info), wParam_(wParam), block_(block) {}

    const CommandInfo& info() const override { return info_; }
    win::WPARAM wParam() const override { return wParam_; }
    std::optional<Values> readArgs() override {
        std::lock_guard guard(block_.lock());
        std::string_view types = info_.args;
        if (!info_.longArgs.empty() && !block_.peek(types)) {
            types = info_.longArgs;
        }
        return block_.readArgs(types, info_.limits());
    }
    bool writeResults(const Values& results) override {
        std::lock_guard guard(block_.lock());
        return block_.write(results);
    }

  private:
    const CommandInfo& info_;
    win::WPARAM wParam_;
    ControlBlock& block_;
};

}  // namespace vexa
