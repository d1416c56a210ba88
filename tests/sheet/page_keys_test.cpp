#include "sheet/config_dlg.h"
#include "sheet/tree_sheet.h"
#include "tests/sheet/stand_in_pages.h"
#include "tests/support/config_dialog.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "ui/app.h"
#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using kt_test::StandInPages;
using Names = std::vector<std::string>;

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kHelpFile[] = "C:\\ktconfig.hlp";
constexpr int kModalEditId = 401;

struct HelpRequest {
    HWND window;
    UINT command;
    ULONG_PTR data;
};
std::vector<HelpRequest> helpRequests;

BOOL WINAPI RecordHelp(HWND window, LPCSTR, UINT command, ULONG_PTR data) {
    helpRequests.push_back(HelpRequest{window, command, data});
    return TRUE;
}

// The key goes the way the application's loop sends it: to the dialog
// manager of its top-level dialog, with the modifiers held as given.
int PressKey(HWND target, WPARAM key, std::initializer_list<int> held) {
    BYTE state[256] = {};
    for (int modifier : held)
        state[modifier] = 0x80;
    SetKeyboardState(state);
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    msg.time = GetTickCount();
    int taken = DialogMessage(msg);
    BYTE released[256] = {};
    SetKeyboardState(released);
    return taken;
}

class PageKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousHelp = TDialog::SetHelpHandler(RecordHelp);
        helpRequests.clear();
        TWin::bEatHelpMessage = 0;
    }
    void TearDown() override {
        TDialog::SetHelpHandler(previousHelp);
        TWin::bEatHelpMessage = 0;
    }

    TConfigDlg* Build(bool installed = true) {
        if (installed)
            kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        TConfigDlg* dialog = fixture.Build();
        if (dialog)
            TApp::TheApp->helpFile = kHelpFile;
        return dialog;
    }
    HWND Tree() const { return GetDlgItem(fixture.DialogWindow(), kPageTreeId); }
    std::string Current() const {
        TConfigDlg* dialog = fixture.Dialog();
        HWND page = dialog ? dialog->GetCurPage() : nullptr;
        auto* standIn = static_cast<kt_test::TStandInPage*>(TWin::GetWin(page));
        return standIn ? standIn->name : std::string();
    }
    // Presses the key on target and waits for the posted page switch.
    std::string SwitchWith(HWND target, std::initializer_list<int> held) {
        std::string before = Current();
        EXPECT_TRUE(PressKey(target, VK_TAB, held));
        kt_test::PumpUntil([&] { return Current() != before; }, 2000, "the page switch");
        return Current();
    }

    kt_test::RegistrySandbox registry;
    StandInPages standIns;
    kt_test::ConfigDialogFixture fixture;
    TDialog::HelpHandler previousHelp = nullptr;
};

TEST_F(PageKeysTest, CtrlTabWalksTheTreeInOrderAndWrapsToTheFirstPage) {
    ASSERT_TRUE(Build());
    Names walked;
    for (int step = 0; step < 7; ++step)
        walked.push_back(SwitchWith(Tree(), {VK_CONTROL}));
    EXPECT_EQ((Names{"Network", "Korvane", "Settings", "Plug-ins", "Max. channels",
                     "Channel sharing", "Channel files"}),
              walked);
    EXPECT_EQ(Tree(), GetFocus());
}

TEST_F(PageKeysTest, CtrlShiftTabWalksBackwardsAndWrapsToTheLastChildOfTheLastRoot) {
    ASSERT_TRUE(Build());
    Names walked;
    for (int step = 0; step < 7; ++step)
        walked.push_back(SwitchWith(Tree(), {VK_CONTROL, VK_SHIFT}));
    EXPECT_EQ((Names{"Channel sharing", "Max. channels", "Plug-ins", "Settings", "Korvane",
                     "Network", "Channel files"}),
              walked);
}

TEST_F(PageKeysTest, WithoutChildrenTheLastRootIsTheLastPage) {
    ASSERT_TRUE(Build(false));
    EXPECT_EQ("Korvane", SwitchWith(Tree(), {VK_CONTROL, VK_SHIFT}));
    EXPECT_EQ("Channel files", SwitchWith(Tree(), {VK_CONTROL}));
}

TEST_F(PageKeysTest, CtrlTabFromAControlInsideThePageStillSwitches) {
    ASSERT_TRUE(Build());
    HWND edit = GetDlgItem(fixture.PageWindow("Channel files"), kt_test::kStandInEditId);
    ASSERT_TRUE(edit);
    EXPECT_EQ("Network", SwitchWith(edit, {VK_CONTROL}));
    edit = GetDlgItem(fixture.PageWindow("Network"), kt_test::kStandInEditId);
    EXPECT_EQ("Channel files", SwitchWith(edit, {VK_CONTROL, VK_SHIFT}));
}

TEST_F(PageKeysTest, TabAloneMovesTheFocusFromTheTreeIntoThePage) {
    ASSERT_TRUE(Build());
    SetFocus(Tree());
    EXPECT_TRUE(PressKey(Tree(), VK_TAB, {}));
    HWND button = GetDlgItem(fixture.PageWindow("Channel files"), kt_test::kStandInButtonId);
    EXPECT_EQ(button, GetFocus());
    EXPECT_EQ("Channel files", Current());
}

TEST_F(PageKeysTest, KeysInAModalDialogOfAPageNeitherSwitchPagesNorReachTheSheet) {
    ASSERT_TRUE(Build());
    HWND page = fixture.PageWindow("Channel files");
    TDialog question("TESTMODAL", fixture.Page("Channel files"));
    kt_test::ModalAnswerer answerer;
    bool swallowed = false;
    answerer.ExpectAndDo("Stand-in question", "", [&](HWND modal) {
        HWND edit = GetDlgItem(modal, kModalEditId);
        // The sheet is disabled behind its modal dialog.
        EXPECT_FALSE(IsWindowEnabled(fixture.DialogWindow()));
        swallowed = PressKey(edit, VK_TAB, {VK_CONTROL}) != 0;
        EXPECT_TRUE(PressKey(edit, VK_F1, {}));
        kt_test::PumpUntil([] { return !helpRequests.empty(); }, 2000, "help of the modal");
        kt_test::PumpFor(50);
        kt_test::PressButton(modal, IDCANCEL);
    });
    StandInPages::events.clear();
    EXPECT_EQ(IDCANCEL, question.Run());
    kt_test::PumpFor(50);
    EXPECT_TRUE(swallowed);
    EXPECT_EQ("Channel files", Current());
    ASSERT_EQ(1u, helpRequests.size());
    EXPECT_NE(page, helpRequests[0].window);
    EXPECT_NE(fixture.DialogWindow(), helpRequests[0].window);
    EXPECT_TRUE(StandInPages::events.empty());
}

TEST_F(PageKeysTest, F1ReachesThePageFromItsControlAndTheSheetFromTheTree) {
    ASSERT_TRUE(Build());
    ASSERT_TRUE(fixture.Select("Settings"));
    HWND page = fixture.PageWindow("Settings");
    const ULONG_PTR settingsNumber = kt_test::kStandInNumberBase + 3;
    struct Case {
        const char* where;
        HWND target;
        std::string event;
    } cases[] = {
        // On a page control the page itself gets the help command.
        {"page control", GetDlgItem(page, kt_test::kStandInEditId),
         "Settings command 9 code 0 from none"},
        // In the tree the sheet gets it and asks the current page.
        {"tree", Tree(), "Settings help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        StandInPages::events.clear();
        helpRequests.clear();
        EXPECT_TRUE(PressKey(c.target, VK_F1, {}));
        EXPECT_EQ(1, TWin::bEatHelpMessage);
        kt_test::PumpUntil([] { return !helpRequests.empty(); }, 2000, "the help request");
        EXPECT_EQ((Names{c.event}), StandInPages::events);
        ASSERT_EQ(1u, helpRequests.size());
        EXPECT_EQ(page, helpRequests[0].window);
        EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), helpRequests[0].command);
        EXPECT_EQ(settingsNumber, helpRequests[0].data);
        TWin::bEatHelpMessage = 0;
    }
}

TEST_F(PageKeysTest, F1InADisabledWindowIsSwallowedWithoutHelp) {
    ASSERT_TRUE(Build());
    EnableWindow(fixture.DialogWindow(), FALSE);
    StandInPages::events.clear();
    EXPECT_TRUE(PressKey(Tree(), VK_F1, {}));
    EXPECT_EQ(1, TWin::bEatHelpMessage);
    kt_test::PumpFor(100);
    EnableWindow(fixture.DialogWindow(), TRUE);
    EXPECT_TRUE(helpRequests.empty());
    EXPECT_TRUE(StandInPages::events.empty());
}

TEST_F(PageKeysTest, F1WithAModifierIsLeftToTheDialogManager) {
    ASSERT_TRUE(Build());
    for (int modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        SCOPED_TRACE(modifier);
        StandInPages::events.clear();
        PressKey(Tree(), VK_F1, {modifier});
        kt_test::PumpFor(50);
        EXPECT_EQ(0, TWin::bEatHelpMessage);
        EXPECT_TRUE(helpRequests.empty());
        EXPECT_TRUE(StandInPages::events.empty());
    }
}

TEST_F(PageKeysTest, HelpButtonAsksTheCurrentPage) {
    ASSERT_TRUE(Build());
    ASSERT_TRUE(fixture.Select("Network"));
    StandInPages::events.clear();
    kt_test::PressButton(fixture.DialogWindow(), IDHELP);
    EXPECT_EQ((Names{"Network help"}), StandInPages::events);
    ASSERT_EQ(1u, helpRequests.size());
    EXPECT_EQ(fixture.PageWindow("Network"), helpRequests[0].window);
}

}  // namespace
