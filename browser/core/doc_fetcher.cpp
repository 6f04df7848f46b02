#include "browser/core/doc_fetcher.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <charconv>

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
    pending->reply->abort();
}

std::string DocFetcher::GetDoc(std::string_view address) {
    state_.documentText.clear();
    cancel();

    // Addresses are built by plain concatenation; bytes a URL can't carry are percent-encoded
    // on the wire, everything else goes as written.
    const QUrl url = QUrl::fromEncoded(
        QByteArray(address.data(), static_cast<qsizetype>(address.size())), QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return state_.documentText;
    }
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
    request.setTransferTimeout(static_cast<int>(timeout_.count()));

    QNetworkReply* reply = manager_.get(request);
    QEventLoop loop;
    Pending pending{reply, &loop};
    pending_ = &pending;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();

    if (pending_ == &pending) {
        pending_ = nullptr;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() == QNetworkReply::NoError && status < 400) {
            state_.documentText = reply->readAll().toStdString();
        }
    }
    reply->disconnect(&loop);
    reply->deleteLater();
    return state_.documentText;
}

}  // namespace kinvo
