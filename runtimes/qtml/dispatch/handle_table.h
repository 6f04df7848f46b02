#pragma once
// The runtime's handles: a handle is the address of a master pointer to a block of bytes, which
// the runtime may move when the block is resized. Each handle knows its byte count.
//
// Threads: the runtime's, with its lock held. Error policy: make answers null and resize false
// when memory runs out; a value that is not a live handle of this table is refused (false,
// empty size). Nothing throws.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

#include "runtimes/qtml/include/qtml/qtml.h"

namespace kinvo::qtml {

class HandleTable {
  public:
    HandleTable() = default;
    ~HandleTable();
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // A handle to `size` zero bytes.
    QtmlHandle make(size_t size) noexcept;
    bool dispose(QtmlHandle handle) noexcept;
    std::optional<size_t> size(QtmlHandle handle) const noexcept;
    // A new byte count; the bytes kept are the first ones, new ones are zero.
    bool resize(QtmlHandle handle, size_t size) noexcept;

  private:
    struct Block {
        char* master = nullptr;  // first: the handle is the block's address
        size_t size = 0;
    };
    struct BlockFree {
        void operator()(Block* block) const noexcept;
    };

    std::unordered_map<QtmlHandle, std::unique_ptr<Block, BlockFree>> blocks_;
};

}  // namespace kinvo::qtml
