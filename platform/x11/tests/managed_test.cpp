// Visible windows under a real window manager, which frames every top-level window it sees
// mapped and hands it back only when the window is withdrawn.
#include "platform/x11/tests/x11_test_support.h"

#include <chrono>

#include "platform/x11/testing/managed_display.h"
#include "platform/x11/windows.h"

namespace win::testing {
namespace {

std::string noManagedDisplay;

class Managed : public DisplayTest {
  protected:
    void SetUp() override {
        if (!noManagedDisplay.empty()) {
            GTEST_SKIP() << noManagedDisplay;
        }
        DisplayTest::SetUp();
        registerRecorder("Plain", 0, kNoBackground);
    }

    ::Window treeParent(::Window w) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(other_, w, &root, &parent, &children, &count);
        if (children != nullptr) {
            XFree(children);
        }
        return parent;
    }
    bool viewable(::Window w) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(other_, w, &attributes) != 0 &&
               attributes.map_state == IsViewable;
    }
    template <typename Done>
    bool within(Done done) {
        return pumpUntil(done, std::chrono::seconds(5));
    }
};

// A top-level window that becomes a child of another program's window and a top-level again, as
// the video window does when it leaves full screen and enters it.
TEST_F(Managed, AFramedWindowBecomesAChildAndStaysOne) {
    const HWND hwnd = makeWindow("Plain", WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    ASSERT_NE(hwnd, 0u);
    const ::Window root = DefaultRootWindow(other_);
    ASSERT_TRUE(within([&] { return treeParent(hwnd) != root; })) << "never framed";
    const ::Window host = foreignWindow();

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(setParent(hwnd, static_cast<HWND>(host)), 0u);
        // Once the manager has let go of its frame it must not take the window back.
        pumpUntil([] { return false; }, std::chrono::milliseconds(300));
        EXPECT_EQ(treeParent(hwnd), host);
        EXPECT_TRUE(within([&] { return viewable(hwnd); }));

        EXPECT_EQ(setParent(hwnd, 0), static_cast<HWND>(host));
        EXPECT_TRUE(within([&] { return treeParent(hwnd) != host && viewable(hwnd); }));
    }
}

}  // namespace
}  // namespace win::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no display; the runs get one with a window manager on it.
    kinvo::testing::ManagedDisplay display;
    if (!GTEST_FLAG_GET(list_tests) && !display.start()) {
        win::testing::noManagedDisplay = display.reason();
    }
    return RUN_ALL_TESTS();
}
