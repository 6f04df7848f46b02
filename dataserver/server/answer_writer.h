#pragma once
// Writing an answer to a client's socket (non-blocking): the head and a body from memory in one
// gathered write, or a part of a file with sendfile(2), so file bytes never pass through the
// server's memory. Each wait for the socket to take more lasts at most `timeout`, and ends at
// once when `stopFd` is readable (a stopping server writes only what the socket takes without
// waiting).
//
// Called from worker threads, one writer per socket at a time. Failures (the client gone, a
// timeout, a stop) return false; the caller then closes the connection. Never throws.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace kinvo::ds {

struct AnswerHead {
    int status = 200;
    std::string_view contentType;  // empty: no Content-Type
    std::uint64_t contentLength = 0;
    bool keepAlive = true;
    std::string_view extraHeaders;  // whole lines, each ending in CR LF
};

std::string_view statusText(int status);
std::string formatHead(const AnswerHead& head);

struct SocketWaits {
    int socket = -1;
    int stopFd = -1;
    std::chrono::milliseconds timeout{10000};
};

bool sendAll(const SocketWaits& to, std::string_view head, std::string_view body) noexcept;
// `length` bytes of `file` from `offset`; checks `stopping` before every chunk.
bool sendFileRange(const SocketWaits& to, int file, std::uint64_t offset, std::uint64_t length,
                   const std::atomic<bool>& stopping) noexcept;

}  // namespace kinvo::ds
