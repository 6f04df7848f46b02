#include "dataserver/server/http_server.h"

#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
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
#include "dataserver/server/cached_answers.h"
#include "dataserver/server/file_descriptor.h"
#include "dataserver/server/lenient_server.h"
#include "dataserver/server/media_files.h"
#include "dataserver/server/responder.h"
#include "dataserver/server/start_counter.h"
#include "dataserver/server/vendor_pages.h"
#include "dataserver/server/worker_pool.h"
#include "dataserver/store/connection_pool.h"

namespace kinvo::ds {

namespace {

constexpr std::size_t kMaxBody = 64 * 1024;
constexpr std::size_t kMediaChunk = 64 * 1024;
constexpr std::size_t kLoggedTarget = 300;
// Connections waiting to be accepted; the kernel caps it at net.core.somaxconn.
constexpr int kListenBacklog = 1024;

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

    void request(const httplib::Request& req, const httplib::Response& res) {
        if (quiet_) {
            return;
        }
        std::string target = req.target.substr(0, kLoggedTarget);
        for (char& c : target) {
            auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7f) {
                c = '?';
            }
        }
        if (req.target.size() > kLoggedTarget) {
            target += "...";
        }
        write(stamp() + " " + req.remote_addr + " " + req.method + " " + target + " " +
              std::to_string(res.status) + " " +
              std::to_string(res.body.empty() ? res.content_length_ : res.body.size()));
    }

    void error(std::string_view what) { write(stamp() + " error: " + std::string(what)); }

    void note(const std::string& text) { write(text); }

  private:
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

// A stopping server ends a stream at its next chunk.
void streamMedia(const LenientServer& server, const std::filesystem::path& root,
                 const httplib::Request& req, httplib::Response& res, std::string_view relative) {
    auto file = resolveMediaFile(root, relative);
    if (!file) {
        res.status = 404;
        res.set_content(notFoundPage(), "text/html; charset=utf-8");
        return;
    }
    auto fd = std::make_shared<FileDescriptor>(::open(file->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!*fd || ::fstat(fd->get(), &st) != 0) {
        res.status = 404;
        res.set_content(notFoundPage(), "text/html; charset=utf-8");
        return;
    }
    auto size = static_cast<std::size_t>(st.st_size);
    res.set_header("Accept-Ranges", "bytes");
    // httplib answers a range that starts past the end with 206 and then nothing at all.
    for (const auto& [first, last] : req.ranges) {
        bool suffix = first < 0;
        if ((!suffix && static_cast<std::size_t>(first) >= size) || (suffix && last == 0) ||
            (!suffix && last >= 0 && last < first)) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(size));
            res.set_content("", "text/plain");
            return;
        }
    }
    if (size == 0) {
        res.set_content("", mediaContentType(*file));
        return;
    }
    // httplib asks the provider only for the ranges the client requested.
    res.set_content_provider(
        size, mediaContentType(*file),
        [&server, fd, size](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            if (server.stopping()) {
                return false;
            }
            char buf[kMediaChunk];
            std::size_t want = std::min({length, sizeof buf, size - std::min(offset, size)});
            if (want == 0) {
                return false;
            }
            ssize_t got = ::pread(fd->get(), buf, want, static_cast<off_t>(offset));
            if (got <= 0) {
                return false;
            }
            return sink.write(buf, static_cast<std::size_t>(got));
        });
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

    LenientServer server;
    std::size_t threads = options.threads;
    // httplib makes the pool when it starts listening and deletes it after its workers have
    // ended; only those workers ask whether others wait, so the pointer is live whenever read.
    auto workers = std::make_shared<std::atomic<WorkerPool*>>(nullptr);
    server.new_task_queue = [threads, workers] {
        auto* p = new WorkerPool(threads);
        workers->store(p);
        return p;
    };
    server.setScheduling(
        [workers] {
            WorkerPool* p = workers->load();
            return p != nullptr && p->waiting() > 0;
        },
        [workers](std::function<void()> job) {
            if (WorkerPool* p = workers->load()) {
                p->enqueue(std::move(job));
            }
        });
    // With Nagle's algorithm an answer's last short segment waits until the client has
    // acknowledged what went before, which clients delay by up to 40 ms: on every keep-alive
    // request. Accepted sockets inherit the listening socket's setting.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(kMaxBody);
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(1000);
    server.set_logger([&log](const httplib::Request& req, const httplib::Response& res) {
        log.request(req, res);
    });
    server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        if (req.target.size() + req.method.size() + 10 > kMaxRequestLine) {
            res.status = 414;
            res.set_content("", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    auto handle = [&](const httplib::Request& req, httplib::Response& res) {
        std::string_view target = req.target;
        std::size_t q = target.find('?');
        std::string_view path = target.substr(0, q);
        std::string_view query =
            q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
        if (!mediaRoot.empty() && req.method != "POST" && path.starts_with("/media/")) {
            streamMedia(server, mediaRoot, req, res, path.substr(7));
            return;
        }
        Reply reply =
            responder.respond(Request{req.method, path, query, req.body, req.remote_addr});
        res.status = reply.status;
        // The library waits forever on a provider of no bytes: an empty body goes as content.
        if (SharedBody body = std::move(reply.sharedBody); body && !body->empty()) {
            std::size_t size = body->size();
            res.set_content_provider(
                size, reply.contentType,
                [body = std::move(body)](std::size_t offset, std::size_t length,
                                         httplib::DataSink& sink) {
                    return offset <= body->size() &&
                           sink.write(body->data() + offset,
                                      std::min(length, body->size() - offset));
                });
            return;
        }
        res.set_content(reply.body, reply.contentType);
    };
    server.Get(".*", handle);
    server.Post(".*", handle);

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.listenAddress.c_str());
        if (port < 0) {
            std::fprintf(stderr, "kinvo-dataserver: cannot listen on %s\n",
                         options.listenAddress.c_str());
            return 1;
        }
    } else if (!server.bind_to_port(options.listenAddress.c_str(), port)) {
        std::fprintf(stderr, "kinvo-dataserver: cannot listen on %s:%d\n",
                     options.listenAddress.c_str(), port);
        return 1;
    }

    if (!server.setListenBacklog(kListenBacklog)) {
        std::fprintf(stderr, "kinvo-dataserver: cannot widen the listen backlog\n");
    }

    // The waiter sleeps in poll until a stop signal arrives or serving ends some other way;
    // nothing wakes it in between.
    sigset_t set = stopSignals();
    FileDescriptor signals(::signalfd(-1, &set, SFD_CLOEXEC));
    FileDescriptor ended(::eventfd(0, EFD_CLOEXEC));
    if (!signals || !ended) {
        std::fprintf(stderr, "kinvo-dataserver: cannot wait for signals\n");
        return 1;
    }
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        pollfd p[2] = {{signals.get(), POLLIN, 0}, {ended.get(), POLLIN, 0}};
        int rc;
        do {
            rc = ::poll(p, 2, -1);
        } while (rc < 0 && errno == EINTR);
        if (rc <= 0 || !(p[0].revents & POLLIN)) {
            return;
        }
        // A signal right after start-up may come before the server runs, when stopping it
        // would do nothing; this wait lasts at most that short moment.
        while (!server.is_running() && !done.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server.stopServing();
    });

    // Scripts wait for this line to know the port.
    std::fprintf(stderr, "kinvo-dataserver: listening on %s:%d\n", options.listenAddress.c_str(),
                 port);
    std::fflush(stderr);
    bool ok = server.listen_after_bind();
    done.store(true);
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(ended.get(), &one, sizeof one);
    waiter.join();
    starts->stop();
    log.note("kinvo-dataserver: stopped");
    return ok ? 0 : 1;
}

}  // namespace kinvo::ds
