#include "platform/transport.h"

#include "platform/runtime_dir.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

namespace win::detail {
namespace {

// Set while this thread receives; a write made then must not receive again.
thread_local bool tlReceiving = false;

constexpr std::uint64_t kListenTag = ~std::uint64_t{0};
constexpr int kFramesPerTurn = 256;  // one busy peer cannot starve the others

bool makeAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool peerIsUs(int fd, pid_t expectedPid) {
    ucred cred{};
    socklen_t length = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0) {
        return false;
    }
    return cred.uid == ::getuid() && (expectedPid == 0 || cred.pid == expectedPid);
}

pid_t peerPid(int fd) {
    ucred cred{};
    socklen_t length = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 ? cred.pid : 0;
}

int millisecondsUntil(Transport::Deadline deadline) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return 0;
    }
    // Rounded up, so a wait never ends just short of its deadline and spins.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(ms, 1000 * 60 * 60));
}

}  // namespace

bool Transport::start(const std::string& dir, FrameSink* sink) {
    dir_ = dir;
    sink_ = sink;
    path_ = socketPath(dir, ::getpid());
    sockaddr_un address{};
    if (!makeAddress(path_, address)) {
        return false;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    UniqueFd set(::epoll_create1(EPOLL_CLOEXEC));
    if (!fd || !set) {
        return false;
    }
    // A file of this pid is a leftover of an ended process that had our number.
    ::unlink(path_.c_str());
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd.get(), 128) != 0) {
        return false;
    }
    ::chmod(path_.c_str(), 0600);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kListenTag;
    if (::epoll_ctl(set.get(), EPOLL_CTL_ADD, fd.get(), &ev) != 0) {
        ::unlink(path_.c_str());
        return false;
    }
    epoll_ = std::move(set);
    listen_ = std::move(fd);
    return true;
}

void Transport::unlinkSocket() noexcept {
    if (running()) {
        ::unlink(path_.c_str());
    }
}

void Transport::pump() {
    if (!running()) {
        return;
    }
    std::lock_guard guard(readLock_);
    tlReceiving = true;
    epoll_event events[32];
    const int n = ::epoll_wait(epoll_.get(), events, 32, 0);
    for (int i = 0; i < n; ++i) {
        if (events[i].data.u64 == kListenTag) {
            acceptPeers();
            continue;
        }
        std::shared_ptr<Connection> connection;
        {
            std::lock_guard connGuard(connLock_);
            auto it = connections_.find(static_cast<int>(events[i].data.u64));
            if (it != connections_.end()) {
                connection = it->second;
            }
        }
        if (connection) {
            receive(connection);
        }
    }
    tlReceiving = false;
}

void Transport::acceptPeers() {
    for (;;) {
        UniqueFd fd(::accept4(listen_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            return;
        }
        if (!peerIsUs(fd.get(), 0)) {
            continue;  // another user: closed at once
        }
        const pid_t peer = peerPid(fd.get());
        watch(std::make_shared<Connection>(std::move(fd), peer));
    }
}

void Transport::watch(const std::shared_ptr<Connection>& connection) {
    std::lock_guard guard(connLock_);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = static_cast<std::uint64_t>(connection->fd());
    if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, connection->fd(), &ev) == 0) {
        connections_[connection->fd()] = connection;
    } else {
        connection->markClosed();
    }
}

void Transport::receive(const std::shared_ptr<Connection>& connection) {
    for (int count = 0; count < kFramesPerTurn; ++count) {
        Frame frame;
        const ssize_t n = ::recv(connection->fd(), &frame, sizeof frame, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n <= 0) {
            drop(connection);  // the peer closed or died
            return;
        }
        if (static_cast<std::size_t>(n) != sizeof frame) {
            continue;  // not one of our frames
        }
        switch (frame.kind) {
            case FrameKind::Post:
                sink_->framePosted(frame);
                break;
            case FrameKind::Send:
                sink_->frameSent(frame, connection);
                break;
            case FrameKind::Reply:
                routeReply(frame, *connection);
                break;
        }
    }
}

void Transport::routeReply(const Frame& frame, const Connection& from) {
    std::shared_ptr<PendingReply> pending;
    {
        std::lock_guard guard(pendingLock_);
        auto it = pending_.find(frame.seq);
        if (it != pending_.end() && it->second->connection() == &from) {
            pending = it->second;
        }
    }
    if (pending) {
        pending->complete(static_cast<LRESULT>(frame.lParam), frame.status == 1);
    }
}

void Transport::drop(const std::shared_ptr<Connection>& connection) {
    {
        std::lock_guard guard(connLock_);
        ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, connection->fd(), nullptr);
        connections_.erase(connection->fd());
        auto it = outgoing_.find(connection->peer());
        if (it != outgoing_.end() && it->second == connection) {
            outgoing_.erase(it);
        }
    }
    // Marked before the sweep: a send registered after the sweep sees the mark itself.
    connection->markClosed();
    std::vector<std::shared_ptr<PendingReply>> failed;
    {
        std::lock_guard guard(pendingLock_);
        for (const auto& [seq, pending] : pending_) {
            if (pending->connection() == connection.get()) {
                failed.push_back(pending);
            }
        }
    }
    for (const auto& pending : failed) {
        pending->complete(0, false);
    }
}

std::shared_ptr<Connection> Transport::connectionTo(pid_t pid, Deadline deadline) {
    if (!running() || pid <= 0) {
        return nullptr;
    }
    {
        std::lock_guard guard(connLock_);
        auto it = outgoing_.find(pid);
        if (it != outgoing_.end()) {
            return it->second;
        }
    }
    sockaddr_un address{};
    if (!makeAddress(socketPath(dir_, pid), address)) {
        return nullptr;
    }
    UniqueFd fd;
    for (;;) {
        fd.reset(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!fd) {
            return nullptr;
        }
        if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            break;
        }
        // EAGAIN: the peer's backlog is full; it drains as it runs, so try again for a while.
        if (errno != EAGAIN || std::chrono::steady_clock::now() >= deadline) {
            return nullptr;
        }
        if (!tlReceiving) {
            pump();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!peerIsUs(fd.get(), pid)) {
        return nullptr;
    }
    int size = 1 << 20;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    auto connection = std::make_shared<Connection>(std::move(fd), pid);
    {
        std::lock_guard guard(connLock_);
        auto [it, inserted] = outgoing_.emplace(pid, connection);
        if (!inserted) {
            return it->second;  // another thread connected first; ours closes unused
        }
    }
    watch(connection);  // its replies arrive on it, and its end tells us the peer ended
    return connection;
}

bool Transport::write(Connection& connection, const Frame& frame, Deadline deadline) {
    std::lock_guard guard(connection.writeLock());
    for (;;) {
        if (connection.closed()) {
            return false;
        }
        const ssize_t n =
            ::send(connection.fd(), &frame, sizeof frame, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n == static_cast<ssize_t>(sizeof frame)) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            return false;
        }
        const int wait = std::min(millisecondsUntil(deadline), 100);
        if (wait == 0) {
            return false;
        }
        pollfd fds[2] = {{connection.fd(), POLLOUT, 0}, {epoll_.get(), POLLIN, 0}};
        ::poll(fds, tlReceiving ? 1 : 2, wait);
        if (!tlReceiving && fds[1].revents != 0) {
            pump();
        }
    }
}

std::uint32_t Transport::addPending(std::shared_ptr<PendingReply> pending) {
    std::lock_guard guard(pendingLock_);
    std::uint32_t seq = nextSeq_++;
    while (seq == 0 || pending_.count(seq) != 0) {
        seq = nextSeq_++;
    }
    pending_[seq] = std::move(pending);
    return seq;
}

void Transport::removePending(std::uint32_t seq) {
    std::lock_guard guard(pendingLock_);
    pending_.erase(seq);
}

void Transport::reply(const std::shared_ptr<Connection>& to, std::uint32_t seq, LRESULT result,
                      bool answered) {
    Frame frame;
    frame.kind = FrameKind::Reply;
    frame.seq = seq;
    frame.lParam = result;
    frame.status = answered ? 1 : 0;
    // The sender waits; give a full buffer a generous while to drain.
    write(*to, frame, std::chrono::steady_clock::now() + std::chrono::seconds(10));
}

bool Transport::tryReplyNoWindow(const std::shared_ptr<Connection>& to, std::uint32_t seq) {
    std::unique_lock guard(to->writeLock(), std::try_to_lock);
    if (!guard.owns_lock()) {
        return false;
    }
    Frame frame;
    frame.kind = FrameKind::Reply;
    frame.seq = seq;
    frame.status = 0;
    ssize_t n = 0;
    do {
        n = ::send(to->fd(), &frame, sizeof frame, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    // A connection that is gone needs no answer.
    return n == static_cast<ssize_t>(sizeof frame) || (n < 0 && errno != EAGAIN);
}

}  // namespace win::detail
