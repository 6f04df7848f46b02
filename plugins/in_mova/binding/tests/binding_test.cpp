// The runtime binding against two stand-in runtimes: where it looks, the errors of a missing
// library, a missing entry and an unbound call, the initialise count of two bindings in one
// process, and the named mutex around initialise and terminate.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugins/in_mova/binding/init_mutex.h"
#include "plugins/in_mova/binding/runtime_binding.h"
#include "plugins/in_mova/binding/runtime_places.h"

namespace {

using kinvo::in_mova::RuntimeBinding;
using kinvo::in_mova::RuntimePlaces;

const std::string kFull = std::string(FAKE_FULL_DIR) + "/";
const std::string kPartial = std::string(FAKE_PARTIAL_DIR) + "/";
const std::string kNowhere = "/nonexistent/in_mova_binding_test/";

// What the bindings under test search; set by each test.
RuntimePlaces places;
RuntimePlaces currentPlaces() {
    return places;
}
RuntimePlaces onlyIn(const std::string& folder) {
    RuntimePlaces p;
    p.programFolder = folder;
    p.systemFolder = kNowhere;
    return p;
}

// The host's registry and mutexes, as the test offers them to the binding.
std::map<std::pair<int32_t, std::string>, std::string> registryTexts;
std::vector<std::string> mutexLog;
int mutexDummy = 0;

// Keeps the full stand-in loaded so its counters outlive the bindings' references.
struct Counters {
    void* library = dlopen((kFull + QTML_LIBRARY_NAME).c_str(), RTLD_NOW | RTLD_LOCAL);
    ~Counters() { dlclose(library); }
    int get(const char* name) const { return *static_cast<int*>(dlsym(library, name)); }
    int inits() const { return get("fakeInitCalls"); }
    int terms() const { return get("fakeTermCalls"); }
};

}  // namespace

extern "C" int32_t sonariRegQueryValue(int32_t root, const char*, const char* name, uint32_t* type,
                                       void* data, uint32_t* size) {
    const auto found = registryTexts.find({root, name});
    if (found == registryTexts.end()) {
        return SONARI_ERROR_FILE_NOT_FOUND;
    }
    *type = SONARI_REG_SZ;
    const uint32_t need = static_cast<uint32_t>(found->second.size() + 1);
    if (data == nullptr || *size < need) {
        *size = need;
        return SONARI_ERROR_MORE_DATA;
    }
    std::memcpy(data, found->second.c_str(), need);
    *size = need;
    return SONARI_ERROR_SUCCESS;
}
extern "C" SonariMutex* sonariOpenMutex(const char* name) {
    mutexLog.push_back(std::string("open ") + name);
    return reinterpret_cast<SonariMutex*>(&mutexDummy);
}
extern "C" void sonariLockMutex(SonariMutex*) {
    mutexLog.push_back("lock");
}
extern "C" void sonariUnlockMutex(SonariMutex*) {
    mutexLog.push_back("unlock");
}
extern "C" void sonariCloseMutex(SonariMutex*) {
    mutexLog.push_back("close");
}

TEST(RuntimeBinding, FailsToBindWithTheErrorOfWhatIsMissingAndStaysUnbound) {
    const struct {
        std::string folder;
        int16_t error;
    } cases[] = {{kNowhere, QTML_ERR_NO_LIBRARY}, {kPartial, QTML_ERR_NO_ENTRY}};
    for (const auto& c : cases) {
        places = onlyIn(c.folder);
        RuntimeBinding binding(currentPlaces);
        EXPECT_EQ(binding.initialize(0), c.error) << c.folder;
        EXPECT_FALSE(binding.bound());
        EXPECT_EQ(binding.initCount(), 0);
        EXPECT_EQ(binding.call(QTML_ENTER_MOVIES), QTML_ERR_NOT_BOUND);
        EXPECT_EQ(binding.callComponent(1, QTML_MC_DO_ACTION, {8, 1}), QTML_ERR_NOT_BOUND);
    }
}

TEST(RuntimeBinding, TheRuntimesOwnInitialiseFailureUnbinds) {
    const Counters counters;
    places = onlyIn(kFull);
    RuntimeBinding binding(currentPlaces);
    EXPECT_EQ(binding.initialize(99), -7);
    EXPECT_FALSE(binding.bound());
    EXPECT_EQ(binding.initialize(0), 0);
    EXPECT_TRUE(binding.bound());
    binding.terminate();
    EXPECT_FALSE(binding.bound());
}

TEST(RuntimeBinding, TwoBindingsCountTheirOwnInitialisesAndTheLastTerminateUnbinds) {
    const Counters counters;
    places = onlyIn(kFull);
    RuntimeBinding first(currentPlaces);
    RuntimeBinding second(currentPlaces);
    const int inits = counters.inits();
    const int terms = counters.terms();

    ASSERT_EQ(first.initialize(0), 0);
    ASSERT_EQ(first.initialize(0), 0);
    ASSERT_EQ(second.initialize(0), 0);
    EXPECT_EQ(first.initCount(), 2);
    EXPECT_EQ(second.initCount(), 1);
    EXPECT_EQ(counters.inits() - inits, 2);  // once per binding

    first.terminate();
    EXPECT_TRUE(first.bound());
    EXPECT_EQ(counters.terms() - terms, 0);
    first.terminate();
    EXPECT_FALSE(first.bound());
    EXPECT_EQ(first.call(QTML_ENTER_MOVIES), QTML_ERR_NOT_BOUND);
    EXPECT_EQ(counters.terms() - terms, 1);
    EXPECT_TRUE(second.bound());
    second.terminate();
    second.terminate();  // below zero stays at zero
    EXPECT_EQ(second.initCount(), 0);
    EXPECT_EQ(counters.terms() - terms, 2);
}

TEST(RuntimeBinding, InitialiseAndTerminateHoldTheProcessNamedMutex) {
    places = onlyIn(kFull);
    RuntimeBinding binding(currentPlaces);
    mutexLog.clear();
    ASSERT_EQ(binding.initialize(0), 0);
    binding.terminate();
    char pid[32];
    std::snprintf(pid, sizeof(pid), "%lx", static_cast<unsigned long>(getpid()));
    const std::string open = "open QTMLInitTermMutex" + std::string(pid);
    const std::vector<std::string> expected = {open, "lock", "unlock", "close",
                                               open, "lock", "unlock", "close"};
    EXPECT_EQ(mutexLog, expected);
}

TEST(RuntimePlaces, CandidatesFollowTheSearchOrder) {
    const struct {
        RuntimePlaces places;
        std::vector<std::string> expected;
    } cases[] = {
        {{"/a/QuickTime.qts", "/p/", "/m", std::string("/u/"), "/s"},
         {"/a/QuickTime.qts", "/p/QuickTime.qts", "/m/QuickTime.qts", "/u/QuickTime.qts",
          "/s/QuickTime.qts"}},
        {{"", "", std::nullopt, std::string(""), "/usr/lib/sonari"},
         {"/usr/lib/sonari/QuickTime.qts"}},
        {{"", "/p/", std::string("/m\\"), std::nullopt, "/s"},
         {"/p/QuickTime.qts", "/m\\QuickTime.qts", "/s/QuickTime.qts"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kinvo::in_mova::runtimeCandidates(c.places), c.expected);
    }
}

TEST(RuntimePlaces, TheFirstFolderThatHoldsTheLibraryWins) {
    const struct {
        std::string program, machine, user, loadedFrom;
    } cases[] = {
        {kFull, kPartial, kPartial, kFull},  // the program's folder before the registry's
        {kNowhere, kFull, kPartial, kFull},  // local machine before current user
        {kNowhere, kNowhere, kPartial, kPartial},
    };
    for (const auto& c : cases) {
        RuntimePlaces p = onlyIn(c.program);
        p.machineFolder = c.machine;
        p.userFolder = c.user;
        const auto library = kinvo::in_mova::loadRuntime(p);
        EXPECT_EQ(library.path(), c.loadedFrom + QTML_LIBRARY_NAME);
    }
}

TEST(RuntimePlaces, DiscoveryFindsTheLoadedCopyTheProgramFolderAndTheRegistryFolders) {
    registryTexts = {{{SONARI_HKEY_LOCAL_MACHINE, "QuickTime.qts folder"}, "/m"},
                     {{SONARI_HKEY_CURRENT_USER, "QuickTime.qts folder"}, "/u/"}};
    EXPECT_EQ(kinvo::in_mova::discoverRuntimePlaces().loadedPath, "");
    const Counters loaded;
    const auto found = kinvo::in_mova::discoverRuntimePlaces();
    EXPECT_EQ(found.loadedPath, kFull + QTML_LIBRARY_NAME);
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof(exe) - 1), 0);
    const std::string program = exe;
    EXPECT_EQ(found.programFolder, program.substr(0, program.rfind('/') + 1));
    EXPECT_EQ(found.machineFolder, "/m");
    EXPECT_EQ(found.userFolder, "/u/");
    registryTexts.clear();
}
