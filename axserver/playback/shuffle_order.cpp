#include "axserver/playback/shuffle_order.h"

#include <numeric>
#include <utility>

namespace vexa::playback {

bool ShuffleOrder::step(int32_t step, playlist::EntryList& entries, bool repeat,
                        RandomGenerator& random) {
    if (step == kForget) {
        order_.clear();
        builtFor_ = -1;
        position_ = 0;
        return false;
    }
    const int32_t n = entries.count();
    if (n == 0) {
        builtFor_ = -1;
        return false;
    }
    if (builtFor_ == n && static_cast<int32_t>(order_.size()) == n && !entries.changed()) {
        position_ += step;
    } else {
        rebuild(n, random);
        entries.takeChanged();
    }
    bool wrapped = false;
    if (position_ >= n) {
        position_ = repeat ? 0 : n - 1;
        wrapped = true;
    } else if (position_ < 0) {
        position_ = 0;
        wrapped = true;
    }
    entries.setCurrent(order_[static_cast<size_t>(position_)]);
    return wrapped;
}

void ShuffleOrder::rebuild(int32_t n, RandomGenerator& random) {
    order_.resize(static_cast<size_t>(n));
    std::iota(order_.begin(), order_.end(), 0);
    // The first draw decides how many more are thrown away before the order is drawn.
    const int32_t skip = random.draw() % 37 + 18;
    for (int32_t k = 0; k < skip; ++k) {
        random.draw();
    }
    for (int32_t i = 0; i + 1 < n; ++i) {
        const int32_t j = random.draw() % (n - i - 1) + i + 1;
        if (random.draw() % (n - i) != 0) {
            std::swap(order_[static_cast<size_t>(i)], order_[static_cast<size_t>(j)]);
        }
    }
    builtFor_ = n;
    position_ = 0;
}

}  // namespace vexa::playback
