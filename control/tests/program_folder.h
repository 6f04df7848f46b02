// Process-level test support: a temporary program folder holding a copy of vexahost and a
// Plugins/ folder, and a private runtime folder so that the servers of one test never see those
// of tests running beside it.
#pragma once

#include <filesystem>
#include <string>

namespace vexa::test {

class ProgramFolder {
  public:
    ProgramFolder();  // copies the built vexahost into a new temporary folder
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string server() const { return (dir_ / "vexahost").string(); }
    // Copies a file into the folder (under `name`).
    void add(const std::filesystem::path& file, const std::string& name) const;

  private:
    std::filesystem::path dir_;
};

// Gives this test process its own runtime folder (XDG_RUNTIME_DIR) and registry folder
// (SONARI_REGISTRY_DIR); call before the first window is made. Returns the runtime folder.
std::filesystem::path isolateProcess();

// The folder the registry stand-in reads and writes for this test process.
std::filesystem::path registryDir();

}  // namespace vexa::test
