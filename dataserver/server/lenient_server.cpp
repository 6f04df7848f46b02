#include "dataserver/server/lenient_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>

namespace kinvo::ds {

namespace {

int timeoutMs(time_t sec, time_t usec) {
    return static_cast<int>(sec * 1000 + usec / 1000);
}

// Whether `fd` is ready within `ms`; false at once when `stopFd` is readable and `fd` is not
// ready (so a stopping server lets go of every wait, but still writes what a socket takes).
bool waitFor(int fd, short events, int ms, int stopFd) {
    pollfd p[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
    int rc;
    do {
        rc = ::poll(p, stopFd >= 0 ? 2 : 1, ms);
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (p[0].revents & (events | POLLHUP | POLLERR));
}

void addressOf(int fd, bool peer, std::string& ip, int& port) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    int rc = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len)
                  : ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    if (rc != 0) {
        return;
    }
    char buf[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        auto* a = reinterpret_cast<sockaddr_in*>(&addr);
        ::inet_ntop(AF_INET, &a->sin_addr, buf, sizeof buf);
        port = ntohs(a->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&addr);
        ::inet_ntop(AF_INET6, &a->sin6_addr, buf, sizeof buf);
        port = ntohs(a->sin6_port);
    }
    ip = buf;
}

// Reads a socket, turning every "?" after the first in a request's first line into "%3F".
class LenientStream final : public httplib::Stream {
  public:
    LenientStream(int fd, int readMs, int writeMs, int stopFd)
        : fd_(fd), readMs_(readMs), writeMs_(writeMs), stopFd_(stopFd) {}

    void startRequest() {
        inRequestLine_ = true;
        questionMarks_ = 0;
    }
    bool hasBuffered() const { return pos_ < buffer_.size(); }

    bool is_readable() const override {
        return hasBuffered() || waitFor(fd_, POLLIN, readMs_, stopFd_);
    }
    // The library asks before every write; write() itself waits when the socket is full, so
    // the question costs no system call here.
    bool is_writable() const override { return true; }

    ssize_t read(char* ptr, size_t size) override {
        if (!hasBuffered()) {
            // Most reads find data (the connection loop waited for it): try first, wait only
            // when there is none yet.
            char raw[4096];
            ssize_t n = receive(raw, sizeof raw);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!waitFor(fd_, POLLIN, readMs_, stopFd_)) {
                    return -1;
                }
                n = receive(raw, sizeof raw);
            }
            if (n <= 0) {
                return n;
            }
            buffer_.clear();
            pos_ = 0;
            for (ssize_t i = 0; i < n; ++i) {
                char c = raw[i];
                if (inRequestLine_ && c == '?' && ++questionMarks_ > 1) {
                    buffer_ += "%3F";
                    continue;
                }
                if (c == '\n') {
                    inRequestLine_ = false;
                }
                buffer_ += c;
            }
        }
        size_t n = std::min(size, buffer_.size() - pos_);
        std::copy_n(buffer_.data() + pos_, n, ptr);
        pos_ += n;
        return static_cast<ssize_t>(n);
    }

    // Small writes (an answer's head) are held and go out with the next write or at flush(),
    // so that a head and its body leave in one system call and one segment.
    ssize_t write(const char* ptr, size_t size) override {
        if (held_.size() + size <= kHeldBytes) {
            held_.append(ptr, size);
            return static_cast<ssize_t>(size);
        }
        iovec parts[2] = {{held_.data(), held_.size()}, {const_cast<char*>(ptr), size}};
        int first = held_.empty() ? 1 : 0;
        ssize_t n = gather(parts + first, 2 - first);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd_, POLLOUT, writeMs_, stopFd_)) {
                return -1;
            }
            n = gather(parts + first, 2 - first);
        }
        if (n < 0) {
            return n;
        }
        auto fromHeld = std::min(static_cast<size_t>(n), held_.size());
        held_.erase(0, fromHeld);
        return n - static_cast<ssize_t>(fromHeld);
    }

    // Sends what is held; false when the socket fails or the wait for room ends.
    bool flush() {
        while (!held_.empty()) {
            iovec part{held_.data(), held_.size()};
            ssize_t n = gather(&part, 1);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!waitFor(fd_, POLLOUT, writeMs_, stopFd_)) {
                    return false;
                }
                continue;
            }
            if (n <= 0) {
                return false;
            }
            held_.erase(0, static_cast<size_t>(n));
        }
        return true;
    }

    // Asked for every request; the addresses of a connection never change.
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        if (remotePort_ < 0) {
            addressOf(fd_, true, remoteIp_, remotePort_);
        }
        ip = remoteIp_;
        port = remotePort_;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        if (localPort_ < 0) {
            addressOf(fd_, false, localIp_, localPort_);
        }
        ip = localIp_;
        port = localPort_;
    }
    socket_t socket() const override { return fd_; }

  private:
    ssize_t receive(char* buf, size_t size) const {
        ssize_t n;
        do {
            n = ::recv(fd_, buf, size, MSG_DONTWAIT);
        } while (n < 0 && errno == EINTR);
        return n;
    }
    ssize_t gather(iovec* parts, int count) const {
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = static_cast<size_t>(count);
        ssize_t n;
        do {
            n = ::sendmsg(fd_, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
        } while (n < 0 && errno == EINTR);
        return n;
    }

    static constexpr size_t kHeldBytes = 2048;

    int fd_;
    int readMs_;
    int writeMs_;
    int stopFd_;
    std::string buffer_;  // transformed bytes not yet handed out
    size_t pos_ = 0;
    bool inRequestLine_ = true;
    int questionMarks_ = 0;
    std::string held_;  // written by the library, not yet sent
    mutable std::string remoteIp_;
    mutable int remotePort_ = -1;
    mutable std::string localIp_;
    mutable int localPort_ = -1;
};

}  // namespace

LenientServer::LenientServer() : stopWake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void LenientServer::stopServing() noexcept {
    stopping_.store(true);
    if (stopWake_) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(stopWake_.get(), &one, sizeof one);
    }
    stop();
}

bool LenientServer::setListenBacklog(int backlog) {
    const socket_t sock = svr_sock_.load();
    return sock != INVALID_SOCKET && ::listen(sock, backlog) == 0;
}

struct LenientServer::Connection {
    Connection(socket_t s, int readMs, int writeMs, int stopFd)
        : sock(s), stream(s, readMs, writeMs, stopFd) {}
    ~Connection() {
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
    }
    socket_t sock;
    LenientStream stream;
    std::size_t served = 0;
    std::chrono::steady_clock::time_point idleSince = std::chrono::steady_clock::now();
};

bool LenientServer::process_and_close_socket(socket_t sock) {
    serveConnection(std::make_shared<Connection>(
        sock, timeoutMs(read_timeout_sec_, read_timeout_usec_),
        timeoutMs(write_timeout_sec_, write_timeout_usec_), stopWake_.get()));
    return true;
}

void LenientServer::serveConnection(std::shared_ptr<Connection> c) {
    auto keepAlive = std::chrono::seconds(keep_alive_timeout_sec_);
    while (c->served < keep_alive_max_count_) {
        // The first request is waited for at once; later ones in short slices, so that an
        // idle connection can give its worker up. A stopping server wakes either wait.
        bool ready = c->stream.hasBuffered();
        bool first = c->served == 0;
        while (!ready && !stopping_.load() &&
               std::chrono::steady_clock::now() < c->idleSince + keepAlive) {
            int left =
                static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     c->idleSince + keepAlive - std::chrono::steady_clock::now())
                                     .count());
            ready = waitFor(c->sock, POLLIN, first ? std::max(left, 1) : 5, stopWake_.get());
            if (!ready && !first && othersWaiting_ && othersWaiting_() && requeue_) {
                requeue_([this, c] { serveConnection(c); });
                return;
            }
        }
        if (!ready || stopping_.load()) {
            return;  // the last owner closes the socket
        }
        c->stream.startRequest();
        bool closed = false;
        ++c->served;
        bool ok = process_request(c->stream, c->served == keep_alive_max_count_, closed, nullptr);
        ok = c->stream.flush() && ok;
        if (!ok || closed) {
            return;
        }
        c->idleSince = std::chrono::steady_clock::now();
        // A busy keep-alive client would otherwise hold its worker until it idles; with more
        // connections than workers, each gets one request per turn.
        if (othersWaiting_ && othersWaiting_() && requeue_) {
            requeue_([this, c] { serveConnection(c); });
            return;
        }
    }
}

}  // namespace kinvo::ds
