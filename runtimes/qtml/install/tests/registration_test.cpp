// Registering the runtime: a missing or older version is replaced together with the folder, a
// newer one is kept, a damaged hive is left as it is.
#include "runtimes/qtml/install/runtime_registration.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace kinvo::qtml {
namespace {

namespace fs = std::filesystem;
using win::RegStatus;
using win::RegValue;
using win::RootKey;

TEST(RuntimeRegistration, WritesOnlyOverAMissingOrOlderVersion) {
    struct Case {
        const char* name;
        std::optional<unsigned> before;
        bool damaged;
        RegStatus status;
        unsigned after;
        const char* folder;  // the folder value afterwards, null when none
    };
    const Case cases[] = {
        {"missing", std::nullopt, false, RegStatus::Ok, 0x07008000, "/opt/kinvo/bin"},
        {"older", 0x06308000, false, RegStatus::Ok, 0x07008000, "/opt/kinvo/bin"},
        {"newer", 0x07100000, false, RegStatus::Ok, 0x07100000, nullptr},
        {"damaged", std::nullopt, true, RegStatus::Damaged, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string pattern = (fs::temp_directory_path() / "qtmlregXXXXXX").string();
        const fs::path dir = ::mkdtemp(pattern.data());
        const std::string hive = (dir / "machine.reg").string();
        win::Registry registry({hive, hive, (dir / "user.reg").string()});
        if (c.before) {
            registry.setValue(RootKey::LocalMachine, kRuntimeKey, "Version",
                              RegValue::dword(*c.before));
        }
        if (c.damaged) {
            std::ofstream(hive) << "not a hive\n";
        }
        const Registration got = registerRuntime(registry, 0x07008000, "/opt/kinvo/bin");
        EXPECT_EQ(got.status, c.status);
        EXPECT_EQ(got.version, c.after);
        RegValue value;
        if (c.after != 0) {
            ASSERT_EQ(registry.queryValue(RootKey::LocalMachine, kRuntimeKey, "version", value),
                      RegStatus::Ok);
            EXPECT_EQ(value, RegValue::dword(c.after));
        }
        const bool hasFolder = registry.queryValue(RootKey::LocalMachine, kRuntimeKey,
                                                   "QuickTime.qts folder", value) == RegStatus::Ok;
        EXPECT_EQ(hasFolder, c.folder != nullptr);
        if (hasFolder && c.folder != nullptr) {
            EXPECT_EQ(value.text, c.folder);
        }
        fs::remove_all(dir);
    }
}

}  // namespace
}  // namespace kinvo::qtml
