// A mapped named block (internal to the channel): what ControlBlock and SwapBlock hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vexa::detail {

class NamedMapping {
  public:
    // create: a new zero-filled block of `size` bytes whose name this object removes when it
    // goes; else the existing block. nullptr when that fails.
    static std::unique_ptr<NamedMapping> map(const std::string& name, size_t size, bool create);
    ~NamedMapping();
    NamedMapping(const NamedMapping&) = delete;
    NamedMapping& operator=(const NamedMapping&) = delete;

    uint8_t* data() const { return static_cast<uint8_t*>(address_); }

  private:
    NamedMapping() = default;
    void* address_ = nullptr;
    size_t size_ = 0;
    std::string unlinkName_;
};

}  // namespace vexa::detail
