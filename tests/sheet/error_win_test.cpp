#include "sheet/config_dlg.h"
#include "sheet/error_win.h"
#include "tests/sheet/stand_in_pages.h"
#include "tests/support/config_dialog.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "ui/app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kt_test::StandInPages;
using Lines = std::vector<std::string>;

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const Lines kApplyOrder = {"Network",       "Channel files",   "Settings", "Plug-ins",
                           "Max. channels", "Channel sharing", "Korvane"};

// While it lives, no window of one class can be created on this thread: the
// system refuses it as it refuses a window when its desktop heap is spent.
class WindowCreationVeto {
public:
    explicit WindowCreationVeto(const char* className) {
        refused = className;
        hook = SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId());
        EXPECT_TRUE(hook) << "cannot hook the thread (error " << GetLastError() << ")";
    }
    ~WindowCreationVeto() {
        if (hook)
            UnhookWindowsHookEx(hook);
        refused = nullptr;
    }
    WindowCreationVeto(const WindowCreationVeto&) = delete;
    WindowCreationVeto& operator=(const WindowCreationVeto&) = delete;

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        char className[64] = "";
        if (code == HCBT_CREATEWND && refused &&
            GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
            lstrcmpiA(className, refused) == 0)
            return 1;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static const char* refused;
    HHOOK hook = nullptr;
};

const char* WindowCreationVeto::refused = nullptr;
const char kErrorsCaption[] = "Korvane & Tools Configuration - Errors";
const char kWarningsCaption[] = "Korvane & Tools Configuration - Warnings";
constexpr int kListId = 256;

// An OK in which no page reports anything ends the dialog, and the run with 0.
void ExpectAQuietOkEndsTheDialog(kt_test::ConfigDialogFixture& dialog) {
    StandInPages::onApply.clear();
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ(0, TApp::TheApp->exitCode);
}

// A dialog of stand-in pages of its own, for one case of a table, shown as
// the user sees it.
struct ShownDialog {
    ShownDialog() {
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        built = world.Build() != nullptr;
        if (built)
            ShowWindow(world.DialogWindow(), SW_SHOWNORMAL);
    }
    kt_test::RegistrySandbox sandbox;
    StandInPages pages;
    kt_test::ConfigDialogFixture world;
    bool built = false;
};

class ErrorWinTest : public ::testing::Test {
protected:
    TConfigDlg* Build() {
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        TConfigDlg* dialog = fixture.Build();
        // As the user sees it: the application's loop shows the dialog.
        if (dialog)
            ShowWindow(dialog->GetHandle(), SW_SHOWNORMAL);
        return dialog;
    }
    bool ErrorWindowVisible() const {
        return fixture.ErrorWindow() && IsWindowVisible(fixture.ErrorWindow());
    }
    void CloseErrorWindow() {
        ASSERT_TRUE(fixture.ErrorWindow());
        SendMessageA(fixture.ErrorWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(nullptr, fixture.ErrorWindow());
    }

    kt_test::RegistrySandbox registry;
    StandInPages standIns;
    kt_test::ConfigDialogFixture fixture;
};

TEST_F(ErrorWinTest, ReportWhileTheDialogIsBuiltIsAMessageBoxWithTheBareText) {
    StandInPages::onLoad["Network"] = [](kt_test::TStandInPage* page) {
        AddError(page, "Server ldap1 has no search base", 1);
    };
    kt_test::ModalAnswerer answerer;
    answerer.Expect("KT&C Error", "Server ldap1 has no search base", IDOK);
    ASSERT_TRUE(Build());
    answerer.Verify();
    EXPECT_EQ(nullptr, fixture.ErrorWindow());
}

TEST_F(ErrorWinTest, ReportAfterBuildingWaitsHiddenAsALineNamedAfterThePage) {
    ASSERT_TRUE(Build());
    AddError(fixture.Page("Plug-ins"), "The help contents could not be written.", 0);
    ASSERT_TRUE(fixture.ErrorWindow());
    EXPECT_FALSE(ErrorWindowVisible());
    EXPECT_EQ("", fixture.ErrorCaption());
    EXPECT_EQ((Lines{"Plug-ins:  The help contents could not be written."}), fixture.ErrorLines());
}

TEST_F(ErrorWinTest, LinesKeepTheOrderOfTheReports) {
    ASSERT_TRUE(Build());
    AddError(fixture.Page("Settings"), "b second", 0);
    AddError(fixture.Page("Network"), "a first?", 1);
    AddError(fixture.Page("Channel sharing"), "c", 0);
    EXPECT_EQ((Lines{"Settings:  b second", "Network:  a first?", "Channel sharing:  c"}),
              fixture.ErrorLines());
}

TEST_F(ErrorWinTest, WarningsOnlyHideTheDialogAndClosingTheWindowEndsIt) {
    ASSERT_TRUE(Build());
    StandInPages::onApply["Max. channels"] = [](kt_test::TStandInPage* page) {
        AddError(page, "only a warning", 0);
    };
    fixture.PressOk();
    EXPECT_TRUE(ErrorWindowVisible());
    EXPECT_EQ(kWarningsCaption, fixture.ErrorCaption());
    EXPECT_TRUE(fixture.DialogAlive());
    EXPECT_FALSE(fixture.DialogVisible());
    CloseErrorWindow();
    EXPECT_FALSE(fixture.DialogAlive());
    EXPECT_EQ(0, TApp::TheApp->exitCode);
}

TEST_F(ErrorWinTest, ErrorsKeepTheDialogOpenAndEachOkShowsOnlyItsOwnReports) {
    ASSERT_TRUE(Build());
    StandInPages::onApply["Plug-ins"] = [](kt_test::TStandInPage* page) {
        AddError(page, "Plug-in key not written", 1);
    };
    fixture.PressOk();
    EXPECT_TRUE(ErrorWindowVisible());
    EXPECT_EQ(kErrorsCaption, fixture.ErrorCaption());
    EXPECT_TRUE(fixture.DialogVisible());
    HWND first = fixture.ErrorWindow();
    // The next OK takes away what the user has read and shows its own report.
    fixture.PressOk();
    EXPECT_EQ(first, fixture.ErrorWindow());
    EXPECT_TRUE(ErrorWindowVisible());
    EXPECT_EQ((Lines{"Plug-ins:  Plug-in key not written"}), fixture.ErrorLines());
    // An OK in which nothing is reported closes the dialog.
    ExpectAQuietOkEndsTheDialog(fixture);
}

TEST_F(ErrorWinTest, AReportMadeWhileTheWindowIsOnScreenIsShownByTheNextOk) {
    ASSERT_TRUE(Build());
    StandInPages::onApply["Plug-ins"] = [](kt_test::TStandInPage* page) {
        AddError(page, "Plug-in key not written", 1);
    };
    fixture.PressOk();
    ASSERT_TRUE(ErrorWindowVisible());
    StandInPages::onApply.clear();
    AddError(fixture.Page("Settings"), "later warning", 0);
    fixture.PressOk();
    EXPECT_EQ((Lines{"Settings:  later warning"}), fixture.ErrorLines());
    EXPECT_EQ(kWarningsCaption, fixture.ErrorCaption());
    EXPECT_TRUE(ErrorWindowVisible());
    EXPECT_FALSE(fixture.DialogVisible());
    CloseErrorWindow();
    EXPECT_FALSE(fixture.DialogAlive());
}

TEST_F(ErrorWinTest, ARefusalWithAnErrorShowsTheWindowBesideTheOpenDialog) {
    ASSERT_TRUE(Build());
    StandInPages::refusing = {"Channel files"};
    StandInPages::onApply["Channel files"] = [](kt_test::TStandInPage* page) {
        AddError(page, "You must specify a channel directory.", 1);
    };
    fixture.PressOk();
    EXPECT_TRUE(ErrorWindowVisible());
    EXPECT_EQ(kErrorsCaption, fixture.ErrorCaption());
    EXPECT_TRUE(fixture.DialogVisible());
    // Refused again: the line is there once, not once per OK.
    fixture.PressOk();
    EXPECT_TRUE(ErrorWindowVisible());
    EXPECT_EQ((Lines{"Channel files:  You must specify a channel directory."}),
              fixture.ErrorLines());
    // Corrected: nothing refuses and nothing is reported, the dialog ends.
    StandInPages::refusing.clear();
    ExpectAQuietOkEndsTheDialog(fixture);
}

TEST(ErrorWinRefusal, ARefusalThatLeftNoErrorShowsNothing) {
    struct Case {
        const char* what;
        int earlierKind;  // -1: no earlier report
    };
    const Case cases[] = {{"no report at all", -1}, {"a warning from a page's button", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShownDialog shown;
        ASSERT_TRUE(shown.built);
        kt_test::ConfigDialogFixture& world = shown.world;
        if (c.earlierKind >= 0)
            AddError(world.Page("Settings"), "directory not found", c.earlierKind);
        StandInPages::refusing = {"Channel files"};
        world.PressOk();
        EXPECT_TRUE(world.DialogVisible());
        HWND errors = world.ErrorWindow();
        EXPECT_FALSE(errors && IsWindowVisible(errors));
        EXPECT_EQ(c.earlierKind >= 0 ? 1u : 0u, world.ErrorLines().size());
        // Closing the dialog must not depend on the hidden warning.
        world.PressCancel();
        EXPECT_FALSE(world.DialogAlive());
    }
}

TEST_F(ErrorWinTest, AReportAfterClosingAWindowWithErrorsStartsAFreshWindow) {
    ASSERT_TRUE(Build());
    AddError(fixture.Page("Network"), "bad server", 1);
    fixture.PressOk();
    CloseErrorWindow();
    AddError(fixture.Page("Settings"), "just a warning", 0);
    ASSERT_TRUE(fixture.ErrorWindow());
    EXPECT_FALSE(ErrorWindowVisible());
    EXPECT_EQ((Lines{"Settings:  just a warning"}), fixture.ErrorLines());
    TErrorWin* fresh = TErrorWin::Current();
    EXPECT_EQ(1, fresh->LineCount());
    EXPECT_EQ(0, fresh->HasErrors());
    fixture.PressOk();
    EXPECT_EQ(kWarningsCaption, fixture.ErrorCaption());
    EXPECT_FALSE(fixture.DialogVisible());
}

TEST_F(ErrorWinTest, ErrorsWinOverAnyNumberOfWarningsInTheCaption) {
    ASSERT_TRUE(Build());
    struct Case {
        std::vector<int> kinds;
        int hasErrors;
        const char* caption;
    } cases[] = {
        {{0, 0, 0}, 0, kWarningsCaption},  {{1, 0, 0, 0}, 1, kErrorsCaption},
        {{0, 0, 0, 1}, 1, kErrorsCaption}, {{0, 1, 0, 0}, 1, kErrorsCaption},
        {{0, 7, 0}, 1, kErrorsCaption},  // any kind but 0 is an error
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        auto* win = new TErrorWin(fixture.Dialog());
        ASSERT_TRUE(win && win->GetHandle());
        for (int kind : c.kinds)
            win->AddError("Settings", "text", kind);
        EXPECT_EQ(c.hasErrors, win->Display());
        char caption[256];
        GetWindowTextA(win->GetHandle(), caption, sizeof caption);
        EXPECT_STREQ(c.caption, caption);
        EXPECT_TRUE(IsWindowVisible(win->GetHandle()));
        // Errors leave the dialog alone when their window goes.
        win->AddError("Settings", "keep the dialog", 1);
        DestroyWindow(win->GetHandle());
        ASSERT_TRUE(fixture.DialogAlive());
    }
}

TEST_F(ErrorWinTest, DisplayOfAnEmptyWindowShowsNothing) {
    ASSERT_TRUE(Build());
    TErrorWin win(fixture.Dialog());
    ASSERT_TRUE(win.GetHandle());
    EXPECT_EQ(0, win.Display());
    char caption[256];
    GetWindowTextA(win.GetHandle(), caption, sizeof caption);
    EXPECT_STREQ("", caption);
    EXPECT_FALSE(IsWindowVisible(win.GetHandle()));
    win.AddError("x", "y", 1);  // so that its end leaves the dialog open
    DestroyWindow(win.GetHandle());
}

TEST_F(ErrorWinTest, OpensBesideTheDialogAsWideAndHalfAsHigh) {
    ASSERT_TRUE(Build());
    HWND dialog = fixture.DialogWindow();
    ASSERT_TRUE(SetWindowPos(dialog, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    RECT main;
    GetWindowRect(dialog, &main);
    AddError(fixture.Page("Network"), "where am I", 1);
    ASSERT_TRUE(fixture.ErrorWindow());
    RECT errors;
    GetWindowRect(fixture.ErrorWindow(), &errors);
    EXPECT_EQ(main.left + 60, errors.left);
    EXPECT_EQ(main.top + 120, errors.top);
    EXPECT_EQ(main.right - main.left, errors.right - errors.left);
    EXPECT_EQ((main.bottom - main.top) / 2, errors.bottom - errors.top);
    LONG_PTR style = GetWindowLongPtrA(fixture.ErrorWindow(), GWL_STYLE);
    EXPECT_EQ(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
              style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongPtrA(fixture.ErrorWindow(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    char className[64];
    GetClassNameA(fixture.ErrorWindow(), className, sizeof className);
    EXPECT_STREQ("ErrorWindow", className);
    EXPECT_TRUE(SendMessageA(fixture.ErrorWindow(), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageA(fixture.ErrorWindow(), WM_GETICON, ICON_SMALL, 0));
    HWND list = GetDlgItem(fixture.ErrorWindow(), kListId);
    ASSERT_TRUE(list);
    EXPECT_EQ(list, GetFocus());
    LONG_PTR listStyle = GetWindowLongPtrA(list, GWL_STYLE);
    EXPECT_FALSE(listStyle & WS_BORDER);
    EXPECT_FALSE(listStyle & LBS_SORT);
    EXPECT_TRUE(listStyle & LBS_NOINTEGRALHEIGHT);
}

TEST_F(ErrorWinTest, ListFillsTheClientAreaExactlyAfterEveryResize) {
    ASSERT_TRUE(Build());
    AddError(fixture.Page("Network"), "resize me", 1);
    HWND window = fixture.ErrorWindow();
    ASSERT_TRUE(window);
    HWND list = GetDlgItem(window, kListId);
    const SIZE sizes[] = {{333, 177}, {250, 97}, {611, 403}, {400, 131}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(size.cx);
        ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
        RECT client;
        GetClientRect(window, &client);
        RECT where;
        GetWindowRect(list, &where);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&where), 2);
        EXPECT_EQ(client.left, where.left);
        EXPECT_EQ(client.top, where.top);
        EXPECT_EQ(client.right, where.right);
        EXPECT_EQ(client.bottom, where.bottom);
    }
}

TEST_F(ErrorWinTest, EscAndEnterInTheListCloseTheWindowOtherKeysDoNot) {
    ASSERT_TRUE(Build());
    struct Case {
        UINT message;
        WPARAM key;
        bool closes;
    } cases[] = {
        {WM_KEYDOWN, VK_ESCAPE, true}, {WM_KEYDOWN, VK_RETURN, true}, {WM_KEYUP, VK_ESCAPE, false},
        {WM_KEYUP, VK_RETURN, false},  {WM_KEYDOWN, 'A', false},      {WM_KEYDOWN, VK_DOWN, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        AddError(fixture.Page("Network"), "press a key", 1);
        HWND window = fixture.ErrorWindow();
        ASSERT_TRUE(window);
        SendMessageA(GetDlgItem(window, kListId), c.message, c.key, 1);
        EXPECT_EQ(c.closes, !IsWindow(window));
        EXPECT_EQ(c.closes, fixture.ErrorWindow() == nullptr);
        if (IsWindow(window))
            DestroyWindow(window);
        EXPECT_TRUE(fixture.DialogAlive());
    }
}

TEST_F(ErrorWinTest, WindowThatCannotBeAllocatedLosesTheReportAndTheNextOneTriesAgain) {
    ASSERT_TRUE(Build());
    kt_test::ModalAnswerer answerer;
    answerer.Expect("KT&C: AddError", "Memory allocation error", IDOK);
    TWin::FailAllocations(1);
    AddError(fixture.Page("Network"), "lost", 1);
    TWin::FailAllocations(0);
    answerer.Verify();
    EXPECT_EQ(nullptr, fixture.ErrorWindow());
    AddError(fixture.Page("Network"), "kept", 1);
    EXPECT_EQ((Lines{"Network:  kept"}), fixture.ErrorLines());
}

TEST_F(ErrorWinTest, WindowWithoutItsListShowsReportsInABoxAndOkClosesTheDialog) {
    ASSERT_TRUE(Build());
    kt_test::ModalAnswerer answerer;
    answerer.Expect("KT&C: TErrorWin::TErrorWin", "TErrorListBox memory allocation error", IDOK);
    TWin::FailAllocations(1);
    TErrorWin listless(fixture.Dialog());
    TWin::FailAllocations(0);
    answerer.Verify();
    ASSERT_TRUE(listless.GetHandle());
    EXPECT_EQ(nullptr, listless.GetListBox());
    TErrorWin::SetCurrent(&listless);
    // The window cannot keep the report; the user reads it at once.
    answerer.Expect("KT&C Error", "nowhere to go", IDOK);
    AddError(fixture.Page("Network"), "nowhere to go", 1);
    answerer.Verify();
    EXPECT_EQ(0, listless.LineCount());
    // Holding no line, it must not stand in for the dialog: OK ends it.
    fixture.PressOk();
    EXPECT_FALSE(fixture.DialogAlive());
    EXPECT_FALSE(IsWindowVisible(listless.GetHandle()));
    DestroyWindow(listless.GetHandle());
}

TEST_F(ErrorWinTest, AListThatCannotBeCreatedSendsTheReportsToMessageBoxes) {
    ASSERT_TRUE(Build());
    kt_test::ModalAnswerer answerer;
    // Not a word of memory: the memory was there.
    answerer.Expect("KT&C Error", "first report", IDOK).Expect("KT&C Error", "second report", IDOK);
    {
        WindowCreationVeto veto("ListBox");
        AddError(fixture.Page("Network"), "first report", 1);
    }
    ASSERT_TRUE(fixture.ErrorWindow());
    EXPECT_EQ(nullptr, TErrorWin::Current()->GetListBox());
    AddError(fixture.Page("Settings"), "second report", 0);
    answerer.Verify();
    EXPECT_EQ(0, TErrorWin::Current()->LineCount());
    // Both were read; an OK that reports nothing ends the dialog.
    fixture.PressOk();
    EXPECT_FALSE(fixture.DialogAlive());
}

TEST(ErrorWinUncreatable, AReportDuringOkIsShownInABoxAndEveryPageStillSaves) {
    struct Case {
        const char* what;
        int kind;
        bool dialogStays;
    };
    const Case cases[] = {{"an error keeps the dialog open for another try", 1, true},
                          {"a warning, once read, lets the OK end the dialog", 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShownDialog shown;
        ASSERT_TRUE(shown.built);
        kt_test::ConfigDialogFixture& world = shown.world;
        int kind = c.kind;
        StandInPages::onApply["Plug-ins"] = [kind](kt_test::TStandInPage* page) {
            AddError(page, "Plug-in key not written", kind);
            // The page goes on with its save after the report.
            StandInPages::events.push_back(page->name + " saved");
        };
        StandInPages::events.clear();
        {
            kt_test::ModalAnswerer answerer;
            answerer.Expect("KT&C Error", "Plug-in key not written", IDOK);
            WindowCreationVeto veto("ErrorWindow");
            world.PressOk();
            answerer.Verify();
        }
        EXPECT_EQ(kApplyOrder, StandInPages::PagesThatGot(" apply"));
        EXPECT_EQ((Lines{"Plug-ins"}), StandInPages::PagesThatGot(" saved"));
        EXPECT_EQ(nullptr, world.ErrorWindow());
        EXPECT_EQ(c.dialogStays, world.DialogAlive());
        if (!c.dialogStays) {
            EXPECT_EQ(0, TApp::TheApp->exitCode);
            continue;
        }
        EXPECT_TRUE(world.DialogVisible());
        // The next OK in which nothing is reported ends the dialog.
        ExpectAQuietOkEndsTheDialog(world);
    }
}

TEST_F(ErrorWinTest, AWarningsWindowNeverShownEndsNothingWhenItGoes) {
    ASSERT_TRUE(Build());
    AddError(fixture.Page("Settings"), "only a warning", 0);
    ASSERT_TRUE(fixture.ErrorWindow());
    DestroyWindow(fixture.ErrorWindow());
    EXPECT_EQ(nullptr, fixture.ErrorWindow());
    EXPECT_TRUE(fixture.DialogAlive());
    EXPECT_TRUE(fixture.DialogVisible());
}

}  // namespace
