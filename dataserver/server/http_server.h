#pragma once
// `kinvo-dataserver serve`: the HTTP side. HTTP/1.1 with keep-alive: one event loop receives
// requests (ConnectionHub) and a fixed pool of worker threads answers complete ones, every
// request answered by Responder, "/media/" sent from the media folder with sendfile(2) and
// single range requests (byte_ranges.h), one log line per request on stderr, the request
// head's bounds of http_head.h, and a prompt stop on SIGINT or SIGTERM: at once when idle;
// answers already computed are written while their sockets take them, idle and half-received
// connections and media streams are dropped.
//
// Error policy: start-up failures (the database, the address to listen on, the media folder)
// are reported on stderr and give a non-zero exit status; once serving, nothing stops the
// server but a signal.

#include <chrono>
#include <cstddef>
#include <string>

#include "dataserver/server/server_settings.h"

namespace kinvo::ds {

struct ServeOptions {
    std::string database;
    std::string listenAddress = "127.0.0.1";
    int port = 8639;          // 0: any free port (announced on stderr)
    std::string mediaFolder;  // empty: no /media/
    bool quiet = false;
    std::size_t threads = 8;
    // How often station starts counted in memory are written (at most this much is lost when
    // the process is killed; a stop by signal loses nothing).
    std::chrono::milliseconds startWriteInterval{1000};
    ServerSettings settings;
};

// Serves until SIGINT or SIGTERM; returns the process exit status. The signals must be blocked
// in every thread (blockStopSignals, called first thing in main) so that only the waiter gets
// them.
int serve(const ServeOptions& options);

void blockStopSignals();

}  // namespace kinvo::ds
