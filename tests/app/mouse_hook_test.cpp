#include "app/mouse_hook.h"

#include "tests/support/pump.h"
#include "ui/app.h"
#include "ui/win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PointerLeft {
    HWND to;
    LPARAM position;
};

// A library window that notes the pointer-left messages it gets.
class PointerWin : public TWin {
public:
    PointerWin(int x, int y) : TWin("KtAppTestPointer", nullptr, 0) {
        wca.style = WS_POPUP | WS_VISIBLE;
        wca.x = x;
        wca.y = y;
        wca.w = 100;
        wca.h = 100;
    }
    ~PointerWin() override {
        if (hwnd)
            DestroyWindow(hwnd);
    }
    int Other(TMsg& msg) override {
        if (msg.message != kPointerLeftMessage)
            return 0;
        left.push_back({reinterpret_cast<HWND>(msg.wParam), msg.lParam});
        return 1;
    }
    std::vector<PointerLeft> left;
};

HWND PlainWindow() {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class PointerTracker : public ::testing::Test {
protected:
    void SetUp() override {
        // Start with no window remembered (a destroyed one takes one call).
        for (int i = 0; i < 3 && LastPointerWindow(); ++i)
            TrackPointer(nullptr, 0);
        ASSERT_EQ(nullptr, LastPointerWindow());
        ASSERT_TRUE(a.Create());
        ASSERT_TRUE(b.Create());
    }
    void TearDown() override {
        for (int i = 0; i < 3 && LastPointerWindow(); ++i)
            TrackPointer(nullptr, 0);
    }
    TApp app{GetModuleHandleA(nullptr), TWin::StdWndProc};
    PointerWin a{0, 0};
    PointerWin b{200, 0};
};

TEST_F(PointerTracker, LibraryWindowIsToldWhereThePointerWentAndWhere) {
    TrackPointer(a.GetHandle(), MAKELONG(5, 6));
    EXPECT_TRUE(a.left.empty());
    TrackPointer(b.GetHandle(), MAKELONG(205, 7));
    ASSERT_EQ(1u, a.left.size());
    EXPECT_EQ(b.GetHandle(), a.left[0].to);
    EXPECT_EQ(MAKELONG(205, 7), a.left[0].position);
    EXPECT_EQ(b.GetHandle(), LastPointerWindow());
}

TEST_F(PointerTracker, MovingWithinOneWindowSendsNothing) {
    TrackPointer(a.GetHandle(), MAKELONG(5, 6));
    TrackPointer(a.GetHandle(), MAKELONG(50, 60));
    TrackPointer(a.GetHandle(), MAKELONG(70, 80));
    EXPECT_TRUE(a.left.empty());
}

TEST_F(PointerTracker, WindowWithoutObjectIsRememberedButNotTold) {
    HWND plain = PlainWindow();
    ASSERT_NE(nullptr, plain);
    TrackPointer(plain, 0);
    TrackPointer(a.GetHandle(), 0);
    EXPECT_EQ(a.GetHandle(), LastPointerWindow());
    TrackPointer(b.GetHandle(), 0);
    ASSERT_EQ(1u, a.left.size());
    EXPECT_EQ(b.GetHandle(), a.left[0].to);
    DestroyWindow(plain);
}

TEST_F(PointerTracker, DestroyedLastWindowIsFirstForgottenThenTrackingGoesOn) {
    PointerWin* gone = new PointerWin(400, 0);
    ASSERT_NE(nullptr, gone);
    ASSERT_TRUE(gone->Create());
    TrackPointer(gone->GetHandle(), 0);
    DestroyWindow(gone->GetHandle());  // deletes the object too

    TrackPointer(a.GetHandle(), 0);
    EXPECT_EQ(nullptr, LastPointerWindow());
    TrackPointer(a.GetHandle(), 0);
    EXPECT_EQ(a.GetHandle(), LastPointerWindow());
    TrackPointer(b.GetHandle(), 0);
    ASSERT_EQ(1u, a.left.size());
    EXPECT_EQ(b.GetHandle(), a.left[0].to);
}

TEST_F(PointerTracker, InstalledHookFollowsThePointerAcrossRealMouseMessages) {
    ASSERT_TRUE(InstallMouseHook(GetModuleHandleA(nullptr)));
    // Each move is a real pointer motion; the hook runs as the thread
    // retrieves the mouse message that it makes.
    SetCursorPos(50, 50);
    kt_test::PumpUntil([&] { return LastPointerWindow() == a.GetHandle(); }, 3000,
                       "the pointer over the first window");
    SetCursorPos(250, 40);
    bool told = kt_test::PumpUntil([&] { return !a.left.empty(); }, 3000,
                                   "the first window told that the pointer left");
    RemoveMouseHook();
    ASSERT_TRUE(told);
    EXPECT_EQ(b.GetHandle(), a.left[0].to);
    EXPECT_EQ(MAKELONG(250, 40), a.left[0].position);
}

}  // namespace
