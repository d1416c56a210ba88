// The check list: the check state lives in the item data, a click on a
// line's box and the space bar toggle it and tell the parent, and every line
// draws its box as checked or not.
#include "ui/app.h"
#include "ui/check_list_box.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kListId = 12;
constexpr int kRowHeight = 15;

// The parent notes the list's notification codes.
class TNotedFrame : public TWin {
public:
    TNotedFrame() : TWin("KtLayerCheckListFrame", nullptr, 0) {}
    int Command(int id, unsigned code) override {
        if (id == kListId)
            codes.push_back(code);
        return 0;
    }
    std::vector<unsigned> codes;
};

class CheckListBoxTest : public ::testing::Test {
protected:
    CheckListBoxTest() : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {}
    void SetUp() override {
        frame.wca.style = WS_OVERLAPPEDWINDOW;
        frame.wca.x = frame.wca.y = 0;
        frame.wca.w = 300;
        frame.wca.h = 200;
        ASSERT_TRUE(frame.Create());
        list = new TCheckListBox(
            &frame, kListId,
            LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER);
        ASSERT_NE(nullptr, list);
        list->wca.w = 200;
        list->wca.h = 120;
        ASSERT_TRUE(list->Create());
        ASSERT_NE(LB_ERR, list->SetItemHeight(kRowHeight));
        ASSERT_EQ(0, list->AppendCheck("unchecked", 0));
        ASSERT_EQ(1, list->AppendCheck("checked", 1));
        frame.codes.clear();
    }
    void TearDown() override { DestroyWindow(frame.GetHandle()); }

    void Click(int row, int x, UINT message = WM_LBUTTONDOWN) {
        LPARAM at = MAKELPARAM(x, row * kRowHeight + kRowHeight / 2);
        SendMessageA(list->GetHandle(), message, MK_LBUTTON, at);
        SendMessageA(list->GetHandle(), WM_LBUTTONUP, 0, at);
    }
    int Toggles() const {
        int n = 0;
        for (unsigned code : frame.codes)
            n += code == kCheckChanged;
        return n;
    }

    TApp app;
    TNotedFrame frame;
    TCheckListBox* list = nullptr;
};

TEST_F(CheckListBoxTest, TheCheckStateIsTheItemData) {
    EXPECT_EQ(0, SendMessageA(list->GetHandle(), LB_GETITEMDATA, 0, 0));
    EXPECT_EQ(1, SendMessageA(list->GetHandle(), LB_GETITEMDATA, 1, 0));
    list->SetCheck(0, 1);
    EXPECT_EQ(1, list->GetCheck(0));
    EXPECT_EQ(1, SendMessageA(list->GetHandle(), LB_GETITEMDATA, 0, 0));
    EXPECT_EQ(kRowHeight, list->GetItemHeight());
    EXPECT_EQ(kRowHeight, list->CheckColumnWidth());
}

TEST_F(CheckListBoxTest, AClickOnTheBoxTogglesAndNotifiesOnce) {
    Click(0, 5);
    EXPECT_EQ(1, list->GetCheck(0));
    EXPECT_EQ(1, Toggles());
    Click(1, kRowHeight - 1);
    EXPECT_EQ(0, list->GetCheck(1));
    EXPECT_EQ(2, Toggles());
    // The list still moves its selection to the clicked line.
    EXPECT_EQ(1, list->GetCurSel());
}

TEST_F(CheckListBoxTest, AClickBesideTheBoxOrBelowTheLastLineTogglesNothing) {
    Click(0, kRowHeight);
    Click(0, 100);
    Click(5, 5);
    EXPECT_EQ(0, list->GetCheck(0));
    EXPECT_EQ(1, list->GetCheck(1));
    EXPECT_EQ(0, Toggles());
    EXPECT_NE(LB_ERR, list->GetCurSel());
}

TEST_F(CheckListBoxTest, ADoubleClickOnTheBoxTogglesTwice) {
    Click(0, 5);
    Click(0, 5, WM_LBUTTONDBLCLK);
    EXPECT_EQ(0, list->GetCheck(0));
    EXPECT_EQ(2, Toggles());
}

TEST_F(CheckListBoxTest, TheSpaceBarTogglesTheSelectedLineOncePerPress) {
    list->SetCurSel(1);
    HWND window = list->GetHandle();
    SendMessageA(window, WM_KEYDOWN, VK_SPACE, 1);
    // Auto-repeat while the key is held.
    SendMessageA(window, WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));
    SendMessageA(window, WM_CHAR, ' ', 1);
    SendMessageA(window, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(0, list->GetCheck(1));
    EXPECT_EQ(1, Toggles());
    // No line starts with a blank: the selection stays where it was.
    EXPECT_EQ(1, list->GetCurSel());
}

TEST_F(CheckListBoxTest, TheSpaceBarWithoutASelectionDoesNothing) {
    list->SetCurSel(-1);
    SendMessageA(list->GetHandle(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(0, Toggles());
    EXPECT_EQ(0, list->GetCheck(0));
    EXPECT_EQ(1, list->GetCheck(1));
}

// What the box of a line shows: the darkest pixel inside its square.
int DarkestInBox(HDC dc, int row) {
    int darkest = 255 * 3;
    for (int y = row * kRowHeight + 3; y < (row + 1) * kRowHeight - 3; ++y) {
        for (int x = 3; x < kRowHeight - 3; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            int sum = GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel);
            darkest = sum < darkest ? sum : darkest;
        }
    }
    return darkest;
}

TEST_F(CheckListBoxTest, ACheckedLineDrawsAMarkInItsBox) {
    ShowWindow(frame.GetHandle(), SW_SHOWNOACTIVATE);
    // Painted off screen into a bitmap of the list's size.
    HDC screen = GetDC(list->GetHandle());
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 120);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(list->GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                 PRF_CLIENT | PRF_ERASEBKGND);
    int unchecked = DarkestInBox(memory, 0);
    int checked = DarkestInBox(memory, 1);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(list->GetHandle(), screen);
    EXPECT_LT(checked + 100, unchecked) << "checked " << checked << ", unchecked " << unchecked;
}

}  // namespace
