#include "browser/web/flash_player.h"

#include "browser/web/program_scheme.h"

#include <QFile>
#include <QString>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace kinvo::web {

QString flashScriptSource() {
    QFile file(QStringLiteral(":/kinvo/web/flash_script.js"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("@RUFFLE@"), QLatin1String(kRuffleAddress))
        .replace(QStringLiteral("@RELAY@"), QLatin1String(kMovieRelayAddress));
}

void enableFlashPlayback(QWebEnginePage& page, const QString& programDir) {
    QWebEngineProfile* profile = page.profile();
    if (profile->urlSchemeHandler(kProgramScheme) == nullptr) {
        profile->installUrlSchemeHandler(kProgramScheme,
                                         new ProgramSchemeHandler(programDir, profile));
    }

    // A player starts its sound on its own, as the plug-in did; the player page is a local file
    // whose player fetches the movie from the station's HTTP address.
    QWebEngineSettings* settings = page.settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);

    QWebEngineScript script;
    script.setName(QStringLiteral("kinvo-flash"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(flashScriptSource());
    page.scripts().insert(script);
}

}  // namespace kinvo::web
