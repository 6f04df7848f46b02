#pragma once
// The Range header of a request for a file of known size, read as RFC 9110 says: "first-last"
// with its end clamped to the last byte, "first-" to the end, "-count" for the last bytes.
// Several ranges are coalesced into the one range from the lowest first byte to the highest
// last byte they ask for (the RFC lets a server do so), so every partial answer is a single
// part with one exact Content-Length and Content-Range; no multipart/byteranges.
//
// A header that is not "bytes=" with well-formed ranges is ignored (the whole file, 200), as
// is one with more than kMaxRanges ranges. When no range holds a byte of the file the answer is
// 416 with "Content-Range: bytes */SIZE".
//
// Pure functions; thread-safe.

#include <cstdint>
#include <string>
#include <string_view>

namespace kinvo::ds {

inline constexpr std::size_t kMaxRanges = 64;

struct RangeAnswer {
    enum class Kind { Whole, Partial, Unsatisfiable };
    Kind kind = Kind::Whole;
    std::uint64_t first = 0;  // with Partial: the bytes first..last, both included
    std::uint64_t last = 0;

    std::uint64_t length() const { return last - first + 1; }
    // The Content-Range value for Partial and Unsatisfiable.
    std::string contentRange(std::uint64_t size) const;
};

RangeAnswer resolveRange(std::string_view header, std::uint64_t size);

}  // namespace kinvo::ds
