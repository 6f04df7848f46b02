#include "browser/core/list_font.h"

#include "browser/core/main_window_host.h"
#include "browser/core/settings_store.h"

namespace kinvo {

namespace {
bool inRange(std::int64_t size) {
    return size >= kSmallestListFontSize && size <= kLargestListFontSize;
}
}  // namespace

int correctedListFontSize(std::string_view text) {
    const auto size = parseWholeNumber(text);
    return size && inRange(*size) ? static_cast<int>(*size) : kFallbackListFontSize;
}

void applyListFont(MainWindowHost& host, std::string_view name, std::string_view size) {
    if (!name.empty()) {
        host.setListFontName(name);
    }
    // A size that is not a number is left out; the list keeps its size (taking it as fatal would
    // end start-up with the window hidden and disabled for the whole run).
    if (const auto points = parseWholeNumber(size);
        points && *points >= -1'000'000 && *points <= 1'000'000) {
        host.setListFontSize(static_cast<int>(*points));
    }
    if (!inRange(host.listFontSize())) {
        host.setListFontSize(kFallbackListFontSize);
    }
}

}  // namespace kinvo
