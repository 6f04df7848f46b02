#include "dataserver/server/connection_hub.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdint>

#include "dataserver/server/answer_writer.h"

namespace kinvo::ds {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxConnections = 10000;
// Bytes read from one connection per readiness, so that one client cannot hog the loop.
constexpr std::size_t kReadSlice = 64 * 1024;
// Deadlines are checked this often; a connection may outlive its deadline by this much.
constexpr int kTickMs = 100;

std::string peerAddress(const sockaddr_storage& addr) {
    char buf[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&addr)->sin_addr, buf,
                    sizeof buf);
    } else if (addr.ss_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&addr)->sin6_addr, buf,
                    sizeof buf);
    }
    return buf;
}

bool watch(int epoll, int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLRDHUP;
    ev.data.fd = fd;
    return ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &ev) == 0;
}

}  // namespace

ConnectionHub::ConnectionHub(FileDescriptor listening, WorkerPool& workers, Handler handler,
                             RefusalLog refusals, Timeouts timeouts)
    : listening_(std::move(listening)),
      workers_(workers),
      handler_(std::move(handler)),
      refusals_(std::move(refusals)),
      timeouts_(timeouts),
      epoll_(::epoll_create1(EPOLL_CLOEXEC)),
      stopWake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      returnWake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ConnectionHub::~ConnectionHub() = default;

void ConnectionHub::stop() noexcept {
    stopping_.store(true);
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopWake_.get(), &one, sizeof one);
}

void ConnectionHub::giveBack(std::shared_ptr<Connection> connection) noexcept {
    {
        std::lock_guard lock(returnedMutex_);
        if (stopping_.load()) {
            return;  // dropped: the last owner closes the socket
        }
        returned_.push_back(std::move(connection));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(returnWake_.get(), &one, sizeof one);
}

bool ConnectionHub::run() {
    if (!epoll_ || !stopWake_ || !returnWake_ || !listening_) {
        return false;
    }
    int flags = ::fcntl(listening_.get(), F_GETFL);
    ::fcntl(listening_.get(), F_SETFL, flags | O_NONBLOCK);
    if (!watch(epoll_.get(), listening_.get()) || !watch(epoll_.get(), stopWake_.get()) ||
        !watch(epoll_.get(), returnWake_.get())) {
        return false;
    }
    epoll_event events[256];
    auto nextTick = Clock::now();
    while (!stopping_.load()) {
        int n = ::epoll_wait(epoll_.get(), events, 256, kTickMs);
        for (int i = 0; i < n && !stopping_.load(); ++i) {
            int fd = events[i].data.fd;
            if (fd == listening_.get()) {
                acceptAll();
            } else if (fd == returnWake_.get()) {
                std::uint64_t count;
                [[maybe_unused]] ssize_t r = ::read(returnWake_.get(), &count, sizeof count);
                std::vector<std::shared_ptr<Connection>> back;
                {
                    std::lock_guard lock(returnedMutex_);
                    back.swap(returned_);
                }
                for (auto& c : back) {
                    adopt(std::move(c), timeouts_.idle);
                }
            } else if (fd != stopWake_.get()) {
                readable(fd);
            }
        }
        if (Clock::now() >= nextTick) {
            expire();
            nextTick = Clock::now() + std::chrono::milliseconds(kTickMs);
        }
    }
    // Idle, half-received and draining connections are dropped; those with a worker are
    // closed by it.
    entries_.clear();
    std::lock_guard lock(returnedMutex_);
    returned_.clear();
    return true;
}

void ConnectionHub::acceptAll() {
    while (true) {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        int fd = ::accept4(listening_.get(), reinterpret_cast<sockaddr*>(&addr), &len,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;  // EAGAIN, or out of descriptors: the rest wait in the backlog
        }
        auto c = std::make_shared<Connection>();
        c->socket = FileDescriptor(fd);
        if (entries_.size() >= kMaxConnections) {
            continue;  // closed at once
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        c->remote = peerAddress(addr);
        adopt(std::move(c), timeouts_.head);
    }
}

void ConnectionHub::adopt(std::shared_ptr<Connection> connection, std::chrono::milliseconds wait) {
    int fd = connection->socket.get();
    if (!watch(epoll_.get(), fd)) {
        return;
    }
    Entry& e = entries_[fd];
    e.connection = std::move(connection);
    e.phase = Phase::Waiting;
    e.deadline = Clock::now() + wait;
    e.continueSent = false;
    if (!e.connection->received.empty()) {
        advance(fd);
    }
}

void ConnectionHub::readable(int fd) {
    auto it = entries_.find(fd);
    if (it == entries_.end()) {
        return;
    }
    Entry& e = it->second;
    std::string& in = e.connection->received;
    char buf[16384];
    std::size_t taken = 0;
    bool ended = false;  // the client has sent all it will (or the connection broke)
    while (taken < kReadSlice) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (n <= 0) {
            ended = true;
            break;
        }
        taken += static_cast<std::size_t>(n);
        if (e.phase != Phase::Draining) {
            in.append(buf, static_cast<std::size_t>(n));
        }
    }
    // A request sent just before the client's half-close is still answered.
    if (e.phase != Phase::Draining) {
        advance(fd);
    }
    if (ended && entries_.count(fd) != 0) {
        close(fd);
    }
}

void ConnectionHub::advance(int fd) {
    Entry& e = entries_.at(fd);
    std::string& in = e.connection->received;
    if (in.empty()) {
        return;
    }
    if (e.phase == Phase::Waiting) {
        e.phase = Phase::Receiving;
        e.deadline = Clock::now() + timeouts_.head;
    }
    HeadResult r = readHead(in);
    if (r.state == HeadResult::State::Refused) {
        refuse(e, r.status);
        return;
    }
    if (r.state == HeadResult::State::Incomplete) {
        return;
    }
    std::size_t whole = r.headBytes + r.head.contentLength;
    if (in.size() < whole) {
        if (r.head.expectsContinue && !e.continueSent) {
            e.continueSent = true;
            static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
            [[maybe_unused]] ssize_t n =
                ::send(fd, kContinue.data(), kContinue.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        return;
    }
    auto request = std::make_shared<ReceivedRequest>();
    request->head = std::move(r.head);
    request->body = in.substr(r.headBytes, request->head.contentLength);
    in.erase(0, whole);
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, fd, nullptr);
    std::shared_ptr<Connection> c = std::move(e.connection);
    entries_.erase(fd);
    workers_.enqueue([this, c, request] {
        if (stopping_.load()) {
            return;
        }
        bool keep = false;
        try {
            keep = handler_(*c, *request);
        } catch (...) {
            // Out of memory while answering: this connection is dropped, the server goes on.
        }
        if (keep) {
            giveBack(c);
        }
    });
}

void ConnectionHub::refuse(Entry& e, int status) {
    if (refusals_) {
        refusals_(status, e.connection->remote);
    }
    std::string head = formatHead(AnswerHead{status, {}, 0, false, {}});
    int fd = e.connection->socket.get();
    [[maybe_unused]] ssize_t n = ::send(fd, head.data(), head.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    // Closing with unread bytes would reset the connection and could destroy the answer before
    // the client reads it; the rest is read and dropped for a while instead.
    ::shutdown(fd, SHUT_WR);
    e.connection->received.clear();
    e.connection->received.shrink_to_fit();
    e.phase = Phase::Draining;
    e.deadline = Clock::now() + timeouts_.drain;
}

void ConnectionHub::close(int fd) {
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, fd, nullptr);
    entries_.erase(fd);
}

void ConnectionHub::expire() {
    auto now = Clock::now();
    std::vector<int> late;
    for (const auto& [fd, e] : entries_) {
        if (now >= e.deadline) {
            late.push_back(fd);
        }
    }
    for (int fd : late) {
        close(fd);
    }
}

}  // namespace kinvo::ds
