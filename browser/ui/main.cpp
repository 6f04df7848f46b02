// kinvo: the station browser. See browser_options.h for the command line.
#include "browser/core/browser.h"
#include "browser/core/browser_options.h"
#include "browser/core/player_page.h"
#include "browser/ui/frm_main.h"
#include "browser/ui/print_category.h"
#include "browser/ui/print_player_page.h"
#include "browser/ui/qt_prompts.h"
#include "browser/ui/qt_shell_opener.h"
#include "browser/waveout/pulse_wave_out.h"
#include "browser/web/component_libraries.h"
#include "browser/web/component_probes.h"
#include "browser/web/program_scheme.h"

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The program folder's "Components" (the program folder holds kinvo itself).
QString componentsFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Components");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const kinvo::ParsedOptions parsed = kinvo::parseBrowserOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr,
                     "kinvo: %s\nusage: kinvo [--discovery URL] [--connect-to HOST:PORT] "
                     "[--print-category NAME | --search TERM]\n"
                     "       kinvo --player-page ADDRESS [--zoom 33|50|75|100] [--category TEXT]\n"
                     "       kinvo [--play ADDRESS] [--zoom 33|50|75|100]\n",
                     parsed.error.c_str());
        return 64;
    }
    const kinvo::BrowserOptions& options = *parsed.options;

    if (options.printCategory) {
        QCoreApplication app(argc, argv);
        return kinvo::printCategory(options, *options.printCategory, stdout, stderr);
    }

    if (options.search) {
        QCoreApplication app(argc, argv);
        return kinvo::printSearch(options, *options.search, stdout, stderr);
    }

    if (options.playerPage) {
        QCoreApplication app(argc, argv);
        kinvo::web::ComponentLibraries components(componentsFolder());
        kinvo::web::ComponentProbes probes(components);
        return kinvo::printPlayerPage(options, probes, stdout, stderr);
    }

    // The browser engine shares its graphics contexts with the window's, and its view draws
    // into the window's own surface: composed with OpenGL, a display without a GPU (a virtual
    // X server) shows the view over every other widget. Software composing needs nothing.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) {
        qputenv("QT_QUICK_BACKEND", "software");
    }
    // The engine's sandbox refuses to start for the superuser and takes the whole program
    // with it; as root (containers, kiosks) the engine runs without it.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    // The scheme that serves the Flash emulator to the pages exists before the engine starts.
    kinvo::web::registerProgramScheme();
    QApplication app(argc, argv);
    kinvo::Browser browser(options);
    kinvo::QtPrompts prompts;
    kinvo::QtShellOpener shell;
    kinvo::PulseWaveOut waveOut;
    // The window stays hidden until start-up has applied the settings and shows it.
    // The components player pages embed, installed beside the program (kept loaded to the end).
    kinvo::web::ComponentLibraries components(componentsFolder());
    kinvo::web::ComponentProbes probes(components);
    kinvo::frmMain window(browser, prompts, shell, waveOut, components);
    prompts.setParent(&window);
    prompts.setSettingsDialog([&window] { window.showSettingsDialog(); });
    kinvo::PlayerPage playerPage({browser.state, browser.settings, browser.comboS, prompts, shell,
                                  probes, window.web1(), window, browser.programFolder,
                                  [&window] { return window.zoomPercent(); }});
    window.setPlayerPage(&playerPage);
    window.setStationPlayer(playerPage);
    int exitCode = 0;
    QTimer::singleShot(0, &window, [&] {
        if (!window.startUp()) {
            exitCode = kinvo::kExitNoDataServer;
            QCoreApplication::exit(exitCode);
            return;
        }
        if (options.play) {
            // As the list starts a station: stop, hide the panel, then build the page.
            playerPage.StopPlayer();
            window.setStationPanelVisible(false);
            browser.state.currentAddress = *options.play;
            window.setZoom(options.zoomPercent);
        }
    });
    const int result = app.exec();
    return exitCode != 0 ? exitCode : result;
}
