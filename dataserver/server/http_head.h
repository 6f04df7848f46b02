#pragma once
// Reading one HTTP/1.x request head out of the bytes a connection has received so far, with
// every bound applied to what the client sent:
//   - the request line (method, target, version) at most kMaxRequestLine bytes, counted on the
//     raw target, else 414;
//   - at most kMaxHeaderLines header lines and kMaxHeadBytes in all, else 431, decided as soon
//     as the received bytes pass either bound (the rest of the head is never buffered);
//   - Content-Length once, digits only (a second one, equal or not, is 400); bodies above
//     kMaxFormBody for forms and kMaxBody otherwise are 413; Transfer-Encoding is 501;
//   - versions other than HTTP/1.0 and HTTP/1.1 are 505, anything malformed 400.
// The browser appends station addresses to its queries unescaped, so a target may hold more
// than one "?"; every "?" after the first reaches the handlers as "%3F" (which the query parser
// decodes), in every request a connection carries.
//
// Pure functions; thread-safe; no errors beyond the returned status.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kinvo::ds {

inline constexpr std::size_t kMaxRequestLine = 8192;
inline constexpr std::size_t kMaxHeaderLines = 100;
inline constexpr std::size_t kMaxHeadBytes = 16 * 1024;
inline constexpr std::size_t kMaxBody = 64 * 1024;
inline constexpr std::size_t kMaxFormBody = 8 * 1024;

struct RequestHead {
    std::string method;
    std::string target;  // with the "?" after the first as "%3F"
    bool http10 = false;
    std::vector<std::pair<std::string, std::string>> headers;  // values without outer blanks
    std::size_t contentLength = 0;
    bool keepAlive = true;         // from the version and the Connection header
    bool expectsContinue = false;  // "Expect: 100-continue"

    // The first header of that name (any letter case), or "" when absent.
    std::string_view header(std::string_view name) const;
};

struct HeadResult {
    enum class State { Incomplete, Complete, Refused };
    State state = State::Incomplete;
    int status = 0;             // with Refused: the status to answer before closing
    std::size_t headBytes = 0;  // with Complete: bytes of `received` the head took
    RequestHead head;           // with Complete
};

// `received` starts at the request's first byte. Empty lines before a request line are skipped
// (and counted in headBytes), up to kMaxHeadBytes of them (400). Never Incomplete once
// `received` holds more than 2 * kMaxHeadBytes + kMaxRequestLine bytes.
HeadResult readHead(std::string_view received);

}  // namespace kinvo::ds
