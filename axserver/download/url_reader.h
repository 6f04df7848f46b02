// Reads one address from start to end through libcurl, handing its status and then its body,
// block by block, to a sink. The stream download's transfer; it knows nothing of statuses to the
// client or of files.
//
// What it does, for every scheme it accepts (http, https, ftp, file; anything else, and a name
// without "://", is not opened):
// - user-agent "SonAri WinInet Download"; the proxy is the system's, which libcurl takes from
//   the environment (http_proxy, https_proxy, no_proxy ...); none is set here;
// - redirects are followed (between http and https only, at most kMaxRedirects); the status is
//   that of the last answer; too many redirects end with the last redirect's status;
// - the body comes as it was sent (no content decoding), in blocks of at most kReadBlockSize
//   bytes; behind them libcurl receives from the network into its own buffer of
//   kReceiveBufferSize bytes (a buffer of one block would cost a system call per block and about
//   a third of the speed).
//
// The status: for http and https the answer's status code. Other schemes have no status: an
// address that opens counts as 200, one that does not is "not opened" (a missing local file, a
// refused FTP login or a file the FTP server does not have).
//
// An http(s) address counts as opened once the answer's head has arrived; any other once its
// first byte has arrived or it ended cleanly. Nothing is opened after kConnectTimeout without a
// connection; a read fails after kStallTimeout without a byte, or when `cancel` becomes true.
//
// Threading: one read at a time per reader, on the calling thread; the sink is called on that
// thread. `cancel` may be set from any thread. Never throws; the sink must not throw either.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "lib/curl/easy.h"

namespace vexa {

class ReadSink {
  public:
    virtual ~ReadSink() = default;
    // The address opened with `status`; false stops the read before any body.
    virtual bool opened(int32_t status) noexcept = 0;
    // The next block of the body (never empty); false stops the read (a failed write).
    virtual bool block(std::span<const char> bytes) noexcept = 0;
};

enum class ReadEnd {
    kNotOpened,   // the address could not be opened (opened() was not called)
    kStopped,     // the sink stopped it
    kReadFailed,  // opened, then a read failed or was cancelled
    kComplete,    // the whole body was read
};

inline constexpr size_t kReadBlockSize = 4096;
inline constexpr long kReceiveBufferSize = 64 * 1024;
inline constexpr long kMaxRedirects = 10;
inline constexpr std::chrono::seconds kConnectTimeout{60};
inline constexpr std::chrono::seconds kStallTimeout{60};
inline constexpr const char* kUserAgent = "SonAri WinInet Download";

// Reads `address` with `handle` (which must not be empty; its options are replaced).
ReadEnd readAddress(const kinvo::curl::Easy& handle, const std::string& address, ReadSink& sink,
                    const std::atomic<bool>& cancel) noexcept;

}  // namespace vexa
