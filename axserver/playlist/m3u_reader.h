// The M3U reader: turns the lines of an M3U playlist (plain or extended, "#EXTINF:" titles;
// "#EXTBRN:" lines of the burn list are comments to it) into entries. The playlist decides which
// entries it adds.
//
// Lines are read as a text-mode stream: CR LF ends a line like LF. A line is at most
// kMaxLineLength characters with its line feed; a longer line is skipped whole (it is neither an
// entry nor a title, and its tail does not become a line of its own). A last line without a line
// feed is read like any other (lists written by other tools often end so).
//
// Any thread (one reader per file); nothing throws but std::bad_alloc.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::playlist {

inline constexpr size_t kMaxLineLength = 8227;
inline constexpr size_t kMaxPendingTitle = 8195;

struct M3uEntry {
    std::string name;
    // Empty when the entry had no "#EXTINF:" title (the playlist then looks the title up).
    std::string title;
    int32_t seconds = -1;
    // An "ASF " line: a local file only, and not counted as an addition.
    bool asf = false;
};

// The rules for one line at a time, with the state they keep between lines.
class M3uParser {
  public:
    // `line` as read, with its final line feed (if any). An entry when the line is one.
    std::optional<M3uEntry> line(std::string_view line);
    // A line too long to read: forgets a pending title.
    void skippedLine() noexcept;

  private:
    bool extended_ = false;
    std::string pendingTitle_;
    int32_t pendingSeconds_ = -1;
};

// Reads one line from `file` into `line` (CR LF given as LF, cut at a zero byte).
enum class LineRead { kLine, kTooLong, kEnd };
LineRead readLine(std::FILE* file, std::string& line);

// "atoi": optional blanks, an optional sign, digits; 0 without digits; saturated to 32 bits.
int32_t leadingInt(std::string_view text);

}  // namespace vexa::playlist
