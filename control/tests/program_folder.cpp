#include "control/tests/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace vexa::test {

namespace fs = std::filesystem;

namespace {

fs::path makeTempDir(const char* prefix) {
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

fs::path& isolatedRoot() {
    static fs::path root;
    return root;
}

}  // namespace

ProgramFolder::ProgramFolder() : dir_(makeTempDir("vexahost-test-")) {
    fs::copy_file(VEXAHOST_PATH, dir_ / "vexahost");
    fs::create_directory(dir_ / "Plugins");
}

ProgramFolder::~ProgramFolder() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

void ProgramFolder::add(const fs::path& file, const std::string& name) const {
    fs::copy_file(file, dir_ / name, fs::copy_options::overwrite_existing);
}

fs::path isolateProcess() {
    fs::path& root = isolatedRoot();
    if (root.empty()) {
        root = makeTempDir("vexa-run-");
        fs::create_directory(root / "registry");
        ::setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
        ::setenv("SONARI_REGISTRY_DIR", (root / "registry").c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(isolatedRoot(), ignored);
        });
    }
    return root;
}

fs::path registryDir() {
    return isolateProcess() / "registry";
}

}  // namespace vexa::test
