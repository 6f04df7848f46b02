#include "runtimes/qtml/dispatch/handle_table.h"

#include <cstdlib>
#include <cstring>

namespace kinvo::qtml {

void HandleTable::BlockFree::operator()(Block* block) const noexcept {
    std::free(block->master);
    delete block;
}

HandleTable::~HandleTable() = default;

QtmlHandle HandleTable::make(size_t size) noexcept {
    // At least one byte, so that an empty handle still has a master pointer.
    char* bytes = static_cast<char*>(std::calloc(size > 0 ? size : 1, 1));
    Block* raw = bytes != nullptr ? new (std::nothrow) Block{bytes, size} : nullptr;
    if (raw == nullptr) {
        std::free(bytes);
        return nullptr;
    }
    std::unique_ptr<Block, BlockFree> block(raw);
    QtmlHandle handle = &raw->master;
    try {
        blocks_.emplace(handle, std::move(block));
    } catch (...) {
        return nullptr;
    }
    return handle;
}

bool HandleTable::dispose(QtmlHandle handle) noexcept {
    return blocks_.erase(handle) > 0;
}

std::optional<size_t> HandleTable::size(QtmlHandle handle) const noexcept {
    const auto found = blocks_.find(handle);
    if (found == blocks_.end()) {
        return std::nullopt;
    }
    return found->second->size;
}

bool HandleTable::resize(QtmlHandle handle, size_t size) noexcept {
    const auto found = blocks_.find(handle);
    if (found == blocks_.end()) {
        return false;
    }
    Block& block = *found->second;
    char* bytes = static_cast<char*>(std::realloc(block.master, size > 0 ? size : 1));
    if (bytes == nullptr) {
        return false;
    }
    if (size > block.size) {
        std::memset(bytes + block.size, 0, size - block.size);
    }
    block.master = bytes;
    block.size = size;
    return true;
}

}  // namespace kinvo::qtml
