#include "runtimes/qtml/dispatch/movie_drawing.h"

namespace kinvo::qtml {
namespace {

class PlacedTarget final : public PictureTarget {
  public:
    PlacedTarget(DrawingTarget& to, int left, int top) : to_(to), left_(left), top_(top) {}
    void present(const uint8_t* bgra, int width, int height, int stride) noexcept override {
        to_.draw(bgra, width, height, stride, left_, top_);
    }

  private:
    DrawingTarget& to_;
    int left_;
    int top_;
};

}  // namespace

bool drawMovie(const Runtime& runtime, MovieEntry& entry, bool again) noexcept {
    DrawingTarget* to = runtime.target(entry.port);
    if (to == nullptr) {
        return false;
    }
    PlacedTarget placed(*to, entry.boxLeft, entry.boxTop);
    return again ? entry.movie.presentAgain(placed) : entry.movie.presentDue(placed);
}

}  // namespace kinvo::qtml
