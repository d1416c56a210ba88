// The list view wrapper: rows found by their data, sorting through the
// compare hook, and the keys that fire the linked commands.
#include "ui/app.h"
#include "ui/list_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Rows carry a pointer to their text; column 0 compares the texts.
class TTextList : public TQListView {
public:
    TTextList(TWin* parent, int id) : TQListView(parent, id, LVS_REPORT | LVS_SINGLESEL) {}
    int CompareItems(LPARAM data1, LPARAM data2, int column) override {
        ++compared;
        lastColumn = column;
        if (column != 0)
            return 0;
        return lstrcmpA(reinterpret_cast<const char*>(data1), reinterpret_cast<const char*>(data2));
    }
    int compared = 0;
    int lastColumn = -1;
};

// The parent: records the commands that reach it.
class TCommandFrame : public TWin {
public:
    TCommandFrame() : TWin("KtLayerListViewFrame", nullptr, 0) { wca.style = WS_OVERLAPPEDWINDOW; }
    int Command(int id, unsigned code) override {
        commands.push_back(id);
        codes.push_back(code);
        return 1;
    }
    std::vector<int> commands;
    std::vector<unsigned> codes;
};

class ListViewTest : public ::testing::Test {
protected:
    ListViewTest() : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {}
    void SetUp() override {
        ASSERT_TRUE(frame.Create());
        list = new TTextList(&frame, 20);
        ASSERT_NE(nullptr, list);
        list->wca.w = 200;
        list->wca.h = 100;
        ASSERT_TRUE(list->Create());
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>("Name");
        column.cx = 100;
        ASSERT_EQ(0, list->InsertColumn(0, column));
    }
    void TearDown() override { DestroyWindow(frame.GetHandle()); }

    int Add(const char* text) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = list->GetItemCount();
        item.pszText = const_cast<char*>(text);
        item.lParam = reinterpret_cast<LPARAM>(text);
        return list->InsertItem(item);
    }
    void Select(int index) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list->GetHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&state));
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> texts;
        for (int i = 0; i < list->GetItemCount(); ++i)
            texts.push_back(static_cast<const char*>(GetItemData(list->GetHandle(), i)));
        return texts;
    }
    void Press(WPARAM key) { SendMessageA(list->GetHandle(), WM_KEYDOWN, key, 0); }

    TApp app;
    TCommandFrame frame;
    TTextList* list = nullptr;
};

const char kPear[] = "pear";
const char kApple[] = "apple";
const char kFig[] = "Fig";

TEST_F(ListViewTest, RowsAreFoundByTheirDataAndMissingOnesGiveNullOrMinusOne) {
    EXPECT_EQ(0, Add(kPear));
    EXPECT_EQ(1, Add(kApple));
    EXPECT_EQ(kApple, GetItemData(list->GetHandle(), 1));
    EXPECT_EQ(nullptr, GetItemData(list->GetHandle(), 2));
    EXPECT_EQ(nullptr, GetItemData(list->GetHandle(), -1));
    EXPECT_EQ(1, FindItemByData(list->GetHandle(), kApple));
    EXPECT_EQ(-1, FindItemByData(list->GetHandle(), kFig));
}

TEST_F(ListViewTest, AColumnClickSortsThroughTheHookByThatColumn) {
    Add(kPear);
    Add(kApple);
    Add(kFig);
    NMLISTVIEW click{};
    click.iSubItem = 0;
    ASSERT_TRUE(list->ColumnClick(&click));
    EXPECT_GT(list->compared, 0);
    // lstrcmpA orders by the locale, not by the character codes.
    EXPECT_EQ((std::vector<std::string>{"apple", "Fig", "pear"}), Order());
    click.iSubItem = 1;
    ASSERT_TRUE(list->ColumnClick(&click));
    EXPECT_EQ(1, list->lastColumn);
}

TEST_F(ListViewTest, KeysFireTheLinkedCommandsWithCodeZero) {
    list->LinkIdentifiers(31, 32, 33, 0);
    Add(kPear);
    // Delete needs a selected row, Insert does not.
    Press(VK_DELETE);
    Press(VK_INSERT);
    Select(0);
    Press(VK_DELETE);
    Press(VK_RETURN);
    EXPECT_EQ((std::vector<int>{32, 33}), frame.commands);
    EXPECT_EQ((std::vector<unsigned>{0, 0}), frame.codes);
}

TEST_F(ListViewTest, AReplacedAddIdIsTheOneInsertFires) {
    list->LinkIdentifiers(31, 32, 33, 0);
    list->SetAddId(40);
    Press(VK_INSERT);
    EXPECT_EQ((std::vector<int>{40}), frame.commands);
}

TEST_F(ListViewTest, EnterIsTheListsOnlyWhenAnOpenCommandIsLinked) {
    Add(kPear);
    Select(0);
    MSG enter{list->GetHandle(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    LRESULT code =
        SendMessageA(list->GetHandle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
    EXPECT_EQ(0, code & DLGC_WANTMESSAGE);
    list->LinkIdentifiers(31, 32, 33, 34);
    code =
        SendMessageA(list->GetHandle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
    EXPECT_NE(0, code & DLGC_WANTMESSAGE);
    Press(VK_RETURN);
    EXPECT_EQ((std::vector<int>{34}), frame.commands);
}

}  // namespace

// One device context for many texts measures what the list measures, with
// the list's font or without one.
TEST_F(ListViewTest, TheStringMeterMeasuresAsTheListDoes) {
    const std::string texts[] = {"", "W", "o=org1, c=de", std::string(2046, 'm')};
    HFONT bold = CreateFontA(-17, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    ASSERT_NE(nullptr, bold);
    for (HFONT font : {static_cast<HFONT>(nullptr), bold}) {
        SendMessageA(list->GetHandle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const TStringMeter meter(*list);
        for (const std::string& text : texts)
            EXPECT_EQ(list->GetStringWidth(text.c_str()), meter.Width(text.c_str()))
                << "font " << font << ", " << text.size() << " characters";
    }
    SendMessageA(list->GetHandle(), WM_SETFONT, 0, FALSE);
    DeleteObject(bold);
}
