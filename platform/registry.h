#pragma once
// The registry stand-in: text hives (reg_hive.h) for the local-machine and current-user roots.
//
//   local machine  /etc/sonari/machine.reg, overlaid by $XDG_DATA_HOME/sonari/machine.reg
//                  (~/.local/share when unset), which takes every write
//   current user   $XDG_CONFIG_HOME/sonari/user.reg (~/.config when unset)
//   SONARI_REGISTRY_DIR, when set, replaces all three folders (tests)
//
// Each call reads the files afresh, so processes see each other's writes. A write rewrites the
// hive atomically (a new file renamed over the old) under an advisory lock beside it, so two
// processes writing at once both keep their changes. A damaged hive is reported (RegStatus::
// Damaged, with the line in damage()) and never rewritten: a write to it fails and leaves it as
// it is. Missing files are empty hives.
//
// Keys are paths below the root ("Software\ZEM\Kelpo"); keys and value names are compared
// without regard to case. Thread-safe; nothing throws.

#include "platform/reg_hive.h"

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace win {

enum class RootKey { LocalMachine, CurrentUser };
enum class RegStatus { Ok, NotFound, Damaged, WriteFailed };

struct RegistryPaths {
    std::string machineBase;     // read only
    std::string machineOverlay;  // read first, takes the writes
    std::string user;

    static RegistryPaths fromEnvironment();
};

class Registry {
  public:
    explicit Registry(RegistryPaths paths) : paths_(std::move(paths)) {}

    // The process's registry, with the paths of the environment at its first use.
    static Registry& process();

    // Ok when the key exists in a hive of the root.
    RegStatus openKey(RootKey root, std::string_view key) const;
    RegStatus queryValue(RootKey root, std::string_view key, std::string_view name,
                         RegValue& value) const;
    // Creates the key (and nothing else) when it is missing.
    RegStatus createKey(RootKey root, std::string_view key);
    RegStatus setValue(RootKey root, std::string_view key, std::string_view name,
                       const RegValue& value);

    // The last damage found, as "<file>:<line>: <why>"; empty when none.
    std::string damage() const;

    const RegistryPaths& paths() const { return paths_; }

  private:
    struct Loaded {
        RegStatus status = RegStatus::Ok;
        Hive hive;
    };
    Loaded load(const std::string& path) const;
    // The hives of a root in reading order (the overlay first); null when there is no second.
    std::array<const std::string*, 2> hiveFiles(RootKey root) const;
    RegStatus modify(RootKey root, std::string_view key, const HiveValue* value);

    RegistryPaths paths_;
    mutable std::mutex lock_;  // guards damage_
    mutable std::string damage_;
    std::mutex writeLock_;  // orders this process's writes (flock orders processes)
};

}  // namespace win
