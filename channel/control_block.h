// The control block: the shared memory "Vexa_<server window>" of 65540 bytes, a 32-bit fill
// count followed by the payload, through which command arguments, results and metadata travel.
//
// vexahost creates it (and removes its name at shutdown); a client opens the existing one. The
// block's `lock` orders the accesses of vexahost's own threads (the main thread's commands and
// plug-in threads' metadata); between processes the synchronous sends order the accesses.
// Failures: a block without a view (creation or mapping failed) refuses every read and write.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "channel/values.h"

namespace vexa {

class ControlBlock {
  public:
    ControlBlock();  // no view
    ControlBlock(ControlBlock&&) noexcept;
    ControlBlock& operator=(ControlBlock&&) noexcept;
    ~ControlBlock();

    // The block's name for a server window handle, "Vexa_%d" with the handle as signed decimal.
    static std::string nameFor(uint32_t serverWindow);

    // Server side: creates (or takes over a stale) block, zero-filled, fill -1. A block without
    // a view when that fails.
    static ControlBlock create(uint32_t serverWindow);
    // Client side: opens the existing block; nullopt when there is none.
    static std::optional<ControlBlock> open(uint32_t serverWindow);
    // A block over memory the caller owns (tests, fuzzing); `memory` holds kBlockSize bytes.
    static ControlBlock over(std::span<uint8_t> memory);

    bool hasView() const { return base_ != nullptr; }

    // Guards the view's contents among vexahost's threads; hold it around read and write.
    std::mutex& lock() { return lock_; }

    // Reads values by type string under the reading rules, then sets fill to -1 (also when the
    // read fails). Texts longer than their `limits` (one per "s" in order) fail the read.
    std::optional<Values> readArgs(std::string_view types, std::span<const uint32_t> limits = {});
    // Reads values without touching fill (a client reading results or metadata).
    std::optional<Values> peek(std::string_view types) const;
    // fill := 0, then the values appended; false (block untouched) without a view or when they
    // do not fit.
    bool write(const Values& values);

    int32_t fill() const;
    void setFill(int32_t fill);
    // The payload bytes (empty without a view).
    std::span<uint8_t> payload();
    std::span<const uint8_t> payload() const;

  private:
    struct Mapping;
    template <class Block>
    friend std::optional<Block> attachBlock(const std::string& name, size_t size, bool create);
    std::unique_ptr<Mapping> mapping_;  // owns the shared memory, if any
    uint8_t* base_ = nullptr;
    std::mutex lock_;
};

}  // namespace vexa
