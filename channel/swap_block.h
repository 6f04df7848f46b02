// The clients' swap block "VexaSwap_%d\n" (the name ends with a line feed): five 32-bit fields,
// state, slot1, slot2, slot3, slot4. A client creates it (and removes its name when done); the
// server opens the existing one for command 800.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vexa {

class SwapBlock {
  public:
    SwapBlock(SwapBlock&&) noexcept;
    SwapBlock& operator=(SwapBlock&&) noexcept;
    ~SwapBlock();

    static std::string nameFor(int32_t swapNumber);
    // Client side: a new zero-filled block; nullopt when it cannot be made.
    static std::optional<SwapBlock> create(int32_t swapNumber);
    // Server side: the existing block with full access; nullopt when there is none.
    static std::optional<SwapBlock> open(int32_t swapNumber);

    int32_t get(int field) const;
    void set(int field, int32_t value);

  private:
    SwapBlock() = default;
    struct Mapping;
    template <class Block>
    friend std::optional<Block> attachBlock(const std::string& name, size_t size, bool create);
    std::unique_ptr<Mapping> mapping_;
    uint8_t* base_ = nullptr;
};

}  // namespace vexa
