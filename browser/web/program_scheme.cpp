#include "browser/web/program_scheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <utility>

namespace kinvo::web {
namespace {

constexpr char kHost[] = "program";
constexpr char kFolder[] = "/ruffle/";
constexpr char kRelayPath[] = "/movie";

bool isProgramAddress(const QUrl& address) {
    return address.scheme() == QLatin1String(kProgramScheme) &&
           address.host() == QLatin1String(kHost) && !address.hasFragment();
}

}  // namespace

void registerProgramScheme() {
    if (QWebEngineUrlScheme::schemeByName(kProgramScheme).name() == kProgramScheme) {
        return;
    }
    QWebEngineUrlScheme scheme(kProgramScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Secure, so that the engine grants its pages' scripts what it grants https; CORS-enabled,
    // so that the emulator's script may read its WebAssembly and the relayed movies from a page
    // of another origin.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QString servedFilePath(const QUrl& address, const QString& programDir) {
    if (!isProgramAddress(address) || address.hasQuery()) {
        return {};
    }
    // Decoded, so that an escaped slash or dot counts as the character it stands for.
    const QString path = address.path(QUrl::FullyDecoded);
    if (!path.startsWith(QLatin1String(kFolder))) {
        return {};
    }
    const QString name = path.mid(static_cast<qsizetype>(sizeof kFolder - 1));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')) ||
        name.contains(QLatin1Char('\\')) || name.contains(QChar(0))) {
        return {};
    }
    return programDir + QLatin1String(kFolder) + name;
}

std::optional<QUrl> relayedMovie(const QUrl& address) {
    if (!isProgramAddress(address) || address.path() != QLatin1String(kRelayPath) ||
        !address.hasQuery()) {
        return std::nullopt;
    }
    const QUrl movie(QUrl::fromPercentEncoding(address.query(QUrl::FullyEncoded).toUtf8()),
                     QUrl::StrictMode);
    const QString path = movie.path().toLower();
    if (!movie.isValid() || movie.host().isEmpty() ||
        (movie.scheme() != QLatin1String("http") && movie.scheme() != QLatin1String("https")) ||
        !(path.endsWith(QLatin1String(".swf")) || path.endsWith(QLatin1String(".dcr")))) {
        return std::nullopt;
    }
    return movie;
}

QByteArray servedContentType(const QString& fileName) {
    if (fileName.endsWith(QLatin1String(".js"))) {
        return "text/javascript";
    }
    if (fileName.endsWith(QLatin1String(".wasm"))) {
        return "application/wasm";
    }
    return "application/octet-stream";
}

ProgramSchemeHandler::ProgramSchemeHandler(QString programDir, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent),
      programDir_(std::move(programDir)),
      network_(new QNetworkAccessManager(this)) {}

void ProgramSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (const auto movie = relayedMovie(job->requestUrl())) {
        relay(job, *movie);
        return;
    }
    const QString path = servedFilePath(job->requestUrl(), programDir_);
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    serveFile(job, path);
}

void ProgramSchemeHandler::serveFile(QWebEngineUrlRequestJob* job, const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // A link inside the folder that leads out of it is refused like any other way out.
    const QString folder = QDir(programDir_ + QLatin1String(kFolder)).canonicalPath();
    if (folder.isEmpty() || !info.canonicalFilePath().startsWith(folder + QLatin1Char('/'))) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The job owns the file and closes it when the engine has read it.
    auto* file = new QFile(path, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(servedContentType(path), file);
}

void ProgramSchemeHandler::relay(QWebEngineUrlRequestJob* job, const QUrl& movie) {
    QNetworkRequest request(movie);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network_->get(request);
    // The job owns the reply: a job the engine drops aborts its download, and the answer,
    // connected through the job, never reaches a job that is gone.
    reply->setParent(job);
    connect(reply, &QNetworkReply::finished, job, [job, reply] {
        if (reply->error() != QNetworkReply::NoError) {
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        auto* body = new QBuffer(job);
        body->setData(reply->readAll());
        body->open(QIODevice::ReadOnly);
        job->reply("application/x-shockwave-flash", body);
    });
}

}  // namespace kinvo::web
