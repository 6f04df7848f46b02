// The registry stand-in: hive text round trips, damaged hives, overlay, case and concurrency.
#include "platform/registry.h"
#include "platform/reg_hive.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace win {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "regtestXXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

TEST(RegHive, TextRoundTripKeepsEveryValue) {
    Hive hive;
    HiveKey& key = hive.createKey("HKEY_LOCAL_MACHINE\\Software\\ZEM\\Kelpo");
    Hive::setValue(key, "ProxyEnable", RegValue::dword(0xA));
    Hive::setValue(key, "ProxyServer", RegValue::string("proxy:8080"));
    Hive::setValue(key, "", RegValue::string("default"));
    Hive::setValue(key, "Odd \"name\"",
                   RegValue::string("C:\\Path\\ with \"quotes\"\nand lines\r"));
    Hive::setValue(key, "Max", RegValue::dword(0xFFFFFFFF));
    hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Empty");

    const std::string text = writeHive(hive);
    EXPECT_NE(text.find("\"ProxyEnable\"=dword:0000000a\n"), std::string::npos);
    EXPECT_NE(text.find("@=\"default\"\n"), std::string::npos);
    const HiveParse parsed = parseHive(text);
    ASSERT_TRUE(parsed.hive) << parsed.error;
    ASSERT_EQ(parsed.hive->keys.size(), 2u);
    const HiveKey* again = parsed.hive->findKey("hkey_local_machine\\software\\zem\\KELPO\\");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->values.size(), key.values.size());
    for (std::size_t i = 0; i < key.values.size(); ++i) {
        EXPECT_EQ(again->values[i].name, key.values[i].name);
        EXPECT_EQ(again->values[i].value, key.values[i].value);
    }
    EXPECT_EQ(writeHive(*parsed.hive), text);
}

TEST(RegHive, ReadsHandWrittenFiles) {
    const HiveParse parsed = parseHive(
        "\xEF\xBB\xBFREGEDIT4\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n"
        "  \"Name\" = \"value\"  \r\n\"Count\"=DWORD:0000001F\r\n\"Name\"=\"later wins\"\r\n");
    ASSERT_TRUE(parsed.hive) << parsed.error;
    const HiveKey* key = parsed.hive->findKey("HKEY_CURRENT_USER\\Software\\A");
    ASSERT_NE(key, nullptr);
    ASSERT_NE(Hive::findValue(*key, "name"), nullptr);
    EXPECT_EQ(Hive::findValue(*key, "name")->value, RegValue::string("later wins"));
    EXPECT_EQ(Hive::findValue(*key, "COUNT")->value, RegValue::dword(31));
    EXPECT_TRUE(parseHive("").hive);  // no file content: an empty hive
}

TEST(RegHive, DamagedFilesNameTheLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"not a hive\n", 1},
        {"REGEDIT4\n\"x\"=\"y\"\n", 2},         // value outside a key
        {"REGEDIT4\n[K]\n\"x\"=dword:1\n", 3},  // dword needs 8 digits
        {"REGEDIT4\n[K]\n\"x\"=dword:0000000g\n", 3},
        {"REGEDIT4\n[K]\n\"x\"=\"open\n", 3},     // unterminated text
        {"REGEDIT4\n[K]\n\"x\"=hex:01,02\n", 3},  // a type we do not keep
        {"REGEDIT4\n[K]\n\"x\"\n", 3},            // no '='
        {"REGEDIT4\n[K\n", 2},
        {"REGEDIT4\n[-K]\n", 2},                 // deletions are not hive content
        {"REGEDIT4\n[K]\n\"a\\q\"=\"b\"\n", 3},  // unknown escape
        {"REGEDIT4\n[K]\n\"x\"=\"y\" trailing\n", 3},
    };
    for (const Case& c : cases) {
        const HiveParse parsed = parseHive(c.text);
        EXPECT_FALSE(parsed.hive) << c.text;
        EXPECT_EQ(parsed.errorLine, c.line) << c.text;
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(Registry, ValuesRoundTripWithoutRegardToCase) {
    TempDir dir;
    Registry registry(RegistryPaths{(dir.path() / "etc/machine.reg").string(),
                                    (dir.path() / "data/sonari/machine.reg").string(),
                                    (dir.path() / "config/sonari/user.reg").string()});
    RegValue value;
    EXPECT_EQ(registry.openKey(RootKey::LocalMachine, "Software\\ZEM\\Kelpo"), RegStatus::NotFound);
    EXPECT_EQ(
        registry.queryValue(RootKey::LocalMachine, "Software\\ZEM\\Kelpo", "ProxyEnable", value),
        RegStatus::NotFound);

    EXPECT_EQ(registry.createKey(RootKey::LocalMachine, "Software\\ZEM\\Kelpo"), RegStatus::Ok);
    EXPECT_EQ(registry.openKey(RootKey::LocalMachine, "software\\zem\\kelpo"), RegStatus::Ok);
    EXPECT_EQ(registry.setValue(RootKey::LocalMachine, "Software\\ZEM\\Kelpo", "ProxyEnable",
                                RegValue::dword(1)),
              RegStatus::Ok);
    EXPECT_EQ(registry.setValue(RootKey::LocalMachine, "SOFTWARE\\zem\\Kelpo", "proxyserver",
                                RegValue::string("host:3128")),
              RegStatus::Ok);
    EXPECT_EQ(registry.setValue(RootKey::LocalMachine, "Software\\ZEM\\Kelpo", "ProxyServer",
                                RegValue::string("other:8080")),
              RegStatus::Ok);
    ASSERT_EQ(
        registry.queryValue(RootKey::LocalMachine, "Software\\ZEM\\Kelpo", "PROXYENABLE", value),
        RegStatus::Ok);
    EXPECT_EQ(value, RegValue::dword(1));
    ASSERT_EQ(
        registry.queryValue(RootKey::LocalMachine, "Software\\ZEM\\Kelpo", "ProxyServer", value),
        RegStatus::Ok);
    EXPECT_EQ(value, RegValue::string("other:8080"));
    // One key, one value of that name, the first spelling kept.
    const std::string text = readAll(dir.path() / "data/sonari/machine.reg");
    EXPECT_EQ(text.find("Kelpo]"), text.rfind("Kelpo]"));
    EXPECT_NE(text.find("\"proxyserver\"=\"other:8080\""), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "etc/machine.reg"));  // writes never go to the base

    // The roots are separate hives.
    EXPECT_EQ(
        registry.queryValue(RootKey::CurrentUser, "Software\\ZEM\\Kelpo", "ProxyEnable", value),
        RegStatus::NotFound);
    EXPECT_EQ(
        registry.setValue(RootKey::CurrentUser, "Software\\Kinvo", "x", RegValue::string("u")),
        RegStatus::Ok);
    EXPECT_TRUE(fs::exists(dir.path() / "config/sonari/user.reg"));
    EXPECT_EQ(
        fs::status(dir.path() / "config/sonari/user.reg").permissions() & fs::perms::others_read,
        fs::perms::none);
}

TEST(Registry, PerUserMachineHiveOverlaysTheSystemOne) {
    TempDir dir;
    const fs::path base = dir.path() / "etc/machine.reg";
    writeAll(base,
             "Windows Registry Editor Version 5.00\n\n"
             "[HKEY_LOCAL_MACHINE\\Software\\Zemlink\\ZEM Diagnostics]\n"
             "\"InstallDir\"=\"/opt/diag\"\n\"Level\"=dword:00000002\n");
    Registry registry(RegistryPaths{base.string(), (dir.path() / "over/machine.reg").string(),
                                    (dir.path() / "user.reg").string()});
    RegValue value;
    ASSERT_EQ(registry.queryValue(RootKey::LocalMachine, "Software\\Zemlink\\ZEM Diagnostics",
                                  "InstallDir", value),
              RegStatus::Ok);
    EXPECT_EQ(value.text, "/opt/diag");
    EXPECT_EQ(registry.openKey(RootKey::LocalMachine, "Software\\Zemlink\\ZEM Diagnostics"),
              RegStatus::Ok);

    const std::string before = readAll(base);
    EXPECT_EQ(registry.setValue(RootKey::LocalMachine, "Software\\Zemlink\\ZEM Diagnostics",
                                "InstallDir", RegValue::string("/home/me/diag")),
              RegStatus::Ok);
    EXPECT_EQ(readAll(base), before);
    ASSERT_EQ(registry.queryValue(RootKey::LocalMachine, "Software\\Zemlink\\ZEM Diagnostics",
                                  "InstallDir", value),
              RegStatus::Ok);
    EXPECT_EQ(value.text, "/home/me/diag");
    // Values only in the base still show through.
    ASSERT_EQ(registry.queryValue(RootKey::LocalMachine, "Software\\Zemlink\\ZEM Diagnostics",
                                  "Level", value),
              RegStatus::Ok);
    EXPECT_EQ(value, RegValue::dword(2));
}

TEST(Registry, DamagedHiveIsReportedAndNeverEmptiedByAWrite) {
    TempDir dir;
    const fs::path user = dir.path() / "user.reg";
    const std::string damaged =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\A]\n"
        "\"Keep\"=\"me\"\n\"Broken\"=dword:zz\n";
    writeAll(user, damaged);
    Registry registry(RegistryPaths{(dir.path() / "m.reg").string(),
                                    (dir.path() / "m.reg").string(), user.string()});
    RegValue value;
    EXPECT_EQ(registry.queryValue(RootKey::CurrentUser, "Software\\A", "Keep", value),
              RegStatus::Damaged);
    EXPECT_EQ(registry.openKey(RootKey::CurrentUser, "Software\\A"), RegStatus::Damaged);
    EXPECT_NE(registry.damage().find("user.reg:5:"), std::string::npos) << registry.damage();
    EXPECT_EQ(registry.setValue(RootKey::CurrentUser, "Software\\A", "New", RegValue::dword(1)),
              RegStatus::Damaged);
    EXPECT_EQ(registry.createKey(RootKey::CurrentUser, "Software\\B"), RegStatus::Damaged);
    EXPECT_EQ(readAll(user), damaged);
    // The other root is unaffected.
    EXPECT_EQ(registry.setValue(RootKey::LocalMachine, "Software\\A", "x", RegValue::dword(1)),
              RegStatus::Ok);
}

TEST(Registry, EnvironmentFolderReplacesAllThree) {
    TempDir dir;
    ::setenv("SONARI_REGISTRY_DIR", dir.path().c_str(), 1);
    const RegistryPaths paths = RegistryPaths::fromEnvironment();
    ::unsetenv("SONARI_REGISTRY_DIR");
    EXPECT_EQ(paths.machineBase, (dir.path() / "machine.reg").string());
    EXPECT_EQ(paths.machineOverlay, paths.machineBase);
    EXPECT_EQ(paths.user, (dir.path() / "user.reg").string());
    Registry registry(paths);
    EXPECT_EQ(registry.setValue(RootKey::LocalMachine, "K", "v", RegValue::string("1")),
              RegStatus::Ok);
    RegValue value;
    EXPECT_EQ(registry.queryValue(RootKey::LocalMachine, "K", "v", value), RegStatus::Ok);
}

TEST(Registry, ConcurrentWritersKeepEveryChange) {
    TempDir dir;
    const RegistryPaths paths{(dir.path() / "m.reg").string(), (dir.path() / "m.reg").string(),
                              (dir.path() / "u.reg").string()};
    // Two registry objects stand for two processes: only the file lock orders them.
    Registry first(paths), second(paths);
    constexpr int kEach = 40;
    std::thread a([&] {
        for (int i = 0; i < kEach; ++i) {
            first.setValue(RootKey::CurrentUser, "K", "a" + std::to_string(i), RegValue::dword(i));
        }
    });
    std::thread b([&] {
        for (int i = 0; i < kEach; ++i) {
            second.setValue(RootKey::CurrentUser, "K", "b" + std::to_string(i), RegValue::dword(i));
        }
    });
    a.join();
    b.join();
    RegValue value;
    for (int i = 0; i < kEach; ++i) {
        EXPECT_EQ(first.queryValue(RootKey::CurrentUser, "K", "a" + std::to_string(i), value),
                  RegStatus::Ok);
        EXPECT_EQ(first.queryValue(RootKey::CurrentUser, "K", "b" + std::to_string(i), value),
                  RegStatus::Ok);
    }
}

}  // namespace
}  // namespace win
