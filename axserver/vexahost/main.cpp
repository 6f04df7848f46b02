// vexahost: the playback server. Process entry: the diagnostics hook, then burn mode or server
// mode as the command line says.
#include "axserver/core/command_line.h"
#include "axserver/core/server.h"
#include "axserver/diagnostics/diagnostics_hook.h"
#include "axserver/vexahost/modules.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    // Lives for the whole process: diagnostics that started stay loaded until exit.
    std::unique_ptr<vexa::DiagnosticsEnv> diagnosticsEnv = vexa::makeProcessDiagnosticsEnv();
    vexa::DiagnosticsHook diagnostics(*diagnosticsEnv);
    diagnostics.start(vexa::diag::kManifestName);

    vexa::CommandLine line = vexa::parseCommandLine(win::commandLineText(argc, argv));
    std::string executable = win::ownExecutablePath();
    if (line.burnMode) {
        return vexa::runBurnMode(executable, line.burnArguments, vexa::makeServerModules);
    }
    if (line.clientWindow == 0) {
        return 0;
    }
    return vexa::runServerMode(executable, line.clientWindow, vexa::makeServerModules);
}
