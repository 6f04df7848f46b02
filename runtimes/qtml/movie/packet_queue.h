#pragma once
// Packets read for one stream and not yet decoded, in order; emptied packets are kept for the
// next ones, so that a steady play allocates no packet.
//
// Threads: the movie thread's own. Error policy: push answers false when no packet can be
// allocated (the packet is then dropped); nothing throws except std::bad_alloc from the
// containers.

#include <cstddef>
#include <deque>
#include <vector>

#include "lib/ffmpeg/handles.h"

namespace kinvo::qtml {

class PacketQueue {
  public:
    // Takes the packet's data (the packet is left empty for the next read).
    bool push(AVPacket& packet);
    bool empty() const noexcept { return queue_.empty(); }
    size_t size() const noexcept { return queue_.size(); }
    AVPacket* front() const noexcept { return queue_.front().get(); }
    void pop();
    void clear();

  private:
    std::deque<ffmpeg::Packet> queue_;
    std::vector<ffmpeg::Packet> spare_;
};

}  // namespace kinvo::qtml
