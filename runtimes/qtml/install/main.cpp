// qtml-install: registers the movie runtime that lies beside this program in the machine hive
// of the registry stand-in (its per-user overlay; with --system the base hive for every user,
// which needs the right to write /etc/sonari). Run by ./run.sh and by the install step.
#include <qtml/qtml.h>

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "platform/registry.h"
#include "runtimes/qtml/install/runtime_registration.h"

int main(int argc, char** argv) {
    bool system = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--system") {
            system = true;
        } else {
            std::fprintf(stderr, "usage: qtml-install [--system]\n");
            return 2;
        }
    }
    win::RegistryPaths paths = win::RegistryPaths::fromEnvironment();
    if (system) {
        paths.machineOverlay = paths.machineBase;
    }
    win::Registry registry(paths);
    const std::string folder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    const auto result = kinvo::qtml::registerRuntime(registry, QTML_VERSION, folder);
    if (result.status != win::RegStatus::Ok) {
        std::fprintf(stderr, "qtml-install: cannot write %s%s%s\n", paths.machineOverlay.c_str(),
                     registry.damage().empty() ? "" : ": ", registry.damage().c_str());
        return 1;
    }
    std::printf("qtml-install: runtime version %08X registered in %s\n", result.version,
                paths.machineOverlay.c_str());
    return 0;
}
