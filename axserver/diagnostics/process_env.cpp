// The diagnostics hook's environment in a real process: the platform's library loader (with its
// ".dll" to ".so" rule) and the machine registry.
#include <list>
#include <memory>

#include "axserver/diagnostics/diagnostics_hook.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace vexa {

namespace {

class ProcessDiagnosticsEnv final : public DiagnosticsEnv {
  public:
    void* findLoaded(const std::string& name) override {
        return keep(win::Library::findLoaded(name));
    }
    std::optional<std::string> installDir() override {
        win::RegValue value;
        if (win::Registry::process().queryValue(win::RootKey::LocalMachine, diag::kRegistryKey,
                                                diag::kInstallDirValue,
                                                value) != win::RegStatus::Ok ||
            value.type != win::RegValue::Type::String) {
            return std::nullopt;
        }
        return value.text;
    }
    std::string programPath() override { return win::ownExecutablePath(); }
    void* load(const std::string& path) override { return keep(win::Library::load(path)); }
    void* symbol(void* library, const char* name) override {
        return static_cast<win::Library*>(library)->symbol(name);
    }
    void release(void* library) override {
        libraries_.remove_if([&](const win::Library& l) { return &l == library; });
    }

  private:
    void* keep(std::optional<win::Library> library) {
        if (!library) {
            return nullptr;
        }
        libraries_.push_back(std::move(*library));
        return &libraries_.back();
    }

    std::list<win::Library> libraries_;  // main thread only
};

}  // namespace

std::unique_ptr<DiagnosticsEnv> makeProcessDiagnosticsEnv() {
    return std::make_unique<ProcessDiagnosticsEnv>();
}

}  // namespace vexa
