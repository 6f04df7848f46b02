// The diagnostics hook's environment in a real process.
#include <dlfcn.h>

#include "axserver/diagnostics/diagnostics_hook.h"
#include "platform/process.h"

namespace vexa {

namespace {

// Library names written "X.dll" load as "X.so".
std::string sharedObjectName(std::string path) {
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".dll") == 0) {
        path.replace(path.size() - 4, 4, ".so");
    }
    return path;
}

class ProcessDiagnosticsEnv final : public DiagnosticsEnv {
  public:
    void* findLoaded(const std::string& name) override {
        return ::dlopen(sharedObjectName(name).c_str(), RTLD_NOW | RTLD_NOLOAD);
    }
    std::optional<std::string> installDir() override { return std::nullopt; }
    std::string programPath() override { return win::ownExecutablePath(); }
    void* load(const std::string& path) override {
        return ::dlopen(sharedObjectName(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    void* symbol(void* library, const char* name) override { return ::dlsym(library, name); }
    void release(void* library) override { ::dlclose(library); }
};

}  // namespace

DiagnosticsEnv& processDiagnosticsEnv() {
    static ProcessDiagnosticsEnv env;
    return env;
}

}  // namespace vexa
