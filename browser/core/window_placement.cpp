#include "browser/core/window_placement.h"

#include "browser/core/settings_store.h"
#include "browser/core/texts.h"

namespace kinvo {

namespace {
constexpr std::string_view kNeverWritten = "\x01never";  // no stored text can equal it

// A stored number of twips; nullopt for text that is not one, or a value no screen could hold
// (kept out so that the window's pixel arithmetic can't overflow).
std::optional<int> twipsValue(std::string_view text) {
    constexpr std::int64_t kLimit = 10'000'000;
    const auto value = parseWholeNumber(text);
    if (!value || *value < -kLimit || *value > kLimit) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}
}  // namespace

StoredPlacement readStoredPlacement(const SettingsStore& settings) {
    StoredPlacement stored;
    stored.width = settings.readText(texts::kKeyWidth, "1000");
    stored.height = settings.readText(texts::kKeyHeight, "1000");
    std::string top = settings.readText(texts::kKeyTop, kNeverWritten);
    if (top != kNeverWritten) {
        stored.top = std::move(top);
    }
    std::string left = settings.readText(texts::kKeyLeft, kNeverWritten);
    if (left != kNeverWritten) {
        stored.left = std::move(left);
    }
    return stored;
}

TwipRect startupPlacement(const StoredPlacement& stored, TwipRect current, int screenWidth,
                          int screenHeight) {
    TwipRect r = current;
    if (auto width = twipsValue(stored.width)) {
        r.width = *width;
    }
    if (auto height = twipsValue(stored.height)) {
        r.height = *height;
    }
    // A position never stored centres the window at the size it opens with: centring it for
    // the size just set (1000 twips by default) would leave the opening window hanging off the
    // screen's right and bottom edges on every first run.
    if (!stored.top) {
        r.top = screenHeight / 2 - kOpeningWindowHeight / 2;
    } else if (auto top = parseWholeNumber(*stored.top)) {
        r.top = *top;
    }
    if (!stored.left) {
        r.left = screenWidth / 2 - kOpeningWindowWidth / 2;
    } else if (auto left = parseWholeNumber(*stored.left)) {
        r.left = *left;
    }
    if (r.top < 0 || r.top > screenHeight) {
        r.top = screenHeight / 2;
    }
    if (r.left > screenWidth || r.left < 0) {
        r.left = screenWidth / 2;
    }
    return r;
}

void storePlacement(SettingsStore& settings, const TwipRect& normal) {
    settings.write(texts::kKeyTop, std::to_string(normal.top));
    settings.write(texts::kKeyLeft, std::to_string(normal.left));
    settings.write(texts::kKeyWidth, std::to_string(normal.width));
    settings.write(texts::kKeyHeight, std::to_string(normal.height));
}

}  // namespace kinvo
