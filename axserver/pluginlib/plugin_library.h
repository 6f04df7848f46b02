// A plug-in library loaded into vexahost: a move-only owner of the loaded library that releases
// it when it goes. Error policy of this module: nothing throws; a library that cannot be loaded
// gives nullopt, a missing symbol gives null.
#pragma once

#include <optional>
#include <string>

namespace vexa {

class PluginLibrary {
  public:
    // Loads the library at `path` (all its symbols resolved now, none made global); nullopt
    // when it does not load. Main thread.
    static std::optional<PluginLibrary> load(const std::string& path) noexcept;

    PluginLibrary(PluginLibrary&& other) noexcept;
    PluginLibrary& operator=(PluginLibrary&& other) noexcept;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    ~PluginLibrary();

    // The address of an exported symbol, null when the library has none of that name.
    void* symbol(const char* name) const noexcept;

    // The handle plug-ins see in their records' libraryHandle field.
    void* handle() const noexcept { return handle_; }

    // Releases the library now; the object then holds none.
    void reset() noexcept;

  private:
    explicit PluginLibrary(void* handle) noexcept : handle_(handle) {}

    void* handle_ = nullptr;
};

}  // namespace vexa
