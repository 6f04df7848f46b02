#pragma once
// An off-screen BGRA buffer a movie can draw into instead of a window.
//
// Threads: the runtime's, with its lock held. Error policy: make and resize answer null / false
// when the size is empty or too large or memory runs out; nothing throws.

#include <cstdint>
#include <memory>
#include <vector>

#include "runtimes/qtml/port/buffer_view.h"
#include "runtimes/qtml/port/drawing_target.h"

namespace kinvo::qtml {

class OffscreenBuffer final : public DrawingTarget {
  public:
    static std::unique_ptr<OffscreenBuffer> make(int width, int height) noexcept;
    // A new size; the pixels start again all zero.
    bool resize(int width, int height) noexcept;
    // The record handed out for this buffer.
    const BufferView* view() const noexcept { return &view_; }

    void draw(const uint8_t* bgra, int width, int height, int stride, int x,
              int y) noexcept override;

  private:
    OffscreenBuffer() = default;

    std::vector<uint8_t> pixels_;
    BufferView view_{};
};

}  // namespace kinvo::qtml
