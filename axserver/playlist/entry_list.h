// The playlist's entries and their rules: the capacity rule, the current index and its
// clamping, the changed mark, delete, swap, sort by title and randomise, and the texts made from
// an entry. Names arrive here already made absolute; titles are stored as given (cut to their
// limit).
//
// Main thread only; nothing throws but std::bad_alloc.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "axserver/modules/process_random.h"

namespace vexa::playlist {

inline constexpr size_t kMaxFile = 8195;
inline constexpr size_t kMaxTitle = 399;

struct Entry {
    std::string file;
    std::string title;
    int32_t length = -1;  // seconds, -1 unknown
    bool sortMark = false;
};

class EntryList {
  public:
    int32_t count() const noexcept { return static_cast<int32_t>(entries_.size()); }
    // Entries allocated by the capacity rule (the storage may hold more).
    int32_t capacity() const noexcept { return capacity_; }
    // -1 or beyond the list means none.
    int32_t current() const noexcept { return current_; }
    bool hasCurrent() const noexcept { return valid(current_); }
    bool valid(int32_t i) const noexcept { return i >= 0 && i < count(); }

    // Set by every addition and deletion; the shuffle order reads and clears it.
    bool changed() const noexcept { return changed_; }
    bool takeChanged() noexcept { return std::exchange(changed_, false); }

    // Appends an entry (title cut to kMaxTitle). False, adding nothing, for a file name longer
    // than kMaxFile: a cut name would name another file.
    bool add(std::string_view file, std::string_view title, int32_t seconds);
    // Everything freed: count 0, current 0, capacity 0.
    void clear() noexcept;

    // current := 0, then moved by i.
    void setCurrent(int32_t i) noexcept;
    // delta 0 answers current; else moves it, clamping into the list: -1 when it was clamped.
    int32_t moveCurrent(int32_t delta) noexcept;

    // Null for an invalid index.
    const Entry* entry(int32_t i) const noexcept { return valid(i) ? &entries_[i] : nullptr; }
    Entry* entry(int32_t i) noexcept { return valid(i) ? &entries_[i] : nullptr; }
    // -1 for an invalid index.
    int32_t entryLength(int32_t i) const noexcept;
    // "%d. %s" (i + 1, title); empty for an invalid index.
    std::string numberedTitle(int32_t i) const;
    // The numbered title followed, when the length is known, by " - [m:ss]".
    std::string entryLine(int32_t i) const;
    // The title (at most 255 characters) and "m:ss" (empty when the length is unknown).
    std::pair<std::string, std::string> titleAndTime(int32_t i) const;
    // Sum of all lengths; -1 when any is unknown; 0 when empty. Saturates at INT32_MAX.
    int32_t totalLength() const noexcept;

    // Deletes entry i (clamped into the list); nothing on an empty list.
    void remove(int32_t i);
    // Current follows a or b; the entries change places when both are valid and differ.
    void swap(int32_t a, int32_t b) noexcept;
    // By title, A to Z folded to lower case; the current entry stays current.
    void sortByTitle();
    // Two draws per position; the current entry's index follows it. Not marked as changed.
    void randomise(RandomGenerator& random) noexcept;

  private:
    // The capacity rule for a request of n entries.
    void request(int32_t n);

    std::vector<Entry> entries_;
    int32_t capacity_ = 0;
    int32_t current_ = 0;
    bool changed_ = false;
};

// "m:ss" of a length in seconds.
std::string minutesAndSeconds(int32_t seconds);

}  // namespace vexa::playlist
