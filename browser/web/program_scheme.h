#pragma once
// The program's own URL scheme, kinvo-app, through which player pages reach what they may not
// reach on their own, read-only and for GET alone:
//  - kinvo-app://program/ruffle/<name>: the files the program ships in <program's folder>/ruffle
//    (the Flash emulator), plain file names in that one folder and nothing else;
//  - kinvo-app://program/movie?<percent-encoded address>: a Flash movie (an http or https
//    address whose path ends in .swf or .dcr) relayed from its station. The player page is a
//    local file, and the engine lets it read no answer of a station that sends no CORS headers.
//
// Error policy: nothing throws. A request for anything else (another host or folder, a hidden
// or nested name, "..", another method, an address that is no Flash movie) fails with
// RequestDenied; a permitted name that is no readable file with UrlNotFound; a relayed movie
// whose station fails with RequestFailed.

#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <optional>

class QNetworkAccessManager;
class QWebEngineUrlRequestJob;

namespace kinvo::web {

inline constexpr char kProgramScheme[] = "kinvo-app";
// The folder of the emulator's files, with its trailing slash.
inline constexpr char kRuffleAddress[] = "kinvo-app://program/ruffle/";
// The relay of movies, to be followed by the movie's percent-encoded address.
inline constexpr char kMovieRelayAddress[] = "kinvo-app://program/movie?";

// Registers the scheme with the browser engine (secure, CORS-enabled, allowed to reach local
// content). Call once, before the QApplication is made; later calls do nothing.
void registerProgramScheme();

// The served file's path for an address of the scheme: <programDir>/ruffle/<name>, or an empty
// string when the address is not one of the emulator's files. Pure; the file need not exist.
QString servedFilePath(const QUrl& address, const QString& programDir);

// The movie a relay address asks for, or nullopt when it is no relay address or the movie is
// not an http(s) address ending in .swf or .dcr. Pure.
std::optional<QUrl> relayedMovie(const QUrl& address);

// The content type a served file goes out with, by its ending.
QByteArray servedContentType(const QString& fileName);

// Serves the scheme's requests: files from under programDir (the running program's folder),
// movies through its own network access. User-interface thread only: the engine calls
// requestStarted there, and a relayed movie is answered there once the station's answer is
// complete (a job the engine drops before then is never answered).
class ProgramSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT

  public:
    ProgramSchemeHandler(QString programDir, QObject* parent);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

  private:
    void serveFile(QWebEngineUrlRequestJob* job, const QString& path);
    void relay(QWebEngineUrlRequestJob* job, const QUrl& movie);

    QString programDir_;
    QNetworkAccessManager* network_;  // a child of the handler
};

}  // namespace kinvo::web
