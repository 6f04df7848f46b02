// The host's exported services as a plug-in calls them: registry values with their types and
// sizes, and subclassing, timers and the message pump of a window of the calling thread.
#include <gtest/gtest.h>
#include <sonari/host_system.h>
#include <sonari/host_windows.h>

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/messages.h"
#include "platform/registry.h"

namespace {

namespace fs = std::filesystem;

TEST(HostSystem, RegistryValuesAnswerTheirTypeSizeAndRoom) {
    std::string pattern = (fs::temp_directory_path() / "hostregXXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    ::setenv("SONARI_REGISTRY_DIR", dir.c_str(), 1);
    win::Registry registry(win::RegistryPaths::fromEnvironment());
    const char* key = "Software\\Maker\\Runtime";
    registry.setValue(win::RootKey::LocalMachine, key, "Version", win::RegValue::dword(0x06518000));
    registry.setValue(win::RootKey::CurrentUser, key, "Folder", win::RegValue::string("/opt/rt"));

    struct Case {
        int32_t root;
        const char* name;
        uint32_t room;
        int32_t status;
        uint32_t type;
        uint32_t size;
        const char* bytes;  // what lands in the buffer when it fits
    };
    static const uint32_t version = 0x06518000;
    const Case cases[] = {
        {SONARI_HKEY_LOCAL_MACHINE, "version", 4, SONARI_ERROR_SUCCESS, SONARI_REG_DWORD, 4,
         reinterpret_cast<const char*>(&version)},
        {SONARI_HKEY_CURRENT_USER, "Folder", 64, SONARI_ERROR_SUCCESS, SONARI_REG_SZ, 8, "/opt/rt"},
        {SONARI_HKEY_CURRENT_USER, "Folder", 3, SONARI_ERROR_MORE_DATA, SONARI_REG_SZ, 8, nullptr},
        {SONARI_HKEY_CURRENT_USER, "Version", 4, SONARI_ERROR_FILE_NOT_FOUND, 0, 4, nullptr},
        {7, "Version", 4, SONARI_ERROR_FILE_NOT_FOUND, 0, 4, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[64] = {};
        uint32_t type = 0;
        uint32_t size = c.room;
        EXPECT_EQ(sonariRegQueryValue(c.root, key, c.name, &type, buffer, &size), c.status);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.size);
        if (c.bytes != nullptr) {
            EXPECT_EQ(std::memcmp(buffer, c.bytes, c.size), 0);
        }
    }
    ::unsetenv("SONARI_REGISTRY_DIR");
    fs::remove_all(dir);
}

std::vector<uint32_t> seen;
SonariWindowProc saved = nullptr;

intptr_t recordingProc(SonariWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    seen.push_back(message);
    return message == SONARI_WM_APP ? 42
                                    : sonariCallWindowProc(saved, window, message, wParam, lParam);
}

TEST(HostWindows, SubclassingTimersAndThePumpWorkOnTheWindowsThread) {
    win::WindowClass cls;
    cls.name = "HostServicesTest";
    cls.proc = [](win::HWND, win::UINT message, win::WPARAM, win::LPARAM) -> win::LRESULT {
        return message == SONARI_WM_APP + 1 ? 7 : 0;
    };
    ASSERT_TRUE(win::registerClass(cls));
    const win::HWND hwnd = win::createWindow("HostServicesTest");
    ASSERT_NE(hwnd, 0u);

    saved = sonariSetWindowProc(hwnd, recordingProc);
    ASSERT_EQ(saved, cls.proc);
    EXPECT_EQ(win::sendMessage(hwnd, SONARI_WM_APP, 0, 0), 42);
    EXPECT_EQ(win::sendMessage(hwnd, SONARI_WM_APP + 1, 0, 0), 7);  // passed on

    // Timers belong to the window's thread: another thread's request fails.
    int32_t fromOther = -1;
    std::thread([&] { fromOther = sonariSetTimer(hwnd, 0x4445, 10); }).join();
    EXPECT_EQ(fromOther, 0);
    ASSERT_EQ(sonariSetTimer(hwnd, 0x4445, 10), 1);
    win::postMessage(hwnd, SONARI_WM_APP + 2, 0, 0);
    for (int i = 0; i < 200 && std::count(seen.begin(), seen.end(), SONARI_WM_TIMER) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sonariPumpMessages();
    }
    EXPECT_NE(std::count(seen.begin(), seen.end(), SONARI_WM_TIMER), 0);
    EXPECT_NE(std::count(seen.begin(), seen.end(), SONARI_WM_APP + 2), 0);
    EXPECT_EQ(sonariKillTimer(hwnd, 0x4445), 1);
    EXPECT_EQ(sonariSetWindowProc(hwnd, saved), recordingProc);
    win::destroyWindow(hwnd);
}

}  // namespace
