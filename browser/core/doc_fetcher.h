#pragma once
// GetDoc: the browser's one HTTP fetch. It blocks its caller until the request is over but keeps
// the thread's events running meanwhile (a local event loop), so window handlers can run in
// between and may fetch themselves. There is one fetcher and one documentText: a nested GetDoc
// cancels the request of the GetDoc it runs inside, and that outer caller then finds in
// documentText whatever the nested one left there.
//
// Bounds (browser/core/limits.h): a body larger than the size limit (8 MiB) fails the fetch as
// soon as it shows, from Content-Length before any body byte or else from the bytes received,
// which are never buffered past the limit (documents are asked for uncompressed, so the bytes
// counted are the bytes on the wire); a fetch fails when it runs past its total limit
// (60 s, redirects included, however steadily bytes arrive) or receives nothing for the
// inactivity limit (30 s). At most 5 redirects are followed, each as a new request: the
// connect-to rule and its Host header apply to a hop only when the hop's own host is the data
// server, so neither ever reaches another host.
//
// Error policy: a fetch that fails (no connection, refused, a limit reached, too many redirects,
// HTTP status 400 or above, cancelled) leaves documentText empty, or as a nested fetch left it;
// GetDoc never reports.
// User-interface thread only.

#include "browser/core/limits.h"
#include "browser/core/program_state.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QEventLoop;
class QNetworkReply;
class QNetworkRequest;

namespace kinvo {

// Where data-server requests connect, like curl's --connect-to: the request keeps its address
// and Host header as built, only the connection goes to host:port.
struct ConnectTarget {
    QString host;
    quint16 port = 80;
    // When set, only a data server of this host name is connected elsewhere.
    QString onlyForServer;

    // "HOST:PORT" (an IPv6 host in brackets); nullopt when malformed.
    static std::optional<ConnectTarget> parse(std::string_view text);
};

class DocFetcher {
  public:
    explicit DocFetcher(ProgramState& state);
    ~DocFetcher();
    DocFetcher(const DocFetcher&) = delete;
    DocFetcher& operator=(const DocFetcher&) = delete;

    // Requests to the host named in state.dataServer are connected to target instead.
    void setConnectTo(std::optional<ConnectTarget> target) { connectTo_ = std::move(target); }
    // A request that receives nothing for this long fails.
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // A fetch that has not finished after this long in all fails.
    void setTotalLimit(std::chrono::milliseconds limit) { totalLimit_ = limit; }
    // A body of more bytes than this fails the fetch.
    void setSizeLimit(std::int64_t bytes) { sizeLimit_ = bytes; }
    // How many redirects a fetch follows.
    void setRedirectLimit(int redirects) { redirectLimit_ = redirects; }

    // Fetches address (the full "http://..." text), leaves the body in state.documentText and
    // returns documentText as the fetch ends (a nested fetch's body when one ran inside).
    std::string GetDoc(std::string_view address);

    // Stops whatever request runs; harmless when none does.
    void cancel();
    bool stillExecuting() const { return pending_ != nullptr; }

  private:
    // The fetch under way: its loop and the reply of the hop that runs (null between hops).
    struct Pending {
        QEventLoop* loop;
        QNetworkReply* reply = nullptr;
        bool expired = false;  // the total limit ran out
    };
    // How one request ended.
    struct Hop {
        enum class End { Body, Redirect, Failed } end = End::Failed;
        QByteArray body;
        QUrl next;  // where a redirect leads
    };

    // The request for url, connected elsewhere when url's host is the data server.
    QNetworkRequest requestFor(const QUrl& url) const;
    // Runs one request of the fetch in pending's loop.
    Hop fetchOnce(const QUrl& url, Pending& pending);

    ProgramState& state_;
    QNetworkAccessManager manager_;
    std::optional<ConnectTarget> connectTo_;
    std::chrono::milliseconds timeout_ = limits::kFetchInactivity;
    std::chrono::milliseconds totalLimit_ = limits::kFetchTotal;
    std::int64_t sizeLimit_ = limits::kDocumentBytes;
    int redirectLimit_ = limits::kRedirects;
    Pending* pending_ = nullptr;
};

}  // namespace kinvo
