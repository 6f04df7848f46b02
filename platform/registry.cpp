#include "platform/registry.h"

#include "platform/debug_trace.h"
#include "platform/unique_fd.h"
#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace win {
namespace {

using detail::ReadResult;

std::string homeFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + fallback;
}

const char* rootName(RootKey root) {
    return root == RootKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string fullKey(RootKey root, std::string_view key) {
    while (!key.empty() && key.front() == '\\') {
        key.remove_prefix(1);
    }
    std::string path = rootName(root);
    if (!key.empty()) {
        path += '\\';
        path += key;
    }
    return path;
}

bool makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

bool replaceFile(const std::string& path, const std::string& data) {
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        path + ".new" + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd) {
        return false;
    }
    if (!detail::writeAll(fd.get(), data)) {
        ::unlink(temp.c_str());
        return false;
    }
    // On disk before the rename, so a crash leaves the old hive or the whole new one.
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0 ||
        ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

RegistryPaths RegistryPaths::fromEnvironment() {
    RegistryPaths paths;
    const char* dir = std::getenv("SONARI_REGISTRY_DIR");
    if (dir != nullptr && dir[0] != '\0') {
        paths.machineBase = std::string(dir) + "/machine.reg";
        paths.machineOverlay = paths.machineBase;
        paths.user = std::string(dir) + "/user.reg";
        return paths;
    }
    paths.machineBase = "/etc/sonari/machine.reg";
    paths.machineOverlay = homeFolder("XDG_DATA_HOME", "/.local/share") + "/sonari/machine.reg";
    paths.user = homeFolder("XDG_CONFIG_HOME", "/.config") + "/sonari/user.reg";
    return paths;
}

Registry& Registry::process() {
    static Registry* registry = new Registry(RegistryPaths::fromEnvironment());
    return *registry;
}

Registry::Loaded Registry::load(const std::string& path) const {
    Loaded loaded;
    std::string text;
    switch (detail::readWholeFile(path, text)) {
        case ReadResult::Missing:
            return loaded;
        case ReadResult::Failed:
            loaded.status = RegStatus::Damaged;
            {
                std::lock_guard guard(lock_);
                damage_ = path + ": cannot be read";
            }
            return loaded;
        case ReadResult::Ok:
            break;
    }
    HiveParse parse = parseHive(text);
    if (!parse.hive) {
        loaded.status = RegStatus::Damaged;
        const std::string report =
            path + ":" + std::to_string(parse.errorLine) + ": " + parse.error;
        debugTrace("registry: damaged hive " + report + "\n");
        std::lock_guard guard(lock_);
        damage_ = report;
        return loaded;
    }
    loaded.hive = std::move(*parse.hive);
    return loaded;
}

std::string Registry::damage() const {
    std::lock_guard guard(lock_);
    return damage_;
}

std::array<const std::string*, 2> Registry::hiveFiles(RootKey root) const {
    if (root == RootKey::CurrentUser) {
        return {&paths_.user, nullptr};
    }
    return {&paths_.machineOverlay,
            paths_.machineBase != paths_.machineOverlay ? &paths_.machineBase : nullptr};
}

RegStatus Registry::openKey(RootKey root, std::string_view key) const {
    const std::string path = fullKey(root, key);
    for (const std::string* file : hiveFiles(root)) {
        if (file == nullptr) {
            continue;
        }
        Loaded loaded = load(*file);
        if (loaded.status != RegStatus::Ok) {
            return loaded.status;
        }
        if (loaded.hive.findKey(path) != nullptr) {
            return RegStatus::Ok;
        }
    }
    return RegStatus::NotFound;
}

RegStatus Registry::queryValue(RootKey root, std::string_view key, std::string_view name,
                               RegValue& value) const {
    const std::string path = fullKey(root, key);
    for (const std::string* file : hiveFiles(root)) {
        if (file == nullptr) {
            continue;
        }
        Loaded loaded = load(*file);
        if (loaded.status != RegStatus::Ok) {
            return loaded.status;
        }
        if (const HiveKey* found = loaded.hive.findKey(path)) {
            if (const HiveValue* v = Hive::findValue(*found, name)) {
                value = v->value;
                return RegStatus::Ok;
            }
        }
    }
    return RegStatus::NotFound;
}

RegStatus Registry::createKey(RootKey root, std::string_view key) {
    return modify(root, key, nullptr);
}

RegStatus Registry::setValue(RootKey root, std::string_view key, std::string_view name,
                             const RegValue& value) {
    const HiveValue entry{std::string(name), value};
    return modify(root, key, &entry);
}

RegStatus Registry::modify(RootKey root, std::string_view key, const HiveValue* value) {
    const std::string& file = root == RootKey::LocalMachine ? paths_.machineOverlay : paths_.user;
    std::lock_guard guard(writeLock_);
    if (!makeFolders(file)) {
        return RegStatus::WriteFailed;
    }
    // The lock file orders writers of all processes; readers need none (the rename is atomic).
    UniqueFd lockFile(::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lockFile) {
        return RegStatus::WriteFailed;
    }
    while (::flock(lockFile.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return RegStatus::WriteFailed;
        }
    }
    Loaded loaded = load(file);
    if (loaded.status != RegStatus::Ok) {
        return loaded.status;  // a damaged hive stays as it is
    }
    HiveKey& target = loaded.hive.createKey(fullKey(root, key));
    if (value != nullptr) {
        Hive::setValue(target, value->name, value->value);
    }
    return replaceFile(file, writeHive(loaded.hive)) ? RegStatus::Ok : RegStatus::WriteFailed;
}

}  // namespace win
