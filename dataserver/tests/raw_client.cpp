#include "dataserver/tests/raw_client.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kinvo::ds::test {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

}  // namespace

int RawAnswer::status() const {
    return head.size() > 12 ? std::atoi(head.c_str() + 9) : 0;
}

std::string RawAnswer::header(const std::string& name) const {
    std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) {
        return {};
    }
    at += name.size() + 4;
    return head.substr(at, head.find("\r\n", at) - at);
}

RawClient::RawClient(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        fd_ = fd;
    } else if (fd >= 0) {
        ::close(fd);
    }
}

RawClient::~RawClient() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool RawClient::send(const std::string& bytes) {
    std::size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return fd_ >= 0;
}

std::optional<RawAnswer> RawClient::answer(std::chrono::milliseconds wait) {
    auto end = Clock::now() + wait;
    while (fd_ >= 0) {
        std::size_t blank = pending_.find("\r\n\r\n");
        if (blank != std::string::npos) {
            RawAnswer a;
            a.head = pending_.substr(0, blank);
            std::size_t length = std::strtoull(a.header("Content-Length").c_str(), nullptr, 10);
            if (pending_.size() >= blank + 4 + length) {
                a.body = pending_.substr(blank + 4, length);
                pending_.erase(0, blank + 4 + length);
                return a;
            }
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, msLeft(end)) <= 0) {
            return std::nullopt;
        }
        char buf[65536];
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) {
            return std::nullopt;
        }
        pending_.append(buf, static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

bool RawClient::skip(std::size_t bytes) {
    std::size_t got = std::min(bytes, pending_.size());
    pending_.erase(0, got);
    char buf[65536];
    while (fd_ >= 0 && got < bytes) {
        ssize_t n = ::recv(fd_, buf, std::min(sizeof buf, bytes - got), 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return got >= bytes;
}

void RawClient::finish() {
    if (fd_ >= 0) {
        ::shutdown(fd_, SHUT_WR);
    }
}

void RawClient::reset() {
    if (fd_ >= 0) {
        linger hard{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        ::close(fd_);
        fd_ = -1;
    }
}

bool RawClient::closedWithin(std::chrono::milliseconds wait) {
    auto end = Clock::now() + wait;
    while (fd_ >= 0) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, msLeft(end)) <= 0) {
            return false;
        }
        char buf[65536];
        if (::recv(fd_, buf, sizeof buf, 0) <= 0) {
            return true;
        }
    }
    return true;
}

}  // namespace kinvo::ds::test
