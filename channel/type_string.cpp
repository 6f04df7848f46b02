#include "channel/type_string.h"

#include <cstring>

namespace vexa {

bool isTypeString(std::string_view types) {
    for (char c : types) {
        if (c != 'd' && c != 'l' && c != 's') {
            return false;
        }
    }
    return true;
}

std::string typesOf(const Values& values) {
    std::string types;
    types.reserve(values.size());
    for (const Value& v : values) {
        types.push_back(v.type);
    }
    return types;
}

std::optional<Values> readValues(std::span<const uint8_t> payload, int32_t fill,
                                 std::string_view types) {
    if (!isTypeString(types)) {
        return std::nullopt;
    }
    // A fill beyond the payload can never be consumed exactly by values that lie inside it.
    if (fill < 0 || static_cast<uint64_t>(fill) > payload.size()) {
        return std::nullopt;
    }
    Values values;
    values.reserve(types.size());
    size_t cursor = 0;
    size_t remaining = static_cast<size_t>(fill);
    for (char letter : types) {
        Value v;
        v.type = letter;
        if (letter == 'd') {
            if (remaining < 2) {
                return std::nullopt;
            }
            uint16_t raw = static_cast<uint16_t>(payload[cursor] | (payload[cursor + 1] << 8));
            v.number = static_cast<int16_t>(raw);
            cursor += 2;
            remaining -= 2;
        } else if (letter == 'l') {
            if (remaining < 4) {
                return std::nullopt;
            }
            uint32_t raw = 0;
            for (int i = 3; i >= 0; --i) {
                raw = (raw << 8) | payload[cursor + i];
            }
            v.number = static_cast<int32_t>(raw);
            cursor += 4;
            remaining -= 4;
        } else {
            const void* zero = std::memchr(payload.data() + cursor, 0, remaining);
            if (zero == nullptr) {
                return std::nullopt;
            }
            size_t length = static_cast<const uint8_t*>(zero) - (payload.data() + cursor);
            v.text.assign(reinterpret_cast<const char*>(payload.data() + cursor), length);
            cursor += length + 1;
            remaining -= length + 1;
        }
        values.push_back(std::move(v));
    }
    if (remaining != 0) {
        return std::nullopt;
    }
    return values;
}

size_t packedSize(const Values& values) {
    size_t size = 0;
    for (const Value& v : values) {
        size += v.type == 'd' ? 2 : v.type == 'l' ? 4 : v.text.size() + 1;
    }
    return size;
}

std::optional<int32_t> writeValues(std::span<uint8_t> payload, const Values& values) {
    for (const Value& v : values) {
        if (v.type != 'd' && v.type != 'l' && v.type != 's') {
            return std::nullopt;
        }
        // A zero inside a text would end it early on the reading side.
        if (v.type == 's' && v.text.find('\0') != std::string::npos) {
            return std::nullopt;
        }
    }
    size_t size = packedSize(values);
    if (size > payload.size() || size > static_cast<size_t>(INT32_MAX)) {
        return std::nullopt;
    }
    size_t cursor = 0;
    for (const Value& v : values) {
        if (v.type == 'd') {
            uint16_t raw = static_cast<uint16_t>(v.number);
            payload[cursor++] = static_cast<uint8_t>(raw);
            payload[cursor++] = static_cast<uint8_t>(raw >> 8);
        } else if (v.type == 'l') {
            uint32_t raw = static_cast<uint32_t>(v.number);
            for (int i = 0; i < 4; ++i) {
                payload[cursor++] = static_cast<uint8_t>(raw >> (8 * i));
            }
        } else {
            std::memcpy(payload.data() + cursor, v.text.data(), v.text.size());
            cursor += v.text.size();
            payload[cursor++] = 0;
        }
    }
    return static_cast<int32_t>(size);
}

bool textsWithinLimits(const Values& values, std::span<const uint32_t> limits) {
    size_t textIndex = 0;
    for (const Value& v : values) {
        if (v.type != 's') {
            continue;
        }
        if (textIndex < limits.size() && v.text.size() > limits[textIndex]) {
            return false;
        }
        ++textIndex;
    }
    return true;
}

}  // namespace vexa
