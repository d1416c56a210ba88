// The tree view wrapper: items with their data, order, selection, and item
// text bounded by the caller's buffer.
#include "ui/app.h"
#include "ui/tree_view.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class TreeViewTest : public ::testing::Test {
protected:
    TreeViewTest()
        : app(GetModuleHandleA(nullptr), TWin::StdWndProc), frame("KtLayerTreeFrame", nullptr, 0) {}
    void SetUp() override {
        frame.wca.style = WS_OVERLAPPEDWINDOW;
        ASSERT_TRUE(frame.Create());
        tree = new TTreeView(&frame, 20, TVS_HASLINES | TVS_SHOWSELALWAYS);
        ASSERT_NE(nullptr, tree);
        tree->wca.w = 200;
        tree->wca.h = 200;
        ASSERT_TRUE(tree->Create());
    }
    void TearDown() override { DestroyWindow(frame.GetHandle()); }

    TApp app;
    TWin frame;
    TTreeView* tree = nullptr;
};

TEST_F(TreeViewTest, ItemsKeepTheirOrderDataAndSelection) {
    HTREEITEM files = tree->InsertItem(TVI_ROOT, TVI_LAST, "Channel files", 1);
    HTREEITEM network = tree->InsertItem(files, TVI_LAST, "Network", 2);
    HTREEITEM korvane = tree->InsertItem(TVI_ROOT, TVI_LAST, "Korvane", 3);
    ASSERT_NE(nullptr, files);
    ASSERT_NE(nullptr, network);
    ASSERT_NE(nullptr, korvane);

    EXPECT_EQ(3, tree->GetCount());
    EXPECT_EQ(files, tree->GetRoot());
    EXPECT_EQ(network, tree->GetNextItem(files, TVGN_CHILD));
    EXPECT_EQ(korvane, tree->GetNextItem(files, TVGN_NEXT));
    EXPECT_EQ(files, tree->GetNextItem(network, TVGN_PARENT));
    EXPECT_EQ(2, tree->GetItemData(network));

    EXPECT_TRUE(tree->Expand(files));
    EXPECT_TRUE(tree->SelectItem(network));
    EXPECT_EQ(network, tree->GetSelection());

    EXPECT_TRUE(tree->DeleteAllItems());
    EXPECT_EQ(0, tree->GetCount());
    EXPECT_EQ(nullptr, tree->GetRoot());
}

TEST_F(TreeViewTest, ItemTextIsCutToTheBuffer) {
    HTREEITEM item = tree->InsertItem(TVI_ROOT, TVI_LAST, "Channel sharing", 0);
    ASSERT_NE(nullptr, item);
    struct Case {
        int size;
        const char* text;
    };
    const Case cases[] = {
        {64, "Channel sharing"}, {16, "Channel sharing"}, {8, "Channel"}, {1, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_TRUE(tree->GetItemText(item, buffer, c.size));
        EXPECT_STREQ(c.text, buffer);
        for (int i = c.size; i < static_cast<int>(sizeof buffer); ++i)
            ASSERT_EQ('#', buffer[i]) << "written at " << i;
    }
}

}  // namespace
