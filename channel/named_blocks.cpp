// The control block's and the swap block's named mappings.
#include <cstdio>
#include <cstring>
#include <utility>

#include "channel/control_block.h"
#include "channel/protocol.h"
#include "channel/swap_block.h"
#include "platform/shared_memory.h"

namespace vexa {

namespace {

// A named block and its one view, kept together.
struct NamedView {
    win::SharedMemory memory;
    win::Mapping view;
};

std::unique_ptr<NamedView> mapBlock(const std::string& name, size_t size, bool create) {
    auto memory = create ? win::SharedMemory::create(name, size) : win::SharedMemory::open(name);
    if (!memory || memory->size() < size) {
        return nullptr;
    }
    win::Mapping view = memory->map();
    if (!view) {
        return nullptr;
    }
    return std::make_unique<NamedView>(NamedView{std::move(*memory), std::move(view)});
}

}  // namespace

struct ControlBlock::Mapping {
    std::unique_ptr<NamedView> named;
};

struct SwapBlock::Mapping {
    std::unique_ptr<NamedView> named;
};

// Creates or opens the named block and gives its view to a new Block; nullopt when the name
// cannot be mapped at that size.
template <class Block>
std::optional<Block> attachBlock(const std::string& name, size_t size, bool create) {
    auto named = mapBlock(name, size, create);
    if (!named) {
        return std::nullopt;
    }
    Block block;
    block.base_ = named->view.data();
    block.mapping_ =
        std::make_unique<typename Block::Mapping>(typename Block::Mapping{std::move(named)});
    return block;
}

ControlBlock::ControlBlock() = default;
ControlBlock::~ControlBlock() = default;

ControlBlock::ControlBlock(ControlBlock&& other) noexcept
    : mapping_(std::move(other.mapping_)), base_(std::exchange(other.base_, nullptr)) {}

ControlBlock& ControlBlock::operator=(ControlBlock&& other) noexcept {
    if (this != &other) {
        mapping_ = std::move(other.mapping_);
        base_ = std::exchange(other.base_, nullptr);
    }
    return *this;
}

ControlBlock ControlBlock::create(uint32_t serverWindow) {
    if (serverWindow == 0) {
        return ControlBlock();
    }
    std::optional<ControlBlock> block =
        attachBlock<ControlBlock>(nameFor(serverWindow), kBlockSize, true);
    if (!block) {
        return ControlBlock();
    }
    block->setFill(kFillEmpty);
    return std::move(*block);
}

std::optional<ControlBlock> ControlBlock::open(uint32_t serverWindow) {
    return attachBlock<ControlBlock>(nameFor(serverWindow), kBlockSize, false);
}

SwapBlock::SwapBlock(SwapBlock&& other) noexcept
    : mapping_(std::move(other.mapping_)), base_(std::exchange(other.base_, nullptr)) {}

SwapBlock& SwapBlock::operator=(SwapBlock&& other) noexcept {
    mapping_ = std::move(other.mapping_);
    base_ = std::exchange(other.base_, nullptr);
    return *this;
}

SwapBlock::~SwapBlock() = default;

std::string SwapBlock::nameFor(int32_t swapNumber) {
    char name[40];
    std::snprintf(name, sizeof name, kSwapBlockFormat, static_cast<int>(swapNumber));
    return name;
}

std::optional<SwapBlock> SwapBlock::create(int32_t swapNumber) {
    return attachBlock<SwapBlock>(nameFor(swapNumber), kSwapBlockSize, true);
}

std::optional<SwapBlock> SwapBlock::open(int32_t swapNumber) {
    return attachBlock<SwapBlock>(nameFor(swapNumber), kSwapBlockSize, false);
}

int32_t SwapBlock::get(int field) const {
    int32_t v;
    std::memcpy(&v, base_ + 4 * field, sizeof v);
    return v;
}

void SwapBlock::set(int field, int32_t value) {
    std::memcpy(base_ + 4 * field, &value, sizeof value);
}

}  // namespace vexa
