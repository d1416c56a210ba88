#include "sheet/config_dlg.h"
#include "sheet/page_caption.h"
#include "sheet/tree_sheet.h"
#include "tests/sheet/stand_in_pages.h"
#include "tests/support/config_dialog.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "app/fatal_error.h"
#include "ui/app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kt_test::StandInPages;
using Names = std::vector<std::string>;

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";

const Names kFullTree = {"Channel files", "Network",       "Korvane",        "Settings",
                         "Plug-ins",      "Max. channels", "Channel sharing"};
const Names kApplyOrder = {"Network",       "Channel files",   "Settings", "Plug-ins",
                           "Max. channels", "Channel sharing", "Korvane"};

class ConfigDlgTest : public ::testing::Test {
protected:
    void Install() { kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey); }
    HWND Tree() const { return GetDlgItem(fixture.DialogWindow(), kPageTreeId); }
    HTREEITEM ItemOf(const std::string& name) const {
        HWND page = fixture.PageWindow(name);
        return page ? static_cast<HTREEITEM>(GetPropA(page, "HPAGEPROP")) : nullptr;
    }
    bool Expanded(const std::string& name) const {
        UINT state = static_cast<UINT>(SendMessageA(
            Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(ItemOf(name)), TVIS_EXPANDED));
        return (state & TVIS_EXPANDED) != 0;
    }

    kt_test::RegistrySandbox registry;
    StandInPages standIns;
    kt_test::ConfigDialogFixture fixture;
};

TEST_F(ConfigDlgTest, InstalledProductGivesSevenPagesBothRootsExpanded) {
    Install();
    ASSERT_TRUE(fixture.Build());
    EXPECT_EQ(kFullTree, fixture.TreeNames());
    EXPECT_TRUE(Expanded("Channel files"));
    EXPECT_TRUE(Expanded("Korvane"));
    EXPECT_EQ(1, TConfigDlg::ProductKeyExists());
}

TEST_F(ConfigDlgTest, WithoutProductKeyOnlyThreePagesAndKorvaneNotExpanded) {
    ASSERT_TRUE(fixture.Build());
    EXPECT_EQ((Names{"Channel files", "Network", "Korvane"}), fixture.TreeNames());
    EXPECT_TRUE(Expanded("Channel files"));
    EXPECT_FALSE(Expanded("Korvane"));
    EXPECT_EQ(0, TConfigDlg::ProductKeyExists());
}

TEST_F(ConfigDlgTest, PagesAreCreatedInTableOrderWhileTheDialogIsBuilt) {
    Install();
    for (const char* name : kt_test::kPageNames)
        StandInPages::onLoad[name] = [](kt_test::TStandInPage* page) {
            StandInPages::events.push_back(page->name + " loaded");
        };
    ASSERT_TRUE(fixture.Build());
    EXPECT_EQ(kFullTree, StandInPages::PagesThatGot(" loaded"));
}

TEST_F(ConfigDlgTest, FirstPageIsShownWithTheTreeFocusedAndNotYetVisible) {
    Install();
    TConfigDlg* dialog = fixture.Build();
    ASSERT_TRUE(dialog);
    // Created hidden: the application's loop shows it.
    EXPECT_FALSE(fixture.DialogVisible());
    HWND first = fixture.PageWindow("Channel files");
    EXPECT_EQ(first, dialog->GetCurPage());
    EXPECT_EQ(ItemOf("Channel files"), dialog->GetCurItem());
    EXPECT_TRUE(GetWindowLongPtrA(first, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrA(fixture.PageWindow("Network"), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(Tree(), GetFocus());
    EXPECT_EQ((Names{"Channel files"}), StandInPages::PagesThatGot(" setactive"));
}

TEST_F(ConfigDlgTest, EveryPageSitsAtThePlaceholderWithItsItemAndItsDescription) {
    Install();
    ASSERT_TRUE(fixture.Build());
    HWND dialog = fixture.DialogWindow();
    HWND placeholder = GetDlgItem(dialog, kPlaceholderId);
    ASSERT_TRUE(placeholder);
    EXPECT_FALSE(IsWindowVisible(placeholder));
    RECT spot;
    GetWindowRect(placeholder, &spot);
    const char* descriptions[] = {
        "Define channel file directory",  "Define channel pools",
        "Verify installation of Korvane", "Define desktop directory",
        "Configure plug-ins for Korvane", "Define maximum number of channels",
        "Define tools that share channel"};
    for (int row = 0; row < 7; ++row) {
        const std::string name = kt_test::kPageNames[row];
        SCOPED_TRACE(name);
        HWND page = fixture.PageWindow(name);
        ASSERT_TRUE(page);
        HTREEITEM item = ItemOf(name);
        ASSERT_TRUE(item);
        TVITEMA request{};
        request.mask = TVIF_PARAM;
        request.hItem = item;
        ASSERT_TRUE(SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)));
        EXPECT_EQ(page, reinterpret_cast<HWND>(request.lParam));
        char text[256];
        GetWindowTextA(page, text, sizeof text);
        EXPECT_STREQ(descriptions[row], text);
        RECT where;
        GetWindowRect(page, &where);
        EXPECT_EQ(spot.left, where.left);
        EXPECT_EQ(spot.top, where.top);
        EXPECT_TRUE(GetWindowLongPtrA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    }
}

TEST_F(ConfigDlgTest, MissingFactoryLeavesThatPageOutAndTheTreeGoesOn) {
    Install();
    TPageFactorySwap noPlugins("Plug-ins", nullptr);
    TPageFactorySwap noChannelFiles("Channel files", nullptr);
    ASSERT_TRUE(fixture.Build());
    EXPECT_EQ((Names{"Network", "Korvane", "Settings", "Max. channels", "Channel sharing"}),
              fixture.TreeNames());
    EXPECT_EQ(nullptr, fixture.Dialog()->chnDirPage);
    EXPECT_EQ(nullptr, fixture.Dialog()->chnDirWin);
}

TEST_F(ConfigDlgTest, CaptionBarShowsTheSelectedPageNameAndDescription) {
    Install();
    TConfigDlg* dialog = fixture.Build();
    ASSERT_TRUE(dialog);
    auto* caption = static_cast<TPageCaption*>(TWin::GetWin(GetDlgItem(*dialog, kCaptionId)));
    ASSERT_TRUE(caption);
    EXPECT_STREQ("Channel files", caption->title);
    EXPECT_STREQ("Define channel file directory", caption->GetDescription());
    ASSERT_TRUE(fixture.Select("Max. channels"));
    EXPECT_STREQ("Max. channels", caption->title);
    EXPECT_STREQ("Define maximum number of channels", caption->GetDescription());
}

TEST_F(ConfigDlgTest, SelectingAPageTellsTheOldOneToLeaveAndTheNewOneToComeForward) {
    Install();
    TConfigDlg* dialog = fixture.Build();
    ASSERT_TRUE(dialog);
    StandInPages::events.clear();
    ASSERT_TRUE(fixture.Select("Plug-ins"));
    EXPECT_EQ((Names{"Channel files killactive", "Plug-ins setactive"}), StandInPages::events);
    EXPECT_FALSE(IsWindowVisible(fixture.PageWindow("Channel files")));
    EXPECT_TRUE(GetWindowLongPtrA(fixture.PageWindow("Plug-ins"), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ConfigDlgTest, APageThatWillNotBeLeftKeepsTheSelection) {
    Install();
    TConfigDlg* dialog = fixture.Build();
    ASSERT_TRUE(dialog);
    StandInPages::keepingFocus = {"Channel files"};
    StandInPages::events.clear();
    EXPECT_FALSE(fixture.Select("Korvane"));
    EXPECT_EQ(fixture.PageWindow("Channel files"), dialog->GetCurPage());
    EXPECT_EQ((Names{"Channel files killactive"}), StandInPages::events);
    EXPECT_TRUE(GetWindowLongPtrA(fixture.PageWindow("Channel files"), GWL_STYLE) & WS_VISIBLE);
    StandInPages::keepingFocus.clear();
    EXPECT_TRUE(fixture.Select("Korvane"));
}

TEST_F(ConfigDlgTest, OkAppliesEveryPageSubtreesFirstAndEndsTheDialog) {
    Install();
    ASSERT_TRUE(fixture.Build());
    TApp::TheApp->exitCode = 5;
    StandInPages::events.clear();
    fixture.PressOk();
    EXPECT_EQ(kApplyOrder, StandInPages::PagesThatGot(" apply"));
    EXPECT_FALSE(fixture.DialogAlive());
    // The dialog's end is the application's end, with exit code 0.
    EXPECT_EQ(0, TApp::TheApp->exitCode);
    EXPECT_EQ(nullptr, TApp::TheApp->mainWin);
}

TEST_F(ConfigDlgTest, RefusingPagesKeepTheDialogOpenButEveryPageIsStillAsked) {
    Install();
    ASSERT_TRUE(fixture.Build());
    StandInPages::refusing = {"Channel files", "Max. channels"};
    StandInPages::events.clear();
    fixture.PressOk();
    EXPECT_EQ(kApplyOrder, StandInPages::PagesThatGot(" apply"));
    EXPECT_TRUE(fixture.DialogAlive());
    // Once nothing refuses, the same dialog closes.
    StandInPages::refusing.clear();
    fixture.PressOk();
    EXPECT_FALSE(fixture.DialogAlive());
}

TEST_F(ConfigDlgTest, CancelResetsEveryPageAndEndsWithoutTheOkStep) {
    Install();
    ASSERT_TRUE(fixture.Build());
    // A waiting warning would be shown by the OK step; Cancel never asks it.
    AddError(fixture.Page("Settings"), "never shown", 0);
    ASSERT_TRUE(fixture.ErrorWindow());
    StandInPages::events.clear();
    fixture.PressCancel();
    EXPECT_EQ(kApplyOrder, StandInPages::PagesThatGot(" reset"));
    EXPECT_TRUE(StandInPages::PagesThatGot(" apply").empty());
    EXPECT_FALSE(fixture.DialogAlive());
    if (HWND errors = fixture.ErrorWindow()) {
        EXPECT_FALSE(IsWindowVisible(errors));
    }
}

TEST_F(ConfigDlgTest, OkOrCancelWithANotificationCodeIsNotTheButton) {
    Install();
    ASSERT_TRUE(fixture.Build());
    StandInPages::events.clear();
    for (int id : {IDOK, IDCANCEL}) {
        SendMessageA(fixture.DialogWindow(), WM_COMMAND, MAKEWPARAM(id, BN_SETFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(fixture.DialogWindow(), id)));
    }
    EXPECT_TRUE(fixture.DialogAlive());
    EXPECT_TRUE(StandInPages::events.empty());
}

TEST_F(ConfigDlgTest, OkOrCancelSentToAPageLeavesThePageInTheSheet) {
    Install();
    ASSERT_TRUE(fixture.Build());
    HWND page = fixture.PageWindow("Settings");
    ASSERT_NE(nullptr, page);
    for (int id : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(id);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindow(page));
        EXPECT_EQ(page, fixture.PageWindow("Settings"));
        EXPECT_TRUE(fixture.DialogAlive());
    }
    StandInPages::events.clear();
    fixture.PressOk();
    EXPECT_EQ(kApplyOrder, StandInPages::PagesThatGot(" apply"));
}

TEST_F(ConfigDlgTest, APageButtonCommandReachesTheCurrentPageFromTheSheet) {
    Install();
    ASSERT_TRUE(fixture.Build());
    ASSERT_TRUE(fixture.Select("Settings"));
    HWND dialog = fixture.DialogWindow();
    struct Case {
        int id;
        WORD code;
        bool forwarded;
    } cases[] = {
        {kt_test::kStandInButtonId, BN_CLICKED, true},  // a push button of the page
        {kt_test::kStandInButtonId, BN_SETFOCUS, false},
        {kt_test::kStandInEditId, 0, false},  // an edit of the page is no button
        {777, 0, false},                      // no such control on the page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        StandInPages::events.clear();
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.id, c.code), 0);
        Names expected;
        if (c.forwarded)
            expected.push_back("Settings command " + std::to_string(c.id) + " code 0 from sheet");
        EXPECT_EQ(expected, StandInPages::events);
    }
}

TEST_F(ConfigDlgTest, ActivationChangesReachTheChannelFilesPage) {
    Install();
    ASSERT_TRUE(fixture.Build());
    StandInPages::events.clear();
    HWND dialog = fixture.DialogWindow();
    SendMessageA(dialog, WM_ACTIVATEAPP, FALSE, 0);
    SendMessageA(dialog, WM_ACTIVATEAPP, TRUE, 0);
    const std::string notice =
        "Channel files command " + std::to_string(kActivationNoticeId) + " code 0 from none";
    EXPECT_EQ((Names{notice, notice}), StandInPages::events);
}

TEST_F(ConfigDlgTest, DialogCarriesItsTitleAndBothIcons) {
    ASSERT_TRUE(fixture.Build());
    char title[256];
    GetWindowTextA(fixture.DialogWindow(), title, sizeof title);
    EXPECT_STREQ("Korvane & Tools Configuration", title);
    EXPECT_TRUE(SendMessageA(fixture.DialogWindow(), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageA(fixture.DialogWindow(), WM_GETICON, ICON_SMALL, 0));
}

TEST_F(ConfigDlgTest, TreeThatCannotBeAllocatedIsAFatalErrorAndNoPageLoads) {
    Install();
    for (const char* name : kt_test::kPageNames)
        StandInPages::onLoad[name] = [](kt_test::TStandInPage* page) {
            StandInPages::events.push_back(page->name + " loaded");
        };
    ClearFatalError();
    kt_test::ModalAnswerer answerer;
    answerer.Expect("KT&C Error", "Memory allocation error", IDOK);
    {
        TWin::FailAllocations(1);
        TConfigDlg dialog;
        TWin::FailAllocations(0);
        answerer.Verify();
        EXPECT_EQ(1, FatalErrorWhileBuilding());
        EXPECT_TRUE(StandInPages::events.empty());
        EXPECT_EQ(nullptr, dialog.GetPageTree());
        if (dialog.GetHandle())
            DestroyWindow(dialog.GetHandle());
    }
    ClearFatalError();
}

}  // namespace
