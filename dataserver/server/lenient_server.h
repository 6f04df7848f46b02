#pragma once
// cpp-httplib's server, with one difference: a request target holding more than one "?" is
// served instead of refused with 400. The browser appends station addresses and names to its
// queries unescaped, and an address often has a query of its own ("...?U=http://h/a.asp?id=7").
// Every "?" after the first reaches the handlers as "%3F", which the query parser decodes.
//
// Otherwise this is httplib's own keep-alive loop over a socket stream of ours (the library's
// stream type is not public); timeouts and limits are the server's settings. One change to the
// loop: a keep-alive connection that idles while other connections wait for a worker goes back
// to the end of the queue instead of holding its worker, so a few idle clients cannot starve
// the rest.
//
// Stopping: stopServing() (from any thread, once listen_after_bind is running) wakes every
// wait on a socket at once through one eventfd. Idle and half-received connections are dropped;
// an answer already computed is still written while its socket takes it without waiting.

#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>

#include "dataserver/server/file_descriptor.h"

namespace kinvo::ds {

class LenientServer : public httplib::Server {
  public:
    LenientServer();

    // How the idle connection gets back in line: `othersWaiting` tells whether accepted
    // connections wait for a worker, `requeue` puts a job at the end of the workers' queue.
    void setScheduling(std::function<bool()> othersWaiting,
                       std::function<void(std::function<void()>)> requeue) {
        othersWaiting_ = std::move(othersWaiting);
        requeue_ = std::move(requeue);
    }

    // After bind_to_port / bind_to_any_port: room for `backlog` connections that are not yet
    // accepted. The library listens with room for 5, so a burst of clients connecting at once
    // has SYNs dropped and waits a second for their retransmission. False when the socket
    // refuses (the library's backlog then stays).
    bool setListenBacklog(int backlog);

    // Stops accepting and wakes every connection's waits; listen_after_bind then returns once
    // the workers have let their connections go. Any thread; never throws.
    void stopServing() noexcept;
    // True from stopServing() on: long answers (media) end early when they see it.
    bool stopping() const noexcept { return stopping_.load(); }

  private:
    struct Connection;
    void serveConnection(std::shared_ptr<Connection> connection);

    std::function<bool()> othersWaiting_;
    std::function<void(std::function<void()>)> requeue_;
    std::atomic<bool> stopping_{false};
    // Readable from stopServing() on (never read, so it stays readable for every poll).
    FileDescriptor stopWake_;

    bool process_and_close_socket(socket_t sock) override;
};

}  // namespace kinvo::ds
