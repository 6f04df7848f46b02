// kinvo: the station browser. See browser_options.h for the command line.
#include "browser.h"
#include "browser_options.h"
#include "frm_main.h"
#include "print_category.h"
#include "pulse_wave_out.h"
#include "qt_prompts.h"
#include "qt_shell_opener.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const kinvo::ParsedOptions parsed = kinvo::parseBrowserOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr,
                     "kinvo: %s\nusage: kinvo [--discovery URL] [--connect-to HOST:PORT] "
                     "[--print-category NAME]\n",
                     parsed.error.c_str());
        return 64;
    }
    const kinvo::BrowserOptions& options = *parsed.options;

    if (options.printCategory) {
        QCoreApplication app(argc, argv);
        return kinvo::printCategory(options, *options.printCategory, stdout, stderr);
    }

    QApplication app(argc, argv);
    kinvo::Browser browser(options);
    kinvo::QtPrompts prompts;
    kinvo::QtShellOpener shell;
    kinvo::PulseWaveOut waveOut;
    // The window stays hidden until start-up has applied the settings and shows it.
    kinvo::frmMain window(browser, prompts, shell, waveOut);
    prompts.setParent(&window);
    int exitCode = 0;
    QTimer::singleShot(0, &window, [&] {
        if (!window.startUp()) {
            exitCode = kinvo::kExitNoDataServer;
            QCoreApplication::exit(exitCode);
        }
    });
    const int result = app.exec();
    return exitCode != 0 ? exitCode : result;
}
