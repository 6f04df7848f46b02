#include "runtimes/qtml/movie/packet_queue.h"

#include <utility>

namespace kinvo::qtml {

bool PacketQueue::push(AVPacket& packet) {
    ffmpeg::Packet kept;
    if (!spare_.empty()) {
        kept = std::move(spare_.back());
        spare_.pop_back();
    } else {
        kept = ffmpeg::makePacket();
        if (!kept) {
            av_packet_unref(&packet);
            return false;
        }
    }
    av_packet_move_ref(kept.get(), &packet);
    queue_.push_back(std::move(kept));
    return true;
}

void PacketQueue::pop() {
    av_packet_unref(queue_.front().get());
    spare_.push_back(std::move(queue_.front()));
    queue_.pop_front();
}

void PacketQueue::clear() {
    while (!queue_.empty()) {
        pop();
    }
}

}  // namespace kinvo::qtml
