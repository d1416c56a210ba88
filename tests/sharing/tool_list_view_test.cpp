// The tool list: a picture slot of its own for each tool with an icon, the
// default icon for the others, sorting by either column, cell texts within
// the list's buffer, and records freed exactly once however the list goes.
#include "tests/sharing/sharing_world.h"

#include "tests/support/file_chooser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using kt_test::SharingWorld;
using kt_test::ToolPrograms;

class ToolList : public ::testing::Test, protected SharingWorld {
protected:
    void SetUp() override { aliveBefore = TToolItem::LiveCount(); }

    std::vector<int> Images() const {
        std::vector<int> images;
        for (int index = 0; index < RowCount(); ++index)
            images.push_back(Row(index).image);
        return images;
    }
    // Deletes a row as the user does: select, Delete, Yes.
    void DeleteRow(int index) {
        SelectRow(index);
        kt_test::ModalAnswerer answerer;
        answerer.Expect("Confirm tool delete", "Are you sure", IDYES);
        Press(IDC_SHARETOOL_DELETE);
    }
    void AddTool(const std::string& program) {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kt_test::kSelectToolCaption, "", kt_test::ChooseFile(program));
        Press(IDC_SHARETOOL_ADD);
    }
    void ClickHeader(int column) const {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = List();
        click.hdr.idFrom = IDC_SHARETOOL_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(page, WM_NOTIFY, IDC_SHARETOOL_LIST, reinterpret_cast<LPARAM>(&click));
    }

    ToolPrograms programs;
    int aliveBefore = 0;
};

TEST_F(ToolList, TwoToolsWithTheSameProgramGetTwoSlots) {
    std::string program = programs.WithIcon("tool.exe");
    Seed("First", program);
    Seed("Second", program);
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((std::vector<int>{1, 2}), Images());
    EXPECT_EQ(3, ImageList_GetImageCount(Page()->ToolList()->ImageList()));
}

TEST_F(ToolList, ADeletedToolsSlotGoesToTheNextToolWithAnIcon) {
    std::string program = programs.WithIcon("tool.exe");
    Seed("A", program);
    Seed("B", program);
    Seed("C", program);
    ASSERT_NE(nullptr, Build());
    ASSERT_EQ((std::vector<int>{1, 2, 3}), Images());
    DeleteRow(1);
    EXPECT_EQ((std::vector<int>{1, 3}), Images());
    AddTool(programs.WithIcon("other.exe"));
    EXPECT_EQ((std::vector<int>{1, 3, 2}), Images());
    // The freed picture was reused, not appended.
    EXPECT_EQ(4, ImageList_GetImageCount(Page()->ToolList()->ImageList()));
}

TEST_F(ToolList, AToolWithTheDefaultIconLeavesTheOtherPicturesAlone) {
    std::string program = programs.WithIcon("tool.exe");
    Seed("A", program);
    Seed("B", programs.WithoutIcon("notes.txt"));
    Seed("C", program);
    ASSERT_NE(nullptr, Build());
    ASSERT_EQ((std::vector<int>{1, 0, 2}), Images());
    DeleteRow(1);
    EXPECT_EQ((std::vector<int>{1, 2}), Images());
    // The default icon's slot was never the deleted tool's to give back.
    EXPECT_EQ(3, Page()->ToolList()->FindFreeImage());
    AddTool(programs.WithIcon("other.exe"));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Images());
}

TEST_F(ToolList, AProgramPathWithBlanksGivesThatProgramsIcon) {
    // Quoted as this program writes it, and bare as an older version did.
    Seed("Quoted", "\"" + programs.WithIcon("Tool Dir\\my tool.exe") + "\" %1");
    Seed("Bare", programs.WithIcon("Old Dir\\old tool.exe"));
    ASSERT_NE(nullptr, Build());
    std::vector<int> images = Images();
    ASSERT_EQ(2u, images.size());
    EXPECT_NE(0, images[0]);
    EXPECT_NE(0, images[1]);
}

TEST_F(ToolList, ClickingAHeaderSortsByThatColumnAsTheLocaleOrders) {
    Seed("beta", "c:\\a.exe");
    Seed("Alpha", "C:\\B.exe");
    Seed("gamma", "C:\\c.exe");
    ASSERT_NE(nullptr, Build());
    // Case-sensitive, but a before B whatever their case.
    ClickHeader(1);
    EXPECT_EQ((std::vector<std::string>{"beta", "Alpha", "gamma"}), Names());
    ClickHeader(0);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "gamma"}), Names());
}

TEST_F(ToolList, TheColumnsAreNameAndApplicationFillingTheList) {
    ASSERT_NE(nullptr, Build());
    char text[64] = "";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(List(), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ("Name", text);
    int nameWidth = column.cx;
    EXPECT_EQ(static_cast<int>(SendMessageA(List(), LVM_GETSTRINGWIDTHA, 0,
                                            reinterpret_cast<LPARAM>("XXXXXXXXXXXX"))),
              nameWidth);
    ASSERT_TRUE(SendMessageA(List(), LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ("Application", text);
    RECT client;
    GetClientRect(List(), &client);
    EXPECT_EQ(client.right - nameWidth, column.cx);
}

TEST_F(ToolList, ACellTextIsCutToTheListsBuffer) {
    Seed("Monitor", "C:\\monitor.exe /all");
    ASSERT_NE(nullptr, Build());
    struct Case {
        int subItem;
        int size;
        std::string text;
    };
    const Case cases[] = {
        {0, 5, "Moni"}, {1, 8, "C:\\moni"}, {1, 64, "C:\\monitor.exe /all"}, {2, 8, ""}};
    for (const Case& c : cases) {
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        NMLVDISPINFOA request{};
        request.hdr.hwndFrom = List();
        request.hdr.idFrom = IDC_SHARETOOL_LIST;
        request.hdr.code = LVN_GETDISPINFOA;
        request.item.mask = LVIF_TEXT;
        request.item.iSubItem = c.subItem;
        request.item.pszText = buffer;
        request.item.cchTextMax = c.size;
        request.item.lParam = reinterpret_cast<LPARAM>(GetItemData(List(), 0));
        SendMessageA(page, WM_NOTIFY, IDC_SHARETOOL_LIST, reinterpret_cast<LPARAM>(&request));
        EXPECT_EQ(c.text, std::string(buffer)) << c.subItem << "/" << c.size;
        EXPECT_EQ('#', buffer[c.size]) << "written past the buffer of " << c.size;
    }
}

TEST_F(ToolList, TheRecordsAreFreedOnceWhenTheDialogGoes) {
    Seed("A", "C:\\a.exe");
    Seed("B", "C:\\b.exe");
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ(aliveBefore + 2, TToolItem::LiveCount());
    dialog.PressCancel();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ(aliveBefore, TToolItem::LiveCount());
}

TEST_F(ToolList, TheRecordsAreFreedOnceWhenTheListAloneGoes) {
    Seed("A", "C:\\a.exe");
    Seed("B", "C:\\b.exe");
    ASSERT_NE(nullptr, Build());
    SelectRow(0);
    ASSERT_NE(nullptr, Page()->SelectedTool());
    DestroyWindow(List());
    EXPECT_EQ(aliveBefore, TToolItem::LiveCount());
    // The page holds nothing of the list any more, and its buttons do no harm.
    EXPECT_EQ(nullptr, Page()->ToolList());
    EXPECT_EQ(nullptr, Page()->SelectedTool());
    Press(IDC_SHARETOOL_DELETE);
    Press(IDC_SHARETOOL_MODIFY);
    Press(IDC_SHARETOOL_ADD);
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ(aliveBefore, TToolItem::LiveCount());
    EXPECT_EQ(2u, Stored().size());
}

TEST_F(ToolList, TheRowCountNeverGoesBelowZero) {
    Seed("A", "C:\\a.exe");
    ASSERT_NE(nullptr, Build());
    TToolListView* list = Page()->ToolList();
    ASSERT_EQ(1, list->RowCount());
    // A deletion reported twice, the second time without its record.
    for (int i = 0; i < 3; ++i) {
        NMLISTVIEW deletion{};
        deletion.hdr.hwndFrom = List();
        deletion.hdr.idFrom = IDC_SHARETOOL_LIST;
        deletion.hdr.code = LVN_DELETEITEM;
        list->HandleNotify(&deletion.hdr);
    }
    EXPECT_EQ(0, list->RowCount());
}

TEST_F(ToolList, MovingTheFocusAloneKeepsTheSelectedTool) {
    Seed("A", "C:\\a.exe");
    Seed("B", "C:\\b.exe");
    ASSERT_NE(nullptr, Build());
    SelectRow(0);
    TToolItem* first = Page()->SelectedTool();
    ASSERT_NE(nullptr, first);
    // What Ctrl+Down does: the focus moves on, the selection stays.
    LVITEMA focus{};
    focus.stateMask = LVIS_FOCUSED;
    focus.state = LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    EXPECT_EQ(first, Page()->SelectedTool());
    EXPECT_EQ(0, Page()->SelectedIndex());
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_MODIFY));
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_DELETE));
}

TEST(ToolListSorted, TheSelectedToolIsTheOneDeletedByTheButtonOrTheKey) {
    struct Case {
        const char* what;
        bool key;  // the Delete key, or the button
    };
    for (const Case& c : {Case{"button", false}, Case{"Delete key", true}}) {
        SCOPED_TRACE(c.what);
        kt_test::SharingWorld w;
        w.Seed("Alpha", "C:\\z.exe");
        w.Seed("Beta", "C:\\a.exe");
        w.Seed("Gamma", "C:\\m.exe");
        ASSERT_NE(nullptr, w.Build());
        ASSERT_EQ((std::vector<std::string>{"Alpha", "Beta", "Gamma"}), w.Names());
        w.SelectRow(0);
        // Sorted by the program: Alpha moves to the end, still selected.
        NMLISTVIEW click{};
        click.hdr = {w.List(), IDC_SHARETOOL_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = 1;
        SendMessageA(w.page, WM_NOTIFY, IDC_SHARETOOL_LIST, reinterpret_cast<LPARAM>(&click));
        ASSERT_EQ((std::vector<std::string>{"Beta", "Gamma", "Alpha"}), w.Names());
        EXPECT_STREQ("Alpha", w.Page()->SelectedTool()->name);
        EXPECT_EQ(2, w.Page()->SelectedIndex());
        kt_test::ModalAnswerer answerer;
        answerer.Expect("Confirm tool delete", "Are you sure you want to delete the item 'Alpha'?",
                        IDYES);
        if (c.key)
            SendMessageA(w.List(), WM_KEYDOWN, VK_DELETE, 0);
        else
            w.Press(IDC_SHARETOOL_DELETE);
        answerer.Verify();
        EXPECT_EQ((std::vector<std::string>{"Beta", "Gamma"}), w.Names());
        w.dialog.PressOk();
        EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"Beta", "C:\\a.exe"},
                                                                    {"Gamma", "C:\\m.exe"}}),
                  w.Stored());
    }
}

TEST(ToolIcon, TheDefaultToolIconIsOneSmallSixteenColourPicture) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDI_SHARETOOL_DEFAULT), RT_GROUP_ICON);
    ASSERT_NE(nullptr, found);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(nullptr, group);
    // The group header (3 words), then one 14-byte entry: width, height,
    // colour count, reserved, planes, bit count.
    EXPECT_EQ(1, group[4] | group[5] << 8);
    EXPECT_EQ(16, group[6]);
    EXPECT_EQ(16, group[7]);
    EXPECT_EQ(16, group[8]);
    EXPECT_EQ(4, group[12] | group[13] << 8);
    EXPECT_NE(nullptr, LoadIconA(module, MAKEINTRESOURCEA(IDI_SHARETOOL_DEFAULT)));
}

}  // namespace
