// The definition dialogs as the page runs them: what they show, when OK may
// be pressed, and what they leave in the list.
#include "tests/network/network_world.h"

#include "tests/support/folder_chooser.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/temp_dir.h"
#include "ui/file_util.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using kt_test::kDirectoryCaption;
using kt_test::kDirectoryLabel;
using kt_test::kProgIdCaption;
using kt_test::kProgIdLabel;
using kt_test::kServerCaption;
using kt_test::kServerLabel;
using kt_test::MakeRow;
using kt_test::Row;
using Kind = TRepositoryItem;

const char kBecameResourceManager[] =
    "The type of the new server is Resource Manager because the port is COM.";

std::string ItemText(HWND window, int id) {
    std::vector<char> text(4096, '\0');
    GetDlgItemTextA(window, id, text.data(), static_cast<int>(text.size()));
    return text.data();
}

void TypeInto(HWND window, int id, const std::string& text) {
    SetDlgItemTextA(window, id, text.c_str());
}

bool ItemEnabled(HWND window, int id) {
    return IsWindowEnabled(GetDlgItem(window, id)) != FALSE;
}

int DefaultId(HWND window) {
    return LOWORD(SendMessageA(window, DM_GETDEFID, 0, 0));
}

// Enter as the user presses it in the focused edit: the dialog's own loop
// hands it to the dialog manager.
void PressEnter(HWND window, int editId) {
    HWND edit = GetDlgItem(window, editId);
    SetFocus(edit);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, 0);
}

class DefinitionDlg : public ::testing::Test, protected kt_test::NetworkWorld {
protected:
    // Presses the page's button and lets action work the dialog that comes.
    void Run(int button, const char* caption, const char* label, std::function<void(HWND)> action) {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(caption, label, std::move(action));
        PressButton(button);
        answerer.Verify();
    }
    // A new server through the dialog; a box is expected when boxExpected.
    void AddServer(const std::string& name, const std::string& port, const std::string& searchBase,
                   bool boxExpected) {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kServerCaption, kServerLabel, [&](HWND window) {
            TypeInto(window, IDC_SERVER_NAME, name);
            TypeInto(window, IDC_SERVER_PORT, port);
            TypeInto(window, IDC_SERVER_SEARCH_BASE, searchBase);
            kt_test::PressButton(window, IDC_SERVER_OK);
        });
        if (boxExpected)
            answerer.Expect(kServerCaption, kBecameResourceManager, IDOK);
        PressButton(IDC_NETWORK_ADD_LDAP);
        answerer.Verify();
    }
};

TEST_F(DefinitionDlg, ANewServerOpensWithPort389AndOkDisabledUntilEveryFieldHoldsText) {
    ASSERT_TRUE(Build());
    Run(IDC_NETWORK_ADD_LDAP, kServerCaption, kServerLabel, [](HWND window) {
        EXPECT_EQ("", ItemText(window, IDC_SERVER_NAME));
        EXPECT_EQ("389", ItemText(window, IDC_SERVER_PORT));
        EXPECT_EQ("", ItemText(window, IDC_SERVER_SEARCH_BASE));
        EXPECT_FALSE(ItemEnabled(window, IDC_SERVER_OK));
        EXPECT_EQ(IDCANCEL, DefaultId(window));
        TypeInto(window, IDC_SERVER_NAME, "srv1");
        EXPECT_FALSE(ItemEnabled(window, IDC_SERVER_OK));
        // Blanks are text.
        TypeInto(window, IDC_SERVER_SEARCH_BASE, " ");
        EXPECT_TRUE(ItemEnabled(window, IDC_SERVER_OK));
        EXPECT_EQ(IDC_SERVER_OK, DefaultId(window));
        TypeInto(window, IDC_SERVER_SEARCH_BASE, "o=org1");
        // Enter now is OK.
        PressEnter(window, IDC_SERVER_SEARCH_BASE);
    });
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "srv1", "389", "o=org1", Kind::LdapServer)}),
              Rows());
}

TEST_F(DefinitionDlg, ClearingAnyServerFieldDisablesOkAndEnterCancels) {
    ASSERT_TRUE(Build());
    for (int cleared : {IDC_SERVER_NAME, IDC_SERVER_PORT, IDC_SERVER_SEARCH_BASE}) {
        SCOPED_TRACE(cleared);
        Run(IDC_NETWORK_ADD_LDAP, kServerCaption, kServerLabel, [cleared](HWND window) {
            TypeInto(window, IDC_SERVER_NAME, "srv1");
            TypeInto(window, IDC_SERVER_SEARCH_BASE, "o=org1");
            ASSERT_TRUE(ItemEnabled(window, IDC_SERVER_OK));
            TypeInto(window, cleared, "");
            EXPECT_FALSE(ItemEnabled(window, IDC_SERVER_OK));
            EXPECT_EQ(IDCANCEL, DefaultId(window));
            PressEnter(window, IDC_SERVER_NAME);
        });
    }
    EXPECT_EQ(0, RowCount());
    EXPECT_EQ(0, TRepositoryItem::LiveCount());
}

TEST_F(DefinitionDlg, ANewServerWithPortComInAnyCaseIsAResourceManagerWithABox) {
    ASSERT_TRUE(Build());
    struct Case {
        const char* port;
        bool resourceManager;
    } cases[] = {{"COM", true}, {"com", true}, {"Com", true}, {" COM", false}};
    std::vector<Row> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        AddServer("srv", c.port, "o=base", c.resourceManager);
        expected.push_back(MakeRow(*this, "srv", c.port, "o=base",
                                   c.resourceManager ? Kind::ResourceManager : Kind::LdapServer));
    }
    // The port as typed and the search base stay.
    EXPECT_EQ(expected, Rows());
}

TEST_F(DefinitionDlg, EditingAServerToPortComShowsNoBoxAndKeepsItsIcon) {
    Seed(1, "srv1", "389", "o=org1");
    ASSERT_TRUE(Build());
    SelectRow(0);
    Run(IDC_NETWORK_MODIFY, kServerCaption, kServerLabel, [](HWND window) {
        EXPECT_EQ("srv1", ItemText(window, IDC_SERVER_NAME));
        EXPECT_EQ("389", ItemText(window, IDC_SERVER_PORT));
        EXPECT_EQ("o=org1", ItemText(window, IDC_SERVER_SEARCH_BASE));
        EXPECT_TRUE(ItemEnabled(window, IDC_SERVER_OK));
        TypeInto(window, IDC_SERVER_PORT, "COM");
        kt_test::PressButton(window, IDC_SERVER_OK);
    });
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "srv1", "COM", "o=org1", Kind::LdapServer)}),
              Rows());
    EXPECT_EQ(Kind::LdapServer, List()->GetRecord(0)->GetType());
}

TEST_F(DefinitionDlg, TheProgIdDialogGivesAServerMadeResourceManagerPortComAndNoSearchBase) {
    ASSERT_TRUE(Build());
    AddServer("MyApp.RM", "com", "o=org1", true);
    SelectRow(0);
    Run(IDC_NETWORK_MODIFY, kProgIdCaption, kProgIdLabel, [](HWND window) {
        EXPECT_EQ("MyApp.RM", ItemText(window, IDC_ADD_RM_PROGID));
        EXPECT_EQ(IDOK, DefaultId(window));
        kt_test::PressButton(window, IDOK);
    });
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "MyApp.RM", "COM", "", Kind::ResourceManager)}),
              Rows());
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::string>{"Value1=COM"}), kt_test::StoredValues(kt_test::kPortKey));
    EXPECT_EQ((std::vector<std::string>{}), kt_test::StoredValues(kt_test::kSearchBaseKey));
}

TEST_F(DefinitionDlg, AFieldAdmits2047CharactersAndSaves2046) {
    ASSERT_TRUE(Build());
    const std::string typed(2047, 'x');
    Run(IDC_NETWORK_ADD_LDAP, kServerCaption, kServerLabel, [&typed](HWND window) {
        for (int id : {IDC_SERVER_NAME, IDC_SERVER_PORT, IDC_SERVER_SEARCH_BASE}) {
            EXPECT_EQ(2047,
                      static_cast<int>(SendDlgItemMessageA(window, id, EM_GETLIMITTEXT, 0, 0)));
            TypeInto(window, id, typed);
        }
        kt_test::PressButton(window, IDC_SERVER_OK);
    });
    ASSERT_EQ(1, RowCount());
    const TRepositoryItem* record = List()->GetRecord(0);
    EXPECT_EQ(typed.substr(0, 2046), record->GetName());
    EXPECT_EQ(typed.substr(0, 2046), record->GetPort());
    EXPECT_EQ(typed.substr(0, 2046), record->GetSearchBase());
}

TEST_F(DefinitionDlg, DirectoryAndProgIdDialogsAddAndChangeTheirKinds) {
    ASSERT_TRUE(Build());
    struct Case {
        int button;
        const char* caption;
        const char* label;
        int editId;
        int okId;
        Kind::Type type;
    } cases[] = {
        {IDC_NETWORK_ADD_DIR, kDirectoryCaption, kDirectoryLabel, IDC_ADD_DIR_NAME, IDC_ADD_DIR_OK,
         Kind::Directory},
        {IDC_NETWORK_ADD_RM, kProgIdCaption, kProgIdLabel, IDC_ADD_RM_PROGID, IDOK,
         Kind::ResourceManager},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        int before = RowCount();
        Run(c.button, c.caption, c.label, [&c](HWND window) {
            EXPECT_EQ("", ItemText(window, c.editId));
            EXPECT_FALSE(ItemEnabled(window, c.okId));
            EXPECT_EQ(IDCANCEL, DefaultId(window));
            TypeInto(window, c.editId, "first");
            EXPECT_TRUE(ItemEnabled(window, c.okId));
            EXPECT_EQ(c.okId, DefaultId(window));
            kt_test::PressButton(window, c.okId);
        });
        ASSERT_EQ(before + 1, RowCount());
        SelectRow(before);
        Run(IDC_NETWORK_MODIFY, c.caption, c.label, [&c](HWND window) {
            EXPECT_EQ("first", ItemText(window, c.editId));
            TypeInto(window, c.editId, "second");
            kt_test::PressButton(window, c.okId);
        });
        const char* port = c.type == Kind::ResourceManager ? "COM" : "";
        EXPECT_EQ(MakeRow(*this, "second", port, "", c.type), RowAt(before));
        // The changed row is selected and focused.
        EXPECT_EQ(before, List()->GetNextItem(-1, LVNI_SELECTED | LVNI_FOCUSED));
    }
}

TEST_F(DefinitionDlg, CancelAndTheCloseBoxLeaveTheRecordAlone) {
    Seed(1, "srv1", "389", "o=org1");
    ASSERT_TRUE(Build());
    SelectRow(0);
    for (bool closeBox : {false, true}) {
        Run(IDC_NETWORK_MODIFY, kServerCaption, kServerLabel, [closeBox](HWND window) {
            TypeInto(window, IDC_SERVER_NAME, "changed");
            if (closeBox)
                SendMessageA(window, WM_CLOSE, 0, 0);
            else
                kt_test::PressButton(window, IDCANCEL);
        });
    }
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "srv1", "389", "o=org1", Kind::LdapServer)}),
              Rows());
}

TEST_F(DefinitionDlg, ThePickerReplacesTheDirectoryOrLeavesItWhenCancelled) {
    kt_test::TempDir chosen;
    ASSERT_TRUE(Build());
    // One answerer for the dialog and the pickers it opens, in that order.
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kDirectoryCaption, kDirectoryLabel, [&chosen](HWND window) {
        TypeInto(window, IDC_ADD_DIR_NAME, "typed by hand");
        kt_test::PressButton(window, IDC_ADD_DIR_BROWSE);
        EXPECT_EQ("typed by hand", ItemText(window, IDC_ADD_DIR_NAME));
        TypeInto(window, IDC_ADD_DIR_NAME, "");
        kt_test::PressButton(window, IDC_ADD_DIR_BROWSE);
        EXPECT_TRUE(FileEqual(chosen.Path().c_str(), ItemText(window, IDC_ADD_DIR_NAME).c_str()))
            << ItemText(window, IDC_ADD_DIR_NAME);
        EXPECT_TRUE(ItemEnabled(window, IDC_ADD_DIR_OK));
        kt_test::PressButton(window, IDC_ADD_DIR_OK);
    });
    answerer.ExpectAndDo(kt_test::kFolderChooserCaption, "Select directory",
                         kt_test::CancelChooser());
    answerer.ExpectAndDo(kt_test::kFolderChooserCaption, "Select directory",
                         kt_test::ChooseFolder(chosen.Path()));
    PressButton(IDC_NETWORK_ADD_DIR);
    answerer.Verify();
    ASSERT_EQ(1, RowCount());
    EXPECT_TRUE(FileEqual(chosen.Path().c_str(), RowAt(0).name.c_str())) << RowAt(0).name;
}

TEST_F(DefinitionDlg, EditObjectsThatCannotBeMadeEndTheProgramWithoutTheDialog) {
    Seed(1, "srv1", "389", "o=org1");
    ASSERT_TRUE(Build());
    {
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kt_test::kErrorCaption, "Memory allocation error. KT&C will exit.", IDOK);
        TWin::FailAllocations(1);
        PressButton(IDC_NETWORK_ADD_LDAP);
        TWin::FailAllocations(0);
        answerer.Verify();
    }
    // The posted Cancel ends the configuration dialog; nothing is written.
    kt_test::PumpUntil([this] { return !dialog.DialogAlive(); }, 5000, "the dialog to end");
    EXPECT_EQ(0, TRepositoryItem::LiveCount());
    EXPECT_EQ((std::vector<std::string>{"Value1=srv1"}),
              kt_test::StoredValues(kt_test::kServerKey));
}

}  // namespace
