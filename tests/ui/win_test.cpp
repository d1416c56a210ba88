// Window objects: allocation that fails without throwing, and deletion with
// the window for heap objects only.
#include "ui/app.h"
#include "ui/control.h"
#include "ui/win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int constructed = 0;
int destroyed = 0;

class TCountedWin : public TWin {
public:
    TCountedWin() : TWin("KtLayerTestFrame", nullptr, 0) {
        ++constructed;
        wca.style = WS_OVERLAPPEDWINDOW;
        wca.title = "Layer Test Frame";
    }
    ~TCountedWin() override { ++destroyed; }
};

class TCountedStatic : public TControl {
public:
    TCountedStatic(TWin* parent, int id) : TControl("Static", parent, id, 0) { ++constructed; }
    ~TCountedStatic() override { ++destroyed; }
};

class WinTest : public ::testing::Test {
protected:
    WinTest() : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {}
    void SetUp() override { constructed = destroyed = 0; }
    void TearDown() override { TWin::FailAllocations(0); }
    TApp app;
};

TEST_F(WinTest, FailedAllocationGivesNullWithoutRunningTheConstructor) {
    TWin::FailAllocations(1);
    TCountedWin* failed = new TCountedWin;
    EXPECT_EQ(nullptr, failed);
    EXPECT_EQ(0, constructed);

    // Only the one allocation fails.
    TCountedWin* next = new TCountedWin;
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(1, constructed);
    EXPECT_TRUE(next->DeletedWithWindow());
    delete next;
    EXPECT_EQ(1, destroyed);
}

TEST_F(WinTest, HeapObjectsGoWithTheirWindowsAndStackObjectsStay) {
    auto* frame = new TCountedWin;
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(frame->Create()) << "error " << GetLastError();
    HWND frameWindow = frame->GetHandle();
    EXPECT_EQ(frame, TWin::GetWin(frameWindow));

    auto* first = new TCountedStatic(frame, 11);
    auto* second = new TCountedStatic(frame, 12);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    ASSERT_TRUE(first->Create());
    ASSERT_TRUE(second->Create());
    {
        TCountedStatic onStack(frame, 13);
        ASSERT_TRUE(onStack.Create());
        EXPECT_FALSE(onStack.DeletedWithWindow());
        EXPECT_TRUE(first->DeletedWithWindow());

        ASSERT_TRUE(DestroyWindow(frameWindow));
        EXPECT_EQ(3, destroyed);  // the frame and its two heap children, once each
        EXPECT_EQ(nullptr, onStack.GetHandle());
        EXPECT_FALSE(IsWindow(frameWindow));
    }
    EXPECT_EQ(4, destroyed);
}

TEST_F(WinTest, UnlinkedWindowGetsItsOwnProcedureBack) {
    HWND edit = CreateWindowExA(0, "Edit", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, edit);
    LONG_PTR own = GetWindowLongPtrA(edit, GWLP_WNDPROC);
    {
        TWin win("Edit", nullptr, 0);
        ASSERT_TRUE(win.LinkWindow(edit));
        EXPECT_EQ(&win, TWin::GetWin(edit));
        EXPECT_NE(own, GetWindowLongPtrA(edit, GWLP_WNDPROC));
        // A window has one object at a time.
        TWin other("Edit", nullptr, 0);
        EXPECT_FALSE(other.LinkWindow(edit));
    }
    EXPECT_EQ(nullptr, TWin::GetWin(edit));
    EXPECT_EQ(own, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    SetWindowTextA(edit, "still works");
    char text[32];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ("still works", text);
    DestroyWindow(edit);
}

}  // namespace

// The layer keeps its objects in a table of its own; windows past what the
// table holds keep theirs in a window property. Both kinds are found, take
// their messages and are unlinked alike.
TEST_F(WinTest, MoreWindowsThanTheTableHoldsAreStillLinked) {
    auto* frame = new TCountedWin;
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(frame->Create());
    constexpr int kChildren = 900;
    std::vector<TCountedStatic*> children;
    for (int id = 1; id <= kChildren; ++id) {
        auto* child = new TCountedStatic(frame, id);
        ASSERT_NE(nullptr, child);
        ASSERT_TRUE(child->Create()) << "child " << id;
        children.push_back(child);
    }
    for (TCountedStatic* child : children) {
        HWND window = child->GetHandle();
        ASSERT_EQ(child, TWin::GetWin(window));
        // The message goes through the object to the control's own procedure.
        SetWindowTextA(window, "linked");
        char text[16];
        GetWindowTextA(window, text, sizeof text);
        ASSERT_STREQ("linked", text);
    }
    // Unlinked, the last object no longer goes with its window.
    TCountedStatic* last = children.back();
    HWND lastWindow = last->GetHandle();
    last->UnlinkWindow();
    EXPECT_EQ(nullptr, TWin::GetWin(lastWindow));
    DestroyWindow(lastWindow);
    delete last;
    ASSERT_TRUE(DestroyWindow(frame->GetHandle()));
    EXPECT_EQ(kChildren + 1, destroyed);
}
