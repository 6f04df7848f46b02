// The diagnostics hook: the search order against a fake environment, and the real calls into a
// recording library loaded by real vexahost processes.
#include "axserver/diagnostics/diagnostics_hook.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "control/tests/program_folder.h"
#include "platform/process.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

// Version 7 and Ex answering 3 (success) unless told otherwise.
struct FakeLibrary {
    int32_t version = 7;
    int32_t result = 3;
    bool hasEx = true;
};
FakeLibrary* gLib = nullptr;
std::vector<std::string>* gCalls = nullptr;

int32_t fakeVersion(int32_t q) {
    gCalls->push_back("version " + std::to_string(q));
    return gLib->version;
}
int32_t fakeInit(int32_t q, const char* m) {
    gCalls->push_back("init " + std::to_string(q) + " " + m);
    return gLib->result;
}
int32_t fakeInitEx(DiagnosticsManifestRecord* r) {
    gCalls->push_back("initEx " + std::to_string(r->first) + " " + std::to_string(r->second) + " " +
                      r->manifest + " " + std::to_string(r->last));
    return gLib->result;
}

struct FakeEnv : DiagnosticsEnv {
    void* findLoaded(const std::string& name) override {
        calls.push_back("findLoaded " + name);
        return alreadyLoaded ? &lib : nullptr;
    }
    std::optional<std::string> installDir() override { return registryDir; }
    std::string programPath() override { return program; }
    void* load(const std::string& path) override {
        calls.push_back("load " + path);
        return loadable.count(path) ? &lib : nullptr;
    }
    void* symbol(void*, const char* name) override {
        std::string n = name;
        if (n == "FCLibraryVersion")
            return reinterpret_cast<void*>(&fakeVersion);
        if (n == "FCInitializeWithManifestInternal")
            return reinterpret_cast<void*>(&fakeInit);
        if (n == "FCInitializeWithManifestInternalEx" && lib.hasEx)
            return reinterpret_cast<void*>(&fakeInitEx);
        return nullptr;
    }
    void release(void*) override { calls.push_back("release"); }

    FakeLibrary lib;
    bool alreadyLoaded = false;
    std::optional<std::string> registryDir;
    std::string program = "/opt/kinvo/bin/vexahost";
    std::set<std::string> loadable;
    std::vector<std::string> calls;
};

class DiagnosticsSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        gLib = &env.lib;
        gCalls = &env.calls;
    }
    FakeEnv env;
    DiagnosticsHook hook{env};
};

TEST_F(DiagnosticsSearch, RegistryFolderFirstThenTheProgramFolder) {
    env.registryDir = "/srv/diag";
    env.loadable = {"/opt/kinvo/bin/tbdiag.dll"};
    EXPECT_TRUE(hook.start("m.bin"));
    EXPECT_EQ(env.calls, (std::vector<std::string>{
                             "findLoaded tbdiag.dll", "load /srv/diag/tbdiag.dll",
                             "load /opt/kinvo/bin/tbdiag.dll", "version 8", "initEx 1 8 m.bin 0"}));
    EXPECT_EQ(hook.useCount(), 1);
    env.calls.clear();
    EXPECT_TRUE(hook.start("m.bin")) << "already running: nothing new";
    EXPECT_TRUE(env.calls.empty());
    EXPECT_EQ(hook.useCount(), 1);
}

TEST_F(DiagnosticsSearch, AnEmptyRegistryValueAndAnAlreadyLoadedLibrary) {
    env.registryDir = "";
    env.loadable = {"/opt/kinvo/bin/tbdiag.dll"};
    EXPECT_TRUE(hook.start("m.bin"));
    EXPECT_EQ(env.calls[1], "load /opt/kinvo/bin/tbdiag.dll") << "an empty folder does not count";

    FakeEnv loaded;
    loaded.alreadyLoaded = true;
    gCalls = &loaded.calls;
    gLib = &loaded.lib;
    DiagnosticsHook second(loaded);
    EXPECT_TRUE(second.start("m.bin"));
    EXPECT_EQ(loaded.calls[0], "findLoaded tbdiag.dll");
    EXPECT_EQ(loaded.calls[1], "version 8") << "no search when it is already loaded";
}

TEST_F(DiagnosticsSearch, FailuresReleaseAndForget) {
    struct Case {
        const char* what;
        int32_t version;
        int32_t result;
        bool hasEx;
        bool running;
        const char* lastCall;
    } const cases[] = {
        {"version 5 is too old", 5, 0, true, false, "release"},
        {"version 6 is enough", 6, 0, true, true, "initEx 1 8 m.bin 0"},
        {"result 3 counts as success", 6, 3, true, true, "initEx 1 8 m.bin 0"},
        {"result 1 refuses", 6, 1, true, false, "release"},
        {"without Ex the plain call", 6, 0, false, true, "init 8 m.bin"},
    };
    for (const Case& c : cases) {
        FakeEnv e;
        e.lib = {c.version, c.result, c.hasEx};
        e.loadable = {"/opt/kinvo/bin/tbdiag.dll"};
        gLib = &e.lib;
        gCalls = &e.calls;
        DiagnosticsHook h(e);
        EXPECT_EQ(h.start("m.bin"), c.running) << c.what;
        EXPECT_EQ(h.running(), c.running) << c.what;
        EXPECT_EQ(e.calls.back(), c.lastCall) << c.what;
        EXPECT_EQ(h.entryPoint(diag::kLibraryVersion) != nullptr, c.running) << c.what;
    }
    FakeEnv bare;
    bare.program = "vexahost";
    DiagnosticsHook h(bare);
    EXPECT_FALSE(h.start("m.bin"));
    EXPECT_EQ(bare.calls, std::vector<std::string>{"findLoaded tbdiag.dll"})
        << "a program path without a folder gives up";
}

// Real processes: the recording library beside a copy of vexahost.
class DiagnosticsProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        test::isolateProcess();
        log_ = folder_.dir() / "calls.log";
        ::setenv("TBDIAG_LOG", log_.c_str(), 1);
        ::unsetenv("TBDIAG_VERSION");
        ::unsetenv("TBDIAG_RESULT");
    }
    std::string runAndReadLog(const char* commandLine) {
        auto process = win::createProcess(folder_.server(), commandLine);
        EXPECT_TRUE(process);
        auto code = process->wait(std::chrono::seconds(20));
        EXPECT_EQ(code, std::optional<int>(0));
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    test::ProgramFolder folder_;
    fs::path log_;
};

TEST_F(DiagnosticsProcess, TheProgramFolderLibraryGetsTheTwoCalls) {
    folder_.add(RECORDING_DIAG, "tbdiag.so");
    EXPECT_EQ(runAndReadLog("abc"),
              "FCLibraryVersion 8\n"
              "FCInitializeWithManifestInternalEx 1 8 master_ac_kelpovexa.bin 0\n");
}

TEST_F(DiagnosticsProcess, TooOldOrWithoutEx) {
    folder_.add(RECORDING_DIAG, "tbdiag.so");
    ::setenv("TBDIAG_VERSION", "5", 1);
    EXPECT_EQ(runAndReadLog(""), "FCLibraryVersion 8\n");
    fs::remove(log_);
    ::unsetenv("TBDIAG_VERSION");
    folder_.add(RECORDING_DIAG_NO_EX, "tbdiag.so");
    EXPECT_EQ(runAndReadLog("abc"),
              "FCLibraryVersion 8\n"
              "FCInitializeWithManifestInternal 8 master_ac_kelpovexa.bin\n");
}

TEST_F(DiagnosticsProcess, TheRegistryFolderComesBeforeTheProgramFolder) {
    fs::path elsewhere = folder_.dir() / "diag";
    fs::create_directory(elsewhere);
    fs::copy_file(RECORDING_DIAG_NO_EX, elsewhere / "tbdiag.so");
    folder_.add(RECORDING_DIAG, "tbdiag.so");
    std::ofstream(test::registryDir() / "machine.reg")
        << "Windows Registry Editor Version 5.00\n\n"
        << "[HKEY_LOCAL_MACHINE\\Software\\Zemlink\\ZEM Diagnostics]\n"
        << "\"InstallDir\"=\"" << elsewhere.string() << "\"\n";
    EXPECT_EQ(runAndReadLog("abc"),
              "FCLibraryVersion 8\n"
              "FCInitializeWithManifestInternal 8 master_ac_kelpovexa.bin\n")
        << "the library of the registry's folder (the one without Ex) was used";
    fs::remove(test::registryDir() / "machine.reg");
}

TEST_F(DiagnosticsProcess, NoLibraryNoCalls) {
    EXPECT_EQ(runAndReadLog("abc"), "");
}

}  // namespace
}  // namespace vexa
