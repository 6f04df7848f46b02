#include "axserver/playlist/entry_list.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace vexa::playlist {

namespace {

constexpr size_t kMaxShortTitle = 255;
constexpr int32_t kGrowth = 16;
constexpr int32_t kSpare = 128;
constexpr int32_t kShrinkSlack = 256;

unsigned char folded(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a')
                                  : static_cast<unsigned char>(c);
}

bool titleLess(const Entry& a, const Entry& b) {
    return std::lexicographical_compare(a.title.begin(), a.title.end(), b.title.begin(),
                                        b.title.end(),
                                        [](char x, char y) { return folded(x) < folded(y); });
}

}  // namespace

std::string minutesAndSeconds(int32_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void EntryList::request(int32_t n) {
    // capacity_ follows the rule exactly; the storage itself grows and shrinks geometrically,
    // since reallocating to n + 128 at every 128th addition makes loading a long list quadratic.
    if (n == 0) {
        std::vector<Entry>().swap(entries_);
        capacity_ = 0;
    } else if (n > capacity_) {
        capacity_ = n + kSpare;
    } else if (n < capacity_ - kShrinkSlack) {
        capacity_ = n;
        if (entries_.capacity() > 2 * static_cast<size_t>(n) + kShrinkSlack) {
            entries_.shrink_to_fit();
        }
    }
}

bool EntryList::add(std::string_view file, std::string_view title, int32_t seconds) {
    if (file.size() > kMaxFile ||
        count() == std::numeric_limits<int32_t>::max() - kSpare - kGrowth) {
        return false;
    }
    changed_ = true;
    request(count() + kGrowth);
    entries_.push_back(Entry{std::string(file), std::string(title.substr(0, kMaxTitle)), seconds});
    return true;
}

void EntryList::clear() noexcept {
    std::vector<Entry>().swap(entries_);
    capacity_ = 0;
    current_ = 0;
}

void EntryList::setCurrent(int32_t i) noexcept {
    current_ = 0;
    moveCurrent(i);
}

int32_t EntryList::moveCurrent(int32_t delta) noexcept {
    if (delta == 0) {
        return current_;
    }
    const int64_t moved = int64_t{current_} + delta;
    if (moved < 0) {
        current_ = 0;
        return -1;
    }
    if (moved >= count()) {
        current_ = count() - 1;
        return -1;
    }
    current_ = static_cast<int32_t>(moved);
    return current_;
}

int32_t EntryList::entryLength(int32_t i) const noexcept {
    return valid(i) ? entries_[i].length : -1;
}

std::string EntryList::numberedTitle(int32_t i) const {
    return valid(i) ? std::to_string(i + 1) + ". " + entries_[i].title : std::string();
}

std::string EntryList::entryLine(int32_t i) const {
    std::string line = numberedTitle(i);
    if (valid(i) && entries_[i].length != -1) {
        line += " - [" + minutesAndSeconds(entries_[i].length) + "]";
    }
    return line;
}

std::pair<std::string, std::string> EntryList::titleAndTime(int32_t i) const {
    if (!valid(i)) {
        return {};
    }
    const Entry& e = entries_[i];
    return {e.title.substr(0, kMaxShortTitle),
            e.length != -1 ? minutesAndSeconds(e.length) : std::string()};
}

int32_t EntryList::totalLength() const noexcept {
    int64_t total = 0;
    for (const Entry& e : entries_) {
        if (e.length == -1) {
            return -1;
        }
        total = std::min<int64_t>(total + e.length, std::numeric_limits<int32_t>::max());
    }
    return static_cast<int32_t>(total);
}

void EntryList::remove(int32_t i) {
    if (entries_.empty()) {
        return;
    }
    const int32_t c = current_;
    setCurrent(i);
    changed_ = true;
    const bool wasLast = current_ == count() - 1;
    entries_.erase(entries_.begin() + current_);
    if (wasLast) {
        --current_;
    }
    request(count());
    setCurrent(c > i ? c - 1 : c);
}

void EntryList::swap(int32_t a, int32_t b) noexcept {
    if (current_ == a) {
        setCurrent(b);
    } else if (current_ == b) {
        setCurrent(a);
    }
    if (valid(a) && valid(b) && a != b) {
        std::swap(entries_[a], entries_[b]);
    }
}

void EntryList::sortByTitle() {
    if (count() < 2) {
        return;
    }
    for (Entry& e : entries_) {
        e.sortMark = false;
    }
    if (hasCurrent()) {
        entries_[current_].sortMark = true;
    }
    std::stable_sort(entries_.begin(), entries_.end(), titleLess);
    for (int32_t i = 0; i < count(); ++i) {
        if (entries_[i].sortMark) {
            entries_[i].sortMark = false;
            current_ = i;
        }
    }
}

void EntryList::randomise(RandomGenerator& random) noexcept {
    const int32_t n = count();
    for (int32_t i = 0; i + 1 < n; ++i) {
        const int32_t j = random.draw() % (n - i - 1) + i + 1;
        if (random.draw() % (n - i) != 0) {
            std::swap(entries_[i], entries_[j]);
            if (current_ == j) {
                current_ = i;
            } else if (current_ == i) {
                current_ = j;
            }
        }
    }
}

}  // namespace vexa::playlist
