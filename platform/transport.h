#pragma once
// The process's link to the other processes of the layer: a listening SOCK_SEQPACKET socket
// "p<pid>.sock" in the runtime folder, one connection per peer we send to (made on first use),
// the connections peers made to us, and the table of sends waiting for their reply.
//
// Any thread may call pump() to receive: it reads every ready connection and hands each frame
// on (posts and sends to the FrameSink, replies to their PendingReply). Receiving is serialised
// so that the frames of one sender keep their order. A connection that ends fails every send
// still waiting on it at once. Peers of another user are refused on both sides.

#include "platform/frame.h"
#include "platform/pending_reply.h"
#include "platform/unique_fd.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include <sys/types.h>

namespace win::detail {

class Connection {
  public:
    Connection(UniqueFd fd, pid_t peer) : fd_(std::move(fd)), peer_(peer) {}
    int fd() const { return fd_.get(); }
    pid_t peer() const { return peer_; }
    bool closed() const { return closed_.load(); }
    void markClosed() { closed_.store(true); }
    std::mutex& writeLock() { return writeLock_; }

  private:
    UniqueFd fd_;  // closed only when the last user lets go, so the number is never reused early
    pid_t peer_;
    std::atomic<bool> closed_{false};
    std::mutex writeLock_;  // one writer at a time, so a blocked writer keeps its place
};

class FrameSink {
  public:
    virtual void framePosted(const Frame& frame) = 0;
    virtual void frameSent(const Frame& frame, std::shared_ptr<Connection> from) = 0;

  protected:
    ~FrameSink() = default;
};

class Transport {
  public:
    using Deadline = std::chrono::steady_clock::time_point;

    Transport() = default;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Binds the socket; false leaves the transport off (the layer then works in-process only).
    bool start(const std::string& dir, FrameSink* sink);
    bool running() const { return listen_.get() >= 0; }
    const std::string& dir() const { return dir_; }
    int descriptor() const { return epoll_.get(); }  // readable when pump() has work

    void pump();

    // The connection to a peer process (connecting on first use); null when it cannot be
    // reached (no such process, refused, another user).
    std::shared_ptr<Connection> connectionTo(pid_t pid, Deadline deadline);

    // Writes one frame; while the peer's buffer is full it keeps receiving our own frames so two
    // busy peers cannot block each other. False when the connection is gone or the deadline
    // passes.
    bool write(Connection& connection, const Frame& frame, Deadline deadline);

    std::uint32_t addPending(std::shared_ptr<PendingReply> pending);
    void removePending(std::uint32_t seq);

    // Answers a send that came from another process.
    void reply(const std::shared_ptr<Connection>& to, std::uint32_t seq, LRESULT result,
               bool answered);

    // Answers "no such window" from the receiving path itself: one attempt without waiting;
    // false when the connection is busy or full (the caller then answers later).
    bool tryReplyNoWindow(const std::shared_ptr<Connection>& to, std::uint32_t seq);

    // Removes our socket file (at exit).
    void unlinkSocket() noexcept;

  private:
    void acceptPeers();
    void receive(const std::shared_ptr<Connection>& connection);
    void drop(const std::shared_ptr<Connection>& connection);
    void watch(const std::shared_ptr<Connection>& connection);
    void routeReply(const Frame& frame, const Connection& from);

    std::string dir_;
    std::string path_;
    UniqueFd listen_;
    UniqueFd epoll_;
    FrameSink* sink_ = nullptr;

    std::mutex readLock_;  // serialises receiving: frames of one connection are routed in order

    std::mutex connLock_;  // guards connections_, outgoing_
    std::unordered_map<int, std::shared_ptr<Connection>> connections_;  // by descriptor
    std::unordered_map<pid_t, std::shared_ptr<Connection>> outgoing_;   // ours, by peer

    std::mutex pendingLock_;  // guards pending_, nextSeq_
    std::unordered_map<std::uint32_t, std::shared_ptr<PendingReply>> pending_;
    std::uint32_t nextSeq_ = 1;
};

}  // namespace win::detail
