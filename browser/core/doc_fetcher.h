#pragma once
// GetDoc: the browser's one HTTP fetch. It blocks its caller until the request is over but keeps
// the thread's events running meanwhile (a local event loop), so window handlers can run in
// between and may fetch themselves. There is one fetcher and one documentText: a nested GetDoc
// cancels the request of the GetDoc it runs inside, and that outer caller then finds in
// documentText whatever the nested one left there.
//
// Error policy: a fetch that fails (no connection, refused, time-out, HTTP status 400 or above,
// cancelled) leaves documentText empty, or as a nested fetch left it; GetDoc never reports.
// User-interface thread only.

#include "browser/core/program_state.h"

#include <QNetworkAccessManager>
#include <QString>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

class QEventLoop;
class QNetworkReply;

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
    // A request that has not finished after this long fails.
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // Fetches address (the full "http://..." text), leaves the body in state.documentText and
    // returns documentText as the fetch ends (a nested fetch's body when one ran inside).
    std::string GetDoc(std::string_view address);

    // Stops whatever request runs; harmless when none does.
    void cancel();
    bool stillExecuting() const { return pending_ != nullptr; }

  private:
    struct Pending {
        QNetworkReply* reply;
        QEventLoop* loop;
    };

    ProgramState& state_;
    QNetworkAccessManager manager_;
    std::optional<ConnectTarget> connectTo_;
    std::chrono::milliseconds timeout_{30000};
    Pending* pending_ = nullptr;
};

}  // namespace kinvo
