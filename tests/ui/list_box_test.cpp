// The list box wrapper: lines in order, and reading a line never writes past
// the caller's buffer.
#include "ui/app.h"
#include "ui/list_box.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class ListBoxTest : public ::testing::Test {
protected:
    ListBoxTest()
        : app(GetModuleHandleA(nullptr), TWin::StdWndProc), frame("KtLayerListFrame", nullptr, 0) {}
    void SetUp() override {
        frame.wca.style = WS_OVERLAPPEDWINDOW;
        ASSERT_TRUE(frame.Create());
        list = new TListBox(&frame, 10, LBS_NOINTEGRALHEIGHT);
        ASSERT_NE(nullptr, list);
        ASSERT_TRUE(list->Create());
    }
    void TearDown() override { DestroyWindow(frame.GetHandle()); }

    TApp app;
    TWin frame;
    TListBox* list = nullptr;
};

TEST_F(ListBoxTest, AddedLinesReadBackInOrder) {
    EXPECT_EQ(0, list->AddString("first"));
    EXPECT_EQ(1, list->AddString("second"));
    EXPECT_EQ(2, list->GetCount());
    char line[32];
    EXPECT_EQ(6, list->GetString(1, line, sizeof line));
    EXPECT_STREQ("second", line);
}

TEST_F(ListBoxTest, ALineThatDoesNotFitOrIsMissingGivesMinusOneAndAnEmptyBuffer) {
    list->AddString("twelve chars");
    struct Case {
        int index;
        int size;
        int result;
        const char* text;
    };
    const Case cases[] = {{0, 13, 12, "twelve chars"},
                          {0, 12, -1, ""},
                          {0, 1, -1, ""},
                          {1, 32, -1, ""},
                          {-1, 32, -1, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " into " + std::to_string(c.size));
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(c.result, list->GetString(c.index, buffer, c.size));
        EXPECT_STREQ(c.text, buffer);
        for (int i = c.size; i < static_cast<int>(sizeof buffer); ++i)
            ASSERT_EQ('#', buffer[i]) << "written at " << i;
    }
}

}  // namespace
