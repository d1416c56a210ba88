// The edit wrapper: taking over a dialog item, or made as a child, and the
// text limit and length it reports.
#include "ui/app.h"
#include "ui/dialog.h"
#include "ui/edit.h"

#include "tests/ui/ui_test_ids.h"

#include <gtest/gtest.h>

namespace {

class EditTest : public ::testing::Test {
protected:
    EditTest() : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {}
    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        ASSERT_TRUE(page.Run(1));
    }
    void TearDown() override {
        if (parent.GetHandle())
            DestroyWindow(parent.GetHandle());
    }

    TApp app;
    TModelessDlg parent{"LAYERTESTPARENT", nullptr, nullptr, CW_USEDEFAULT, CW_USEDEFAULT};
    TModelessDlg page{"LAYERTESTPAGE", &parent, nullptr, CW_USEDEFAULT, CW_USEDEFAULT};
};

TEST_F(EditTest, TakesOverTheDialogItemAndGoesWithIt) {
    TEdit* edit = NewWindowObject<TEdit>(&page, IDC_PAGE_EDIT);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(GetDlgItem(page.GetHandle(), IDC_PAGE_EDIT), edit->GetHandle());
    EXPECT_EQ(edit, TWin::GetWin(edit->GetHandle()));
    // Deleted with its window: nothing is left linked to the item.
    HWND item = edit->GetHandle();
    DestroyWindow(item);
    EXPECT_EQ(nullptr, TWin::GetWin(item));
}

TEST_F(EditTest, LimitAndLengthAreTheControlsOwn) {
    TEdit* edit = NewWindowObject<TEdit>(&page, IDC_PAGE_EDIT);
    ASSERT_NE(nullptr, edit);
    edit->LimitText(7);
    EXPECT_EQ(7, static_cast<int>(SendMessageA(edit->GetHandle(), EM_GETLIMITTEXT, 0, 0)));
    EXPECT_TRUE(edit->IsEmpty());
    // Blanks are text.
    edit->SetText("  ");
    EXPECT_EQ(2, edit->GetTextLength());
    EXPECT_FALSE(edit->IsEmpty());
    edit->SetText("");
    EXPECT_TRUE(edit->IsEmpty());
}

TEST_F(EditTest, WithoutADialogItemItIsMadeAsAChildWithItsStyle) {
    TEdit edit(&page, 4711);
    EXPECT_EQ(nullptr, edit.GetHandle());
    ASSERT_TRUE(edit.Create());
    LONG_PTR style = GetWindowLongPtrA(edit.GetHandle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_EQ(edit.GetHandle(), GetDlgItem(page.GetHandle(), 4711));
    DestroyWindow(edit.GetHandle());
}

}  // namespace
