#pragma once
// The demo's stations for the web view's end-to-end tests and benchmarks: clips made by the
// demo's own recipe (KINVO_MAKE_MEDIA, the ffmpeg tool) served over loopback, and the movie
// runtime registered as installing the program does. Header only; the test's main thread.

#include "browser/core/tests/fixture/http_fixture.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>

namespace kinvo::web::test_support {

// One clip for each name ("live.qrx", "film.mov", ...), each answered at "/media/<name>".
class DemoClips {
  public:
    explicit DemoClips(std::initializer_list<const char*> names) {
        const QString list = dir_.filePath(QStringLiteral("clips.txt"));
        {
            std::ofstream out(list.toStdString());
            for (const char* name : names) {
                out << "/media/" << name << "\n";
            }
        }
        const std::string media = dir_.filePath(QStringLiteral("media")).toStdString();
        made_ = std::system((std::string(KINVO_MAKE_MEDIA) + " '" + media + "' '" +
                             list.toStdString() + "'")
                                .c_str()) == 0;
        for (const char* name : names) {
            QFile file(QString::fromStdString(media + "/" + name));
            if (file.open(QIODevice::ReadOnly)) {
                server_.answer(std::string("/media/") + name, file.readAll().toStdString());
            }
        }
    }
    bool made() const { return made_; }
    // The clip's address on the loopback server.
    std::string url(const std::string& name) const { return server_.url("/media/" + name); }

  private:
    QTemporaryDir dir_;
    kinvo::testing::HttpFixture server_;
    bool made_ = false;
};

// The movie runtime of the program folder (KINVO_COMPONENTS_DIR/..) registered in a registry of
// this process's own (SONARI_REGISTRY_DIR, which the playback servers it starts inherit).
inline bool registerMovieRuntime() {
    static QTemporaryDir registry;
    qputenv("SONARI_REGISTRY_DIR", registry.path().toUtf8());
    static const bool registered =
        std::system(KINVO_COMPONENTS_DIR "/../qtml-install >/dev/null") == 0;
    return registered;
}

}  // namespace kinvo::web::test_support
