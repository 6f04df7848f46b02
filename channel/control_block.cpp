#include "channel/control_block.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "channel/protocol.h"
#include "channel/type_string.h"

namespace vexa {

std::string ControlBlock::nameFor(uint32_t serverWindow) {
    char name[32];
    std::snprintf(name, sizeof name, kControlBlockFormat, static_cast<int>(serverWindow));
    return name;
}

ControlBlock ControlBlock::over(std::span<uint8_t> memory) {
    ControlBlock block;
    if (memory.size() >= kBlockSize) {
        block.base_ = memory.data();
    }
    return block;
}

int32_t ControlBlock::fill() const {
    if (base_ == nullptr) {
        return kFillEmpty;
    }
    int32_t fill;
    std::memcpy(&fill, base_, sizeof fill);
    return fill;
}

void ControlBlock::setFill(int32_t fill) {
    if (base_ != nullptr) {
        std::memcpy(base_, &fill, sizeof fill);
    }
}

std::span<uint8_t> ControlBlock::payload() {
    if (base_ == nullptr) {
        return {};
    }
    return {base_ + 4, kPayloadSize};
}

std::span<const uint8_t> ControlBlock::payload() const {
    if (base_ == nullptr) {
        return {};
    }
    return {base_ + 4, kPayloadSize};
}

std::optional<Values> ControlBlock::readArgs(std::string_view types,
                                             std::span<const uint32_t> limits) {
    if (base_ == nullptr) {
        return std::nullopt;
    }
    auto values = readValues(payload(), fill(), types);
    setFill(kFillEmpty);
    if (values && !textsWithinLimits(*values, limits)) {
        return std::nullopt;
    }
    return values;
}

std::optional<Values> ControlBlock::peek(std::string_view types) const {
    if (base_ == nullptr) {
        return std::nullopt;
    }
    return readValues(payload(), fill(), types);
}

bool ControlBlock::write(const Values& values) {
    if (base_ == nullptr) {
        return false;
    }
    auto size = writeValues(payload(), values);
    if (!size) {
        return false;
    }
    setFill(*size);
    return true;
}

}  // namespace vexa
