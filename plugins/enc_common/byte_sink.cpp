#include "plugins/enc_common/byte_sink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kinvo::enc {

void ByteSink::write(const uint8_t* data, size_t size) {
    // Bytes the host already has: remembered for the file.
    if (position_ < handedOut_ && size > 0) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(handedOut_ - position_, size));
        patches_.push_back(Patch{position_, std::vector<uint8_t>(data, data + count)});
        position_ += static_cast<int64_t>(count);
        data += count;
        size -= count;
    }
    // Bytes still waiting: changed in place.
    if (position_ < size_ && size > 0) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(size_ - position_, size));
        const size_t index = front_ + static_cast<size_t>(position_ - handedOut_);
        std::memcpy(pending_.data() + index, data, count);
        position_ += static_cast<int64_t>(count);
        data += count;
        size -= count;
    }
    if (size == 0) {
        return;
    }
    // New bytes; a seek past the end leaves zeros between.
    pending_.resize(pending_.size() + static_cast<size_t>(position_ - size_), 0);
    pending_.insert(pending_.end(), data, data + size);
    position_ += static_cast<int64_t>(size);
    size_ = position_;
}

int64_t ByteSink::seek(int64_t offset, int whence) noexcept {
    int64_t target = offset;
    if (whence == SEEK_CUR) {
        target = position_ + offset;
    } else if (whence == SEEK_END) {
        target = size_ + offset;
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (target < 0) {
        return -1;
    }
    position_ = target;
    return position_;
}

size_t ByteSink::take(uint8_t* out, size_t capacity) noexcept {
    const size_t count = std::min(capacity, pendingBytes());
    if (count == 0) {
        return 0;
    }
    std::memcpy(out, pending_.data() + front_, count);
    front_ += count;
    handedOut_ += static_cast<int64_t>(count);
    if (front_ == pending_.size()) {
        pending_.clear();
        front_ = 0;
    }
    return count;
}

}  // namespace kinvo::enc
