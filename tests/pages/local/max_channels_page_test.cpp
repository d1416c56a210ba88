#include "tests/pages/local/local_page_test.h"

#include "resources/max_channels_page_ids.h"
#include "sheet/config_page.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using kt_test::CreateRegKey;
using kt_test::GetRegString;
using kt_test::RegKeyExists;
using kt_test::SetRegString;

const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kTreeName[] = "Max. channels";

std::string Stored() {
    std::string text;
    return GetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, &text) ? text : "(no value)";
}

class MaxChannelsPage : public ::testing::Test, protected kt_test::PageWorld {};

TEST(MaxChannelsPageTable, ShowsTheStoredValueWhenItIsInTheRange) {
    struct Case {
        const char* stored;  // null: no key
        bool checked;
        const char* shown;
    };
    // A text without a leading number reads as the default 9, which is in
    // the range and so counts as stored.
    const Case cases[] = {
        {"50", true, "50"},
        {"9", true, "9"},
        {"100", true, "100"},
        {"8", false, "9"},
        {"101", false, "9"},
        {"abc", true, "9"},
        {"", true, "9"},
        {"12abc", true, "12"},
        {" 30", true, "30"},
        {"-20", false, "9"},
        {nullptr, false, "9"},
        // 2^32 + 50: a number too big for an int must not wrap round to 50.
        {"4294967346", false, "9"},
    };
    for (const Case& c : cases) {
        const char* what = c.stored ? c.stored : "(no key)";
        kt_test::PageWorld w;
        if (c.stored)
            SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, c.stored);
        ASSERT_NE(nullptr, w.BuildAndFind(kTreeName)) << what;
        EXPECT_EQ(c.checked, w.Checked(IDC_MAXCHNL_USE_OTHER)) << what;
        EXPECT_EQ(c.shown, w.Text(IDC_MAXCHNL_COUNT)) << what;
        EXPECT_EQ(c.checked, w.Enabled(IDC_MAXCHNL_COUNT)) << what;
    }
}

TEST_F(MaxChannelsPage, ClickingTheBoxEnablesTheEditButLeavesTheSpinButton) {
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    ASSERT_TRUE(dialog.Select(kTreeName));
    bool spinEnabled = Enabled(IDC_MAXCHNL_SPIN);
    Click(IDC_MAXCHNL_USE_OTHER);
    EXPECT_TRUE(Checked(IDC_MAXCHNL_USE_OTHER));
    EXPECT_TRUE(Enabled(IDC_MAXCHNL_COUNT));
    EXPECT_EQ(spinEnabled, Enabled(IDC_MAXCHNL_SPIN));
    Click(IDC_MAXCHNL_USE_OTHER);
    EXPECT_FALSE(Checked(IDC_MAXCHNL_USE_OTHER));
    EXPECT_FALSE(Enabled(IDC_MAXCHNL_COUNT));
    EXPECT_EQ(spinEnabled, Enabled(IDC_MAXCHNL_SPIN));
}

TEST_F(MaxChannelsPage, OkStoresTheNumberAsTextEvenTheDefault) {
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    Click(IDC_MAXCHNL_USE_OTHER);
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ("9", Stored());
}

TEST(MaxChannelsPageTable, OkStoresWhatWasTypedBroughtIntoTheRange) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"20", "20"},   {"9", "9"},
        {"100", "100"}, {"8", "9"},
        {"101", "100"}, {"abc", "9"},
        {"", "9"},      {"99999999999999999999999", "100"},
        {"-5", "9"},    {"-99999999999999999999", "9"},
        {"42x", "42"},
    };
    for (const Case& c : cases) {
        kt_test::PageWorld w;
        ASSERT_NE(nullptr, w.BuildAndFind(kTreeName)) << c.typed;
        w.Click(IDC_MAXCHNL_USE_OTHER);
        w.Type(IDC_MAXCHNL_COUNT, c.typed);
        w.dialog.PressOk();
        EXPECT_FALSE(w.dialog.DialogAlive()) << c.typed;
        EXPECT_EQ(c.stored, Stored()) << "typed \"" << c.typed << "\"";
    }
}

TEST_F(MaxChannelsPage, ReadingTheEditShowsTheNumberThatWasTaken) {
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "50");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    Type(IDC_MAXCHNL_COUNT, "5000");
    ASSERT_NE(nullptr, dialog.Page(kTreeName));
    dialog.Page(kTreeName)->GetData();
    EXPECT_EQ("100", Text(IDC_MAXCHNL_COUNT));
    Type(IDC_MAXCHNL_COUNT, "nine");
    dialog.Page(kTreeName)->GetData();
    EXPECT_EQ("9", Text(IDC_MAXCHNL_COUNT));
}

TEST_F(MaxChannelsPage, UncheckingDeletesTheWholeKey) {
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "50");
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, "Note", "kept by someone");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    Click(IDC_MAXCHNL_USE_OTHER);
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMaxChannelsKey));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kt_test::kProductKey));
}

TEST_F(MaxChannelsPage, UncheckedWithoutAKeyWritesAndReportsNothing) {
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ(nullptr, dialog.ErrorWindow());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMaxChannelsKey));
}

TEST_F(MaxChannelsPage, AFailedDeletionIsReportedAndKeepsTheDialogOpen) {
    // A key with a subkey cannot be deleted by RegDeleteKey.
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "50");
    CreateRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels\\Pinned");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    Click(IDC_MAXCHNL_USE_OTHER);
    dialog.PressOk();
    EXPECT_TRUE(dialog.DialogAlive());
    ASSERT_NE(nullptr, dialog.ErrorWindow());
    std::vector<std::string> lines = dialog.ErrorLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(
        std::string::npos,
        lines[0].find("Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels"))
        << lines[0];
    EXPECT_EQ("50", Stored());
}

TEST_F(MaxChannelsPage, CancelWritesNothing) {
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "50");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    Type(IDC_MAXCHNL_COUNT, "70");
    dialog.PressCancel();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ("50", Stored());
}

TEST_F(MaxChannelsPage, TheSpinButtonStepsWithinTheRange) {
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "99");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    HWND spin = GetDlgItem(page, IDC_MAXCHNL_SPIN);
    ASSERT_NE(nullptr, spin);
    int low = -1, high = -1;
    SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(9, low);
    EXPECT_EQ(100, high);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetDlgItem(page, IDC_MAXCHNL_COUNT)),
              SendMessageA(spin, UDM_GETBUDDY, 0, 0));
    EXPECT_EQ(99, static_cast<int>(SendMessageA(spin, UDM_GETPOS32, 0, 0)));
}

}  // namespace
