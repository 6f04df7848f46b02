#pragma once
// The server's one event loop (epoll): accepts connections, receives each request's head and
// body without blocking, and hands only complete requests to the worker pool. A connection
// that is silent, idle or slow therefore costs a little memory in the loop and never a worker:
//   - a new connection must send a whole request within `head` of its first byte, and start
//     within `head` of being accepted;
//   - a kept-alive connection must start its next request within `idle`;
//   - a request refused while being received (too many or too large headers, a bad or
//     duplicate Content-Length, ...) is answered with its status and "Connection: close"; what
//     the client still sends is read and thrown away for a short while, then the socket closes.
// After its answer, a kept-alive connection comes back to the loop (giveBack); bytes it already
// sent (pipelined requests) are read from where they stand.
//
// Threads: run() on one thread (it returns after stop()); the handler on the workers; stop()
// and giveBack() from any thread. A connection is owned by exactly one of them at a time.
// Errors: run() returns false when the loop cannot be set up (epoll, eventfds); afterwards
// failures only close the connection concerned (a handler that throws loses its connection).

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "dataserver/server/file_descriptor.h"
#include "dataserver/server/http_head.h"
#include "dataserver/server/worker_pool.h"

namespace kinvo::ds {

struct Connection {
    FileDescriptor socket;  // non-blocking
    std::string remote;     // the peer's address
    std::string received;   // bytes read and not yet taken by a request
};

struct ReceivedRequest {
    RequestHead head;
    std::string body;
};

class ConnectionHub {
  public:
    // Answers one request on the worker that runs it; true to keep the connection.
    using Handler = std::function<bool(Connection&, const ReceivedRequest&)>;
    // Told of every request refused while being received (status, peer address).
    using RefusalLog = std::function<void(int, const std::string&)>;

    struct Timeouts {
        std::chrono::milliseconds head{10000};
        std::chrono::milliseconds idle{5000};
        std::chrono::milliseconds drain{2000};
    };

    // `listening` is a bound, listening socket; the hub makes it non-blocking.
    ConnectionHub(FileDescriptor listening, WorkerPool& workers, Handler handler,
                  RefusalLog refusals, Timeouts timeouts);
    ~ConnectionHub();
    ConnectionHub(const ConnectionHub&) = delete;
    ConnectionHub& operator=(const ConnectionHub&) = delete;

    bool run();
    void stop() noexcept;
    bool stopping() const noexcept { return stopping_.load(); }
    const std::atomic<bool>& stoppingFlag() const noexcept { return stopping_; }
    // Readable from stop() on (never read), for the workers' socket waits.
    int stopFd() const noexcept { return stopWake_.get(); }

    void giveBack(std::shared_ptr<Connection> connection) noexcept;

  private:
    enum class Phase { Waiting, Receiving, Draining };
    struct Entry {
        std::shared_ptr<Connection> connection;
        Phase phase = Phase::Waiting;
        std::chrono::steady_clock::time_point deadline;
        bool continueSent = false;
    };

    void acceptAll();
    void adopt(std::shared_ptr<Connection> connection, std::chrono::milliseconds wait);
    void readable(int fd);
    void advance(int fd);
    void refuse(Entry& entry, int status);
    void close(int fd);
    void expire();

    FileDescriptor listening_;
    WorkerPool& workers_;
    Handler handler_;
    RefusalLog refusals_;
    const Timeouts timeouts_;
    FileDescriptor epoll_;
    FileDescriptor stopWake_;
    FileDescriptor returnWake_;
    std::atomic<bool> stopping_{false};
    std::unordered_map<int, Entry> entries_;  // loop thread only

    std::mutex returnedMutex_;
    std::vector<std::shared_ptr<Connection>> returned_;  // guarded by returnedMutex_
};

}  // namespace kinvo::ds
