#include "dataserver/server/http_server.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "catalogue/request_texts.h"
#include "dataserver/server/answer_writer.h"
#include "dataserver/server/byte_ranges.h"
#include "dataserver/server/cached_answers.h"
#include "dataserver/server/connection_hub.h"
#include "dataserver/server/file_descriptor.h"
#include "dataserver/server/media_files.h"
#include "dataserver/server/responder.h"
#include "dataserver/server/start_counter.h"
#include "dataserver/server/vendor_pages.h"
#include "dataserver/server/worker_pool.h"
#include "dataserver/store/connection_pool.h"

namespace kinvo::ds {

namespace {

constexpr std::size_t kLoggedTarget = 300;
// Connections waiting to be accepted; the kernel caps it at net.core.somaxconn.
constexpr int kListenBacklog = 1024;
constexpr std::chrono::milliseconds kWriteTimeout{10000};

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// One line per request; control bytes of the target are shown as "?" so a request cannot forge
// log lines.
class RequestLog {
  public:
    explicit RequestLog(bool quiet) : quiet_(quiet) {}

    void request(const std::string& remote, const RequestHead& head, int status,
                 std::uint64_t bytes) {
        if (quiet_) {
            return;
        }
        write(stamp() + " " + remote + " " + printable(head.method) + " " + printable(head.target) +
              " " + std::to_string(status) + " " + std::to_string(bytes));
    }

    void refused(int status, const std::string& remote) {
        if (!quiet_) {
            write(stamp() + " " + remote + " refused " + std::to_string(status));
        }
    }

    void error(std::string_view what) { write(stamp() + " error: " + std::string(what)); }

    void note(const std::string& text) { write(text); }

  private:
    static std::string printable(std::string_view text) {
        std::string out(text.substr(0, kLoggedTarget));
        for (char& c : out) {
            auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7f) {
                c = '?';
            }
        }
        if (text.size() > kLoggedTarget) {
            out += "...";
        }
        return out;
    }

    static std::string stamp() {
        std::time_t t = std::time(nullptr);
        std::tm tm{};
        gmtime_r(&t, &tm);
        char buf[32];
        std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
        return buf;
    }

    void write(const std::string& line) {
        std::lock_guard lock(mutex_);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }

    const bool quiet_;
    std::mutex mutex_;  // keeps lines whole
};

struct Answered {
    int status = 200;
    std::uint64_t bytes = 0;
    bool ok = true;  // the whole answer reached the socket
};

Answered sendMemory(const SocketWaits& to, const RequestHead& head, int status,
                    std::string_view type, std::string_view body, bool keepAlive,
                    std::string_view extra = {}) {
    std::string h = formatHead(AnswerHead{status, type, body.size(), keepAlive, extra});
    bool ok = sendAll(to, h, head.method == "HEAD" ? std::string_view() : body);
    return Answered{status, body.size(), ok};
}

// A stopping server ends a stream at its next chunk.
Answered sendMedia(const ConnectionHub& hub, const SocketWaits& to,
                   const std::filesystem::path& root, const RequestHead& head,
                   std::string_view relative, bool keepAlive) {
    auto file = resolveMediaFile(root, relative);
    FileDescriptor fd;
    struct stat st {};
    if (file) {
        fd = FileDescriptor(::open(file->c_str(), O_RDONLY | O_CLOEXEC));
    }
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return sendMemory(to, head, 404, "text/html; charset=utf-8", notFoundPage(), keepAlive);
    }
    auto size = static_cast<std::uint64_t>(st.st_size);
    std::string type = mediaContentType(*file);
    std::string_view rangeHeader = head.header("Range");
    RangeAnswer range = rangeHeader.empty() ? RangeAnswer{} : resolveRange(rangeHeader, size);
    std::string extra = "Accept-Ranges: bytes\r\n";
    if (range.kind == RangeAnswer::Kind::Unsatisfiable) {
        extra += "Content-Range: " + range.contentRange(size) + "\r\n";
        return sendMemory(to, head, 416, "text/plain", "", keepAlive, extra);
    }
    std::uint64_t first = 0;
    std::uint64_t length = size;
    int status = 200;
    if (range.kind == RangeAnswer::Kind::Partial) {
        status = 206;
        first = range.first;
        length = range.length();
        extra += "Content-Range: " + range.contentRange(size) + "\r\n";
    }
    std::string h = formatHead(AnswerHead{status, type, length, keepAlive, extra});
    bool ok = sendAll(to, h, {});
    if (ok && head.method != "HEAD") {
        ok = sendFileRange(to, fd.get(), first, length, hub.stoppingFlag());
    }
    return Answered{status, length, ok};
}

// The listening socket for `address`:`port` (0: any free port), or an invalid descriptor.
FileDescriptor listenOn(const std::string& address, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return {};
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        FileDescriptor fd(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol));
        if (!fd) {
            continue;
        }
        int one = 1;
        ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd.get(), a->ai_addr, a->ai_addrlen) == 0 &&
            ::listen(fd.get(), kListenBacklog) == 0) {
            return fd;
        }
    }
    return {};
}

int boundPort(int fd) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        return -1;
    }
    return addr.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port)
                                      : ntohs(reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
}

}  // namespace

void blockStopSignals() {
    // A shell starts background jobs with SIGINT ignored; an ignored signal is never delivered,
    // not even to sigtimedwait.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int serve(const ServeOptions& options) {
    // A client that goes away mid-answer must cost its connection, not the process: sendfile
    // has no MSG_NOSIGNAL.
    std::signal(SIGPIPE, SIG_IGN);
    RequestLog log(options.quiet);
    std::unique_ptr<ConnectionPool> pool;
    try {
        pool = std::make_unique<ConnectionPool>(options.database, options.threads);
        const std::string& fallback = options.settings.defaultCategory;
        if (fallback != wire::kMostPopularStations && !pool->acquire()->categoryId(fallback)) {
            std::fprintf(stderr,
                         "kinvo-dataserver: the catalogue has no category \"%s\"; lists asked "
                         "for a category it lacks show its first category with stations\n",
                         fallback.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kinvo-dataserver: %s\n", e.what());
        return 1;
    }
    std::filesystem::path mediaRoot;
    if (!options.mediaFolder.empty()) {
        std::error_code ec;
        mediaRoot = std::filesystem::canonical(options.mediaFolder, ec);
        if (ec || !std::filesystem::is_directory(mediaRoot)) {
            std::fprintf(stderr, "kinvo-dataserver: media folder %s is not a folder\n",
                         options.mediaFolder.c_str());
            return 1;
        }
    }

    std::unique_ptr<StartCounter> starts;
    try {
        starts = std::make_unique<StartCounter>(options.database, options.startWriteInterval,
                                                [&log](std::string_view what) { log.error(what); });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kinvo-dataserver: %s\n", e.what());
        return 1;
    }
    CachedAnswers answers(*pool, *starts, options.settings);
    Responder responder(
        *pool, answers, options.settings, [&log](std::string_view what) { log.error(what); },
        [] { return static_cast<std::int64_t>(std::time(nullptr)); });

    FileDescriptor listening = listenOn(options.listenAddress, options.port);
    if (!listening) {
        if (options.port == 0) {
            std::fprintf(stderr, "kinvo-dataserver: cannot listen on %s\n",
                         options.listenAddress.c_str());
        } else {
            std::fprintf(stderr, "kinvo-dataserver: cannot listen on %s:%d\n",
                         options.listenAddress.c_str(), options.port);
        }
        return 1;
    }
    int port = boundPort(listening.get());

    WorkerPool workers(options.threads);
    std::unique_ptr<ConnectionHub> hubOwner;
    auto handle = [&](Connection& c, const ReceivedRequest& r) {
        const ConnectionHub& hub = *hubOwner;
        const RequestHead& head = r.head;
        SocketWaits to{c.socket.get(), hub.stopFd(), kWriteTimeout};
        std::string_view target = head.target;
        std::size_t q = target.find('?');
        std::string_view path = target.substr(0, q);
        std::string_view query =
            q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
        bool keepAlive = head.keepAlive;
        Answered a;
        if (head.method != "GET" && head.method != "HEAD" && head.method != "POST") {
            a = sendMemory(to, head, 405, "text/plain", "", keepAlive,
                           "Allow: GET, HEAD, POST\r\n");
        } else if (!mediaRoot.empty() && head.method != "POST" && path.starts_with("/media/")) {
            a = sendMedia(hub, to, mediaRoot, head, path.substr(7), keepAlive);
        } else {
            Reply reply = responder.respond(Request{head.method, path, query, r.body, c.remote});
            a = sendMemory(to, head, reply.status, reply.contentType, reply.bodyView(), keepAlive);
        }
        log.request(c.remote, head, a.status, a.bytes);
        return a.ok && keepAlive;
    };
    hubOwner = std::make_unique<ConnectionHub>(
        std::move(listening), workers, handle,
        [&log](int status, const std::string& remote) { log.refused(status, remote); },
        ConnectionHub::Timeouts{});
    ConnectionHub& hub = *hubOwner;

    // The waiter sleeps in poll until a stop signal arrives or serving ends some other way;
    // nothing wakes it in between.
    sigset_t set = stopSignals();
    FileDescriptor signals(::signalfd(-1, &set, SFD_CLOEXEC));
    FileDescriptor ended(::eventfd(0, EFD_CLOEXEC));
    if (!signals || !ended) {
        std::fprintf(stderr, "kinvo-dataserver: cannot wait for signals\n");
        return 1;
    }
    std::thread waiter([&] {
        pollfd p[2] = {{signals.get(), POLLIN, 0}, {ended.get(), POLLIN, 0}};
        int rc;
        do {
            rc = ::poll(p, 2, -1);
        } while (rc < 0 && errno == EINTR);
        if (rc <= 0 || !(p[0].revents & POLLIN)) {
            return;
        }
        hub.stop();
    });

    // Scripts wait for this line to know the port.
    std::fprintf(stderr, "kinvo-dataserver: listening on %s:%d\n", options.listenAddress.c_str(),
                 port);
    std::fflush(stderr);
    bool ok = hub.run();
    workers.shutdown();
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(ended.get(), &one, sizeof one);
    waiter.join();
    starts->stop();
    log.note("kinvo-dataserver: stopped");
    return ok ? 0 : 1;
}

}  // namespace kinvo::ds
