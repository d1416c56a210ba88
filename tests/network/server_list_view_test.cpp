// The server list: its columns and icons, the cells it asks the page for,
// the shared row operations, updates and sorting.
#include "tests/network/network_world.h"

#include <string>
#include <vector>

namespace {

using kt_test::MakeRow;
using kt_test::Row;
using Kind = TRepositoryItem;

class ServerListView : public ::testing::Test, protected kt_test::NetworkWorld {
protected:
    std::string Header(int column) const {
        char text[64] = "";
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT | LVCF_FMT;
        info.pszText = text;
        info.cchTextMax = sizeof text;
        EXPECT_TRUE(SendMessageA(ListWindow(), LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                                 reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(LVCFMT_LEFT, info.fmt & LVCFMT_JUSTIFYMASK) << column;
        return text;
    }
};

TEST_F(ServerListView, ThreeLeftAlignedColumnsAndAReportWithOneSelection) {
    ASSERT_TRUE(Build());
    EXPECT_EQ("Name", Header(0));
    EXPECT_EQ("Port", Header(1));
    EXPECT_EQ("SearchBase", Header(2));
    LONG_PTR style = GetWindowLongPtrA(ListWindow(), GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
}

TEST_F(ServerListView, TheSmallImagesAreTheThree16By14Icons) {
    ASSERT_TRUE(Build());
    auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(ListWindow(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(nullptr, images);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(16, width);
    EXPECT_EQ(14, height);
    EXPECT_EQ(3, ImageList_GetImageCount(images));
    EXPECT_EQ(0, ImageOf(Kind::Directory));
    EXPECT_EQ(1, ImageOf(Kind::LdapServer));
    EXPECT_EQ(2, ImageOf(Kind::ResourceManager));
}

TEST_F(ServerListView, PortAndSearchBaseCellsComeFromTheRecord) {
    Seed(1, "C:\\Dirs");
    Seed(2, "MyApp.RM", "COM");
    ASSERT_TRUE(Build());
    EXPECT_EQ(MakeRow(*this, "C:\\Dirs", "", "", Kind::Directory), RowAt(0));
    EXPECT_EQ(MakeRow(*this, "MyApp.RM", "COM", "", Kind::ResourceManager), RowAt(1));
    // The list holds no text of its own for them: a changed record shows.
    List()->GetRecord(1)->SetServer("MyApp.RM", "777", "o=now");
    EXPECT_EQ("777", Cell(1, 1));
    EXPECT_EQ("o=now", Cell(1, 2));
    EXPECT_EQ("", Cell(1, 3));
}

TEST_F(ServerListView, ACellLongerThanTheListsBufferIsCutToIt) {
    const std::string searchBase(2046, 's');
    Seed(1, "srv1", "389", searchBase.c_str());
    ASSERT_TRUE(Build());
    for (int size : {2, 10, 260}) {
        std::vector<char> buffer(static_cast<size_t>(size) + 16, '#');
        LVITEMA item{};
        item.iSubItem = 2;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        SendMessageA(ListWindow(), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(searchBase.substr(0, static_cast<size_t>(size) - 1), std::string(buffer.data()))
            << size;
        // Nothing past the buffer is touched.
        EXPECT_EQ(std::string(16, '#'), std::string(buffer.data() + size, 16)) << size;
    }
    // Painting the row asks with the list's own buffer.
    RedrawWindow(ListWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(searchBase, Cell(0, 2, 4096));
}

TEST_F(ServerListView, RowsAreFoundByTheirRecordsAndMissingOnesGiveNullOrMinusOne) {
    Seed(1, "srv1", "389", "o=org1");
    Seed(2, "C:\\Dirs");
    ASSERT_TRUE(Build());
    TRepositoryItem* second = List()->GetRecord(1);
    ASSERT_NE(nullptr, second);
    EXPECT_STREQ("C:\\Dirs", second->GetName());
    EXPECT_EQ(second, GetItemData(ListWindow(), 1));
    EXPECT_EQ(nullptr, GetItemData(ListWindow(), 2));
    EXPECT_EQ(1, FindItemByData(ListWindow(), second));
    TRepositoryItem stranger("x", Kind::Directory);
    EXPECT_EQ(-1, FindItemByData(ListWindow(), &stranger));
}

TEST_F(ServerListView, AnUpdatedRowIsSelectedFocusedShowsTheNewTextsAndKeepsItsIcon) {
    Seed(1, "srv1", "389", "o=org1");
    Seed(2, "srv2", "636", "o=org2");
    ASSERT_TRUE(Build());
    SelectRow(0);
    TRepositoryItem* record = List()->GetRecord(1);
    record->SetServer("srv2b", "COM", "o=new");
    List()->UpdateItem(record);
    EXPECT_EQ(MakeRow(*this, "srv2b", "COM", "o=new", Kind::LdapServer), RowAt(1));
    EXPECT_EQ(1, List()->GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(1, List()->GetNextItem(-1, LVNI_FOCUSED));
    EXPECT_EQ(record, Page()->GetSelected());
    EXPECT_EQ(1, Page()->GetSelectedIndex());
    EXPECT_TRUE(Enabled(IDC_NETWORK_MODIFY));
}

TEST_F(ServerListView, SelectingARowEnablesModifyAndDeleteAndClearingDisablesThem) {
    Seed(1, "srv1", "389", "o=org1");
    ASSERT_TRUE(Build());
    EXPECT_FALSE(Enabled(IDC_NETWORK_MODIFY));
    EXPECT_FALSE(Enabled(IDC_NETWORK_DELETE));
    SelectRow(0);
    EXPECT_EQ(List()->GetRecord(0), Page()->GetSelected());
    EXPECT_EQ(0, Page()->GetSelectedIndex());
    EXPECT_TRUE(Enabled(IDC_NETWORK_MODIFY));
    EXPECT_TRUE(Enabled(IDC_NETWORK_DELETE));
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(ListWindow(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(nullptr, Page()->GetSelected());
    EXPECT_EQ(-1, Page()->GetSelectedIndex());
    EXPECT_FALSE(Enabled(IDC_NETWORK_MODIFY));
    EXPECT_FALSE(Enabled(IDC_NETWORK_DELETE));
}

TEST_F(ServerListView, NamesSortInTheLocalesOrderWithCaseCounting) {
    int number = 1;
    for (const char* name : {"beta", "Alpha", "alpha", "Beta"})
        Seed(number++, name);
    ASSERT_TRUE(Build());
    ClickHeader(0);
    std::vector<std::string> names;
    for (const Row& row : Rows())
        names.push_back(row.name);
    EXPECT_EQ((std::vector<std::string>{"alpha", "Alpha", "beta", "Beta"}), names);
}

}  // namespace
