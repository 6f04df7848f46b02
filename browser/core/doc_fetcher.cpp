#include "browser/core/doc_fetcher.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <charconv>
#include <utility>

namespace kinvo {

std::optional<ConnectTarget> ConnectTarget::parse(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return std::nullopt;
    }
    std::string_view host = text.substr(0, colon);
    const std::string_view portText = text.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            return std::nullopt;
        }
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt;
    }
    unsigned port = 0;
    const char* end = portText.data() + portText.size();
    auto [ptr, ec] = std::from_chars(portText.data(), end, port);
    if (portText.empty() || ec != std::errc() || ptr != end || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return ConnectTarget{QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size())),
                         static_cast<quint16>(port),
                         {}};
}

DocFetcher::DocFetcher(ProgramState& state) : state_(state) {}

DocFetcher::~DocFetcher() {
    cancel();
}

void DocFetcher::cancel() {
    if (pending_ == nullptr) {
        return;
    }
    Pending* pending = pending_;
    pending_ = nullptr;
    pending->loop->quit();
    if (QNetworkReply* reply = std::exchange(pending->reply, nullptr)) {
        reply->abort();
    }
}

QNetworkRequest DocFetcher::requestFor(const QUrl& url) const {
    QNetworkRequest request(url);
    const QString dataServer = QString::fromUtf8(state_.dataServer.data(),
                                                 static_cast<qsizetype>(state_.dataServer.size()));
    if (connectTo_ && !dataServer.isEmpty() &&
        url.host().compare(dataServer, Qt::CaseInsensitive) == 0 &&
        (connectTo_->onlyForServer.isEmpty() ||
         connectTo_->onlyForServer.compare(dataServer, Qt::CaseInsensitive) == 0)) {
        QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
        if (url.port() != -1 && url.port() != 80) {
            host += ':' + QByteArray::number(url.port());
        }
        QUrl connected = url;
        connected.setHost(connectTo_->host);
        connected.setPort(connectTo_->port);
        request.setUrl(connected);
        request.setRawHeader("Host", host);
    }
    // Uncompressed: the size bound then counts the bytes on the wire, and no small compressed
    // answer can unpack into a large one (Qt unpacks only what it asked for itself).
    request.setRawHeader("Accept-Encoding", "identity");
    // Redirects are followed here, hop by hop, so that each hop gets a request of its own.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(timeout_.count()));
    return request;
}

DocFetcher::Hop DocFetcher::fetchOnce(const QUrl& url, Pending& pending) {
    QNetworkReply* reply = manager_.get(requestFor(url));
    // Reading as bytes arrive keeps Qt's own buffer at this size: it stops taking from the socket
    // while the buffer is full.
    constexpr qint64 kReadBuffer = 64 * 1024;
    reply->setReadBufferSize(kReadBuffer);
    pending.reply = reply;

    Hop hop;
    bool tooLarge = false;
    const auto take = [&] {
        while (!tooLarge && reply->bytesAvailable() > 0) {
            if (hop.body.size() + reply->bytesAvailable() > sizeLimit_) {
                tooLarge = true;
                reply->abort();
                return;
            }
            hop.body.append(reply->readAll());
        }
    };
    QEventLoop& loop = *pending.loop;
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (!tooLarge && length.isValid() && length.toLongLong() > sizeLimit_) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    pending.reply = nullptr;

    const bool running = pending_ == &pending;
    if (running) {
        take();
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const bool failed = !running || tooLarge || pending.expired ||
                        reply->error() != QNetworkReply::NoError || status >= 400;
    reply->disconnect(&loop);
    if (reply->isRunning()) {
        reply->abort();
    }
    reply->deleteLater();

    if (failed) {
        return {};
    }
    if (status >= 300 && location.isValid()) {
        hop.end = Hop::End::Redirect;
        hop.next = url.resolved(location);
        hop.body.clear();
        return hop;
    }
    hop.end = Hop::End::Body;
    return hop;
}

std::string DocFetcher::GetDoc(std::string_view address) {
    state_.documentText.clear();
    cancel();

    // Addresses are built by plain concatenation; bytes a URL can't carry are percent-encoded
    // on the wire, everything else goes as written.
    QUrl url = QUrl::fromEncoded(QByteArray(address.data(), static_cast<qsizetype>(address.size())),
                                 QUrl::TolerantMode);
    const auto fetchable = [](const QUrl& u) {
        return u.isValid() && !u.host().isEmpty() &&
               (u.scheme() == QLatin1String("http") || u.scheme() == QLatin1String("https"));
    };
    if (!fetchable(url)) {
        return state_.documentText;
    }

    QEventLoop loop;
    Pending pending{&loop};
    pending_ = &pending;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&pending] {
        pending.expired = true;
        if (pending.reply != nullptr) {
            pending.reply->abort();
        }
    });
    deadline.start(totalLimit_);

    std::optional<QByteArray> body;
    for (int redirects = 0;; ++redirects) {
        Hop hop = fetchOnce(url, pending);
        if (pending_ != &pending || hop.end == Hop::End::Failed) {
            break;
        }
        if (hop.end == Hop::End::Body) {
            body = std::move(hop.body);
            break;
        }
        if (redirects == redirectLimit_ || !fetchable(hop.next)) {
            break;
        }
        url = hop.next;
    }

    if (pending_ == &pending) {
        pending_ = nullptr;
        if (body) {
            state_.documentText = body->toStdString();
        }
    }
    return state_.documentText;
}

}  // namespace kinvo
