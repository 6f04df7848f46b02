#include "dataserver/server/answer_writer.h"

#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <algorithm>
#include <cerrno>

namespace kinvo::ds {

namespace {

constexpr std::uint64_t kFileChunk = 1 << 20;

// Whether the socket takes more bytes before the timeout and before a stop.
bool writable(const SocketWaits& to) noexcept {
    pollfd p[2] = {{to.socket, POLLOUT, 0}, {to.stopFd, POLLIN, 0}};
    int rc;
    do {
        rc = ::poll(p, to.stopFd >= 0 ? 2 : 1, static_cast<int>(to.timeout.count()));
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (p[0].revents & POLLOUT) && !(p[0].revents & (POLLERR | POLLHUP));
}

}  // namespace

std::string_view statusText(int status) {
    switch (status) {
        case 100:
            return "Continue";
        case 200:
            return "OK";
        case 206:
            return "Partial Content";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 413:
            return "Content Too Large";
        case 414:
            return "URI Too Long";
        case 416:
            return "Range Not Satisfiable";
        case 431:
            return "Request Header Fields Too Large";
        case 501:
            return "Not Implemented";
        case 503:
            return "Service Unavailable";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return status < 400 ? "OK" : "Error";
    }
}

std::string formatHead(const AnswerHead& h) {
    std::string out = "HTTP/1.1 " + std::to_string(h.status) + " ";
    out += statusText(h.status);
    out += "\r\n";
    if (!h.contentType.empty()) {
        out += "Content-Type: ";
        out += h.contentType;
        out += "\r\n";
    }
    out += "Content-Length: " + std::to_string(h.contentLength) + "\r\n";
    out += h.keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += h.extraHeaders;
    out += "\r\n";
    return out;
}

bool sendAll(const SocketWaits& to, std::string_view head, std::string_view body) noexcept {
    while (!head.empty() || !body.empty()) {
        iovec parts[2] = {{const_cast<char*>(head.data()), head.size()},
                          {const_cast<char*>(body.data()), body.size()}};
        msghdr msg{};
        msg.msg_iov = head.empty() ? parts + 1 : parts;
        msg.msg_iovlen = head.empty() ? 1 : 2;
        ssize_t n = ::sendmsg(to.socket, &msg, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && writable(to)) {
                continue;
            }
            return false;
        }
        auto sent = static_cast<std::size_t>(n);
        std::size_t fromHead = std::min(sent, head.size());
        head.remove_prefix(fromHead);
        body.remove_prefix(sent - fromHead);
    }
    return true;
}

bool sendFileRange(const SocketWaits& to, int file, std::uint64_t offset, std::uint64_t length,
                   const std::atomic<bool>& stopping) noexcept {
    auto at = static_cast<off_t>(offset);
    while (length > 0) {
        if (stopping.load()) {
            return false;
        }
        ssize_t n = ::sendfile(to.socket, file, &at, std::min(length, kFileChunk));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && writable(to)) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return false;  // the file shrank under us
        }
        length -= static_cast<std::uint64_t>(n);
    }
    return true;
}

}  // namespace kinvo::ds
