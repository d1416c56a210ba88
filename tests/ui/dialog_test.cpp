// Dialogs built from templates: child pages, notification results, modal
// runs with their data table, and help.
#include "ui/app.h"
#include "ui/control.h"
#include "ui/dialog.h"

#include "tests/support/modal_answerer.h"
#include "tests/support/process.h"
#include "tests/support/pump.h"
#include "tests/ui/ui_test_ids.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kParentTemplate[] = "LAYERTESTPARENT";
const char kPageTemplate[] = "LAYERTESTPAGE";
const char kModalTemplate[] = "LAYERTESTMODAL";
const char kModalCaption[] = "Layer Test Dialog";
const char kHelpFile[] = "C:\\help\\layer.hlp";

// A control that keeps the dialog item's text in a buffer of 64 characters.
class TTextLink : public TControl {
public:
    TTextLink(TWin* parent, int id) : TControl("Edit", parent, id, 0) {}
    int GetData() override {
        GetText(static_cast<char*>(dataLink), 64);
        return 1;
    }
    int SetData() override {
        SetText(static_cast<const char*>(dataLink));
        return 1;
    }
};

TControl* MakeTextLink(TWin* dialog, int id, void* data) {
    auto* control = new TTextLink(dialog, id);
    if (control)
        control->SetDataLink(data);
    return control;
}

class TParentDlg : public TModelessDlg {
public:
    TParentDlg() : TModelessDlg(kParentTemplate, nullptr, nullptr, CW_USEDEFAULT, CW_USEDEFAULT) {}
};

class TRecordingPage : public TModelessDlg {
public:
    explicit TRecordingPage(TWin* parent)
        : TModelessDlg(kPageTemplate, parent, nullptr, CW_USEDEFAULT, CW_USEDEFAULT) {}
    int InitDlg(int focusId) override {
        ++initCalls;
        windowDuringInit = hwnd;
        edit = new TControl("Edit", this, IDC_PAGE_EDIT, 0);
        return focusId;
    }
    int initCalls = 0;
    HWND windowDuringInit = nullptr;
    TControl* edit = nullptr;
};

// A modal dialog that moves its table's data back on OK.
class TNameDlg : public TDialog {
public:
    TNameDlg(TWin* parent, TControlMap* table) : TDialog(kModalTemplate, parent, table) {}
    int Command(int id, unsigned code) override {
        if (id == IDOK && code == BN_CLICKED)
            GetData();
        return TDialog::Command(id, code);
    }
};

class TNotifyDlg : public TModelessDlg {
public:
    TNotifyDlg(TWin* parent, bool answers)
        : TModelessDlg(kPageTemplate, parent, nullptr, CW_USEDEFAULT, CW_USEDEFAULT),
          answers(answers) {}
    int Notify(int, NMHDR*, LRESULT* result) override {
        if (!answers)
            return 0;
        *result = 7;
        return 1;
    }
    bool answers;
};

struct HelpRequest {
    std::string file;
    UINT command;
    ULONG_PTR data;
};

std::vector<HelpRequest> helpRequests;

BOOL WINAPI RecordHelp(HWND, LPCSTR file, UINT command, ULONG_PTR data) {
    helpRequests.push_back({file ? file : "", command, data});
    return TRUE;
}

class DialogTest : public ::testing::Test {
protected:
    DialogTest() : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {}
    void SetUp() override {
        ASSERT_TRUE(parent.Create()) << "error " << GetLastError();
        helpRequests.clear();
        oldHelp = TDialog::SetHelpHandler(RecordHelp);
        app.helpFile = kHelpFile;
    }
    void TearDown() override {
        TDialog::SetHelpHandler(oldHelp);
        if (parent.GetHandle())
            DestroyWindow(parent.GetHandle());
    }

    LRESULT SendNotify(HWND window, UINT code) {
        NMHDR header{};
        header.hwndFrom = parent.GetHandle();
        header.idFrom = 162;
        header.code = code;
        return SendMessageA(window, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }

    TApp app;
    TParentDlg parent;
    TDialog::HelpHandler oldHelp = nullptr;
};

TEST_F(DialogTest, ChildPageIsInitialisedDuringRunAndItsControlLinks) {
    auto* page = new TRecordingPage(&parent);
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(page->Run(42));

    EXPECT_EQ(1, page->initCalls);
    ASSERT_NE(nullptr, page->windowDuringInit);
    EXPECT_EQ(page->GetHandle(), page->windowDuringInit);
    EXPECT_EQ(parent.GetHandle(), GetParent(page->GetHandle()));
    EXPECT_TRUE(GetWindowLongPtrA(page->GetHandle(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(page, TWin::GetWin(page->GetHandle()));
    HWND item = GetDlgItem(page->GetHandle(), IDC_PAGE_EDIT);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(page->edit, TWin::GetWin(item));
    EXPECT_EQ(item, page->edit->GetHandle());
}

TEST_F(DialogTest, FindWindowHoldingNamesThePageThatOwnsTheControl) {
    TRecordingPage page(&parent);
    ASSERT_TRUE(page.Run(1));
    EXPECT_EQ(page.GetHandle(), kt_test::FindWindowHolding(parent.GetHandle(), IDC_PAGE_EDIT));
    EXPECT_EQ(nullptr, kt_test::FindWindowHolding(parent.GetHandle(), 999));
    EXPECT_EQ(nullptr, kt_test::FindWindowHolding(nullptr, IDC_PAGE_EDIT));
    DestroyWindow(page.GetHandle());
}

TEST_F(DialogTest, NotifyResultBecomesTheMessageResult) {
    struct Case {
        bool answers;
        LRESULT expected;
    };
    for (const Case& c : {Case{true, 7}, Case{false, 0}}) {
        SCOPED_TRACE(c.answers ? "answered" : "left to the default");
        TNotifyDlg page(&parent, c.answers);
        ASSERT_TRUE(page.Run(1));
        EXPECT_EQ(c.expected, SendNotify(page.GetHandle(), PSN_APPLY));
        DestroyWindow(page.GetHandle());
    }
}

TEST_F(DialogTest, ModalRunReturnsTheButtonThatEndedIt) {
    for (int button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button);
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kModalCaption, "Name:", button);
        TDialog dialog(kModalTemplate, &parent);
        EXPECT_EQ(button, dialog.Run());
        EXPECT_EQ(nullptr, dialog.GetHandle());
    }
}

TEST_F(DialogTest, ModalRunFillsTheTableAndReadsTypedTextBack) {
    char name[64] = "before";
    TControlMap table[] = {{IDC_MODAL_EDIT, MakeTextLink, name, 0}, {0, nullptr, nullptr, 0}};
    std::string shownAtStart;
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kModalCaption, "", [&shownAtStart](HWND window) {
        char text[64];
        GetDlgItemTextA(window, IDC_MODAL_EDIT, text, sizeof text);
        shownAtStart = text;
        SetDlgItemTextA(window, IDC_MODAL_EDIT, "typed name");
        kt_test::PressButton(window, IDOK);
    });
    TNameDlg dialog(&parent, table);
    EXPECT_EQ(IDOK, dialog.Run());
    EXPECT_EQ("before", shownAtStart);
    EXPECT_STREQ("typed name", name);
}

TEST_F(DialogTest, AnswererTypesIntoTheEditBeforePressing) {
    char name[64] = "";
    TControlMap table[] = {{IDC_MODAL_EDIT, MakeTextLink, name, 0}, {0, nullptr, nullptr, 0}};
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndType(kModalCaption, "", IDC_MODAL_EDIT, "Korvane", IDOK);
    TNameDlg dialog(&parent, table);
    EXPECT_EQ(IDOK, dialog.Run());
    EXPECT_STREQ("Korvane", name);
}

TEST_F(DialogTest, CancelLeavesTheTableDataAlone) {
    char name[64] = "kept";
    TControlMap table[] = {{IDC_MODAL_EDIT, MakeTextLink, name, 0}, {0, nullptr, nullptr, 0}};
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndType(kModalCaption, "", IDC_MODAL_EDIT, "changed", IDCANCEL);
    TNameDlg dialog(&parent, table);
    EXPECT_EQ(IDCANCEL, dialog.Run());
    EXPECT_STREQ("kept", name);
}

TEST_F(DialogTest, HelpButtonAndHelpNotificationOpenThePagesHelp) {
    TRecordingPage page(&parent);
    ASSERT_TRUE(page.Run(42));
    kt_test::PressButton(page.GetHandle(), IDHELP);
    EXPECT_EQ(0, SendNotify(page.GetHandle(), PSN_HELP));

    ASSERT_EQ(2u, helpRequests.size());
    for (const HelpRequest& request : helpRequests) {
        EXPECT_EQ(kHelpFile, request.file);
        EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), request.command);
        EXPECT_EQ(42u, request.data);
    }
    DestroyWindow(page.GetHandle());
}

TEST_F(DialogTest, HelpWithoutAHelpFileOpensNothing) {
    app.helpFile = nullptr;
    TRecordingPage page(&parent);
    ASSERT_TRUE(page.Run(42));
    kt_test::PressButton(page.GetHandle(), IDHELP);
    EXPECT_TRUE(helpRequests.empty());
    DestroyWindow(page.GetHandle());
}

TEST_F(DialogTest, AnswererAnswersAWindowThatOpensBeforeItsTimerFires) {
    // The dialog opens a message box from a message posted while it starts,
    // so the box comes up before the dialog's own answer is due.
    class TBoxOnStartDlg : public TDialog {
    public:
        explicit TBoxOnStartDlg(TWin* parent) : TDialog(kModalTemplate, parent) {}
        int InitDlg(int focusId) override {
            PostMessageA(hwnd, WM_APP, 0, 0);
            return focusId;
        }
        int Other(TMsg& msg) override {
            if (msg.message != WM_APP)
                return 0;
            boxResult = MessageBoxA(hwnd, "Started.", "Layer Note", MB_OK);
            return 1;
        }
        int boxResult = 0;
    };
    kt_test::ModalAnswerer answerer;
    answerer.Expect(kModalCaption, "Name:", IDOK).Expect("Layer Note", "Started.", IDOK);
    TBoxOnStartDlg dialog(&parent);
    EXPECT_EQ(IDOK, dialog.Run());
    EXPECT_EQ(IDOK, dialog.boxResult);
    EXPECT_EQ(2, answerer.Answered());
}

}  // namespace
