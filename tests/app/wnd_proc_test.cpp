#include "app/wnd_proc.h"

#include "ui/app.h"
#include "ui/win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char kOwnClass[] = "KtAppTestOwnProc";
std::vector<UINT> ownProcMessages;

LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ownProcMessages.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateOwnWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kOwnClass;
    RegisterClassA(&wc);  // already there from an earlier test: fine
    return CreateWindowExA(0, kOwnClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

int destroyed = 0;

class Probe : public TWin {
public:
    Probe() : TWin(kOwnClass, nullptr, 0) {}
    ~Probe() override { ++destroyed; }
    int Other(TMsg& msg) override {
        if (msg.message != WM_APP)
            return 0;
        msg.result = static_cast<LRESULT>(msg.wParam + msg.lParam);
        return 1;
    }
};

class TheWndProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        destroyed = 0;
        ownProcMessages.clear();
    }
    TApp app{GetModuleHandleA(nullptr), TheWndProc};
};

TEST_F(TheWndProcTest, MessagesReachTheObjectAndItsAnswerIsTheResult) {
    HWND window = CreateOwnWindow();
    ASSERT_NE(nullptr, window);
    Probe probe;
    ASSERT_TRUE(probe.LinkWindow(window));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(TheWndProc), GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_EQ(42, SendMessageA(window, WM_APP, 40, 2));
    // What the object leaves alone goes to the window's own procedure.
    ownProcMessages.clear();
    SendMessageA(window, WM_APP + 1, 0, 0);
    EXPECT_EQ(std::vector<UINT>{WM_APP + 1}, ownProcMessages);
    DestroyWindow(window);
    EXPECT_EQ(0, destroyed);  // an object on the stack is not deleted
    EXPECT_EQ(nullptr, probe.GetHandle());
}

TEST_F(TheWndProcTest, HeapObjectIsDeletedOnceWithItsWindowAndTheWindowSeesWmDestroy) {
    HWND window = CreateOwnWindow();
    ASSERT_NE(nullptr, window);
    Probe* probe = new Probe;
    ASSERT_NE(nullptr, probe);
    ASSERT_TRUE(probe->DeletedWithWindow());
    ASSERT_TRUE(probe->LinkWindow(window));
    ownProcMessages.clear();
    DestroyWindow(window);
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(nullptr, TWin::GetWin(window));
    bool ownSawDestroy = false;
    for (UINT message : ownProcMessages)
        ownSawDestroy = ownSawDestroy || message == WM_DESTROY;
    EXPECT_TRUE(ownSawDestroy);
}

TEST_F(TheWndProcTest, WindowWithoutObjectGetsZeroAndNoDefaultProcessing) {
    HWND window = CreateOwnWindow();
    ASSERT_NE(nullptr, window);
    ownProcMessages.clear();
    EXPECT_EQ(0, TheWndProc(window, WM_APP, 1, 2));
    EXPECT_TRUE(ownProcMessages.empty());
    DestroyWindow(window);
}

TEST_F(TheWndProcTest, CommonControlLinkedAndDestroyedFreesItself) {
    // A tree view frees its items on WM_DESTROY; it must get it after the
    // object has let go of the window.
    HWND parent = CreateOwnWindow();
    ASSERT_NE(nullptr, parent);
    HWND tree = CreateWindowExA(0, "SysTreeView32", "", WS_CHILD, 0, 0, 50, 50, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, tree);
    Probe* probe = new Probe;
    ASSERT_NE(nullptr, probe);
    ASSERT_TRUE(probe->LinkWindow(tree));
    DestroyWindow(parent);
    EXPECT_EQ(1, destroyed);
    EXPECT_FALSE(IsWindow(tree));
}

}  // namespace
