// The Network page: loading the three keys into the list, the buttons, and
// writing the list back on OK.
#include "tests/network/network_world.h"

#include "app/fatal_error.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "ui/app.h"

#include <sddl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using kt_test::kPortKey;
using kt_test::kSearchBaseKey;
using kt_test::kServerKey;
using kt_test::MakeRow;
using kt_test::Row;
using kt_test::StoredValues;
using Values = std::vector<std::string>;
using Kind = TRepositoryItem;

const char kDeleteCaption[] = "Confirm channel delete";

class NetworkPage : public ::testing::Test, protected kt_test::NetworkWorld {
protected:
    // The store that shows one item of each kind.
    void SeedOneOfEach() {
        Seed(1, "srv1", "389", "o=org1");
        Seed(2, "C:\\Dirs");
        Seed(3, "MyApp.RM", "com");
    }
    std::vector<Row> OneOfEachRows() const {
        return {MakeRow(*this, "srv1", "389", "o=org1", Kind::LdapServer),
                MakeRow(*this, "C:\\Dirs", "", "", Kind::Directory),
                MakeRow(*this, "MyApp.RM", "COM", "", Kind::ResourceManager)};
    }
    // Selects the row and answers the delete question with answer.
    void Delete(int row, const std::string& question, int answer) {
        SelectRow(row);
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kDeleteCaption, question, answer);
        PressButton(IDC_NETWORK_DELETE);
        answerer.Verify();
    }
    // The three keys' values, as StoredValues gives them.
    static void ExpectStored(const Values& servers, const Values& ports,
                             const Values& searchBases) {
        EXPECT_EQ(servers, StoredValues(kServerKey));
        EXPECT_EQ(ports, StoredValues(kPortKey));
        EXPECT_EQ(searchBases, StoredValues(kSearchBaseKey));
    }
    void Ok() {
        dialog.PressOk();
        EXPECT_FALSE(dialog.DialogAlive()) << "errors: " << ::testing::PrintToString(PageErrors());
    }
};

TEST_F(NetworkPage, OneItemOfEachKindLoadsInTheOrderOfTheNumbers) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    EXPECT_EQ(OneOfEachRows(), Rows());
    // Three different pictures, one per kind.
    EXPECT_NE(ImageOf(Kind::LdapServer), ImageOf(Kind::Directory));
    EXPECT_NE(ImageOf(Kind::LdapServer), ImageOf(Kind::ResourceManager));
    EXPECT_NE(ImageOf(Kind::Directory), ImageOf(Kind::ResourceManager));
    EXPECT_GE(ImageOf(Kind::Directory), 0);
}

TEST_F(NetworkPage, SavingTheLoadedItemsWritesTheResourceManagerPortInCapitals) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    Ok();
    ExpectStored(Values{"Value1=srv1", "Value2=C:\\Dirs", "Value3=MyApp.RM"},
                 Values{"Value1=389", "Value3=COM"}, Values{"Value1=o=org1"});
}

TEST(NetworkPageLoad, TheNumberingDecidesWhatLoads) {
    struct Case {
        const char* what;
        std::vector<const char*> names;  // Value1, Value2, ...; null: absent
        std::vector<std::string> loaded;
    };
    const Case cases[] = {
        {"a gap ends the list", {"a", nullptr, "c"}, {"a"}},
        {"an empty name skips its number", {"a", "", "c"}, {"a", "c"}},
        {"no first value: nothing", {nullptr, "b"}, {}},
    };
    for (const Case& c : cases) {
        kt_test::NetworkWorld w;
        w.SeedEmptyStore();
        for (size_t i = 0; i < c.names.size(); ++i) {
            if (c.names[i])
                w.Seed(static_cast<int>(i) + 1, c.names[i]);
        }
        ASSERT_TRUE(w.Build()) << c.what;
        std::vector<std::string> names;
        for (const Row& row : w.Rows())
            names.push_back(row.name);
        EXPECT_EQ(c.loaded, names) << c.what;
    }
}

TEST(NetworkPageLoad, AMissingKeyGivesAnEmptyListWithoutAWord) {
    for (const char* missing : {kServerKey, kPortKey, kSearchBaseKey}) {
        kt_test::NetworkWorld w;
        w.Seed(1, "srv1", "389", "o=org1");
        kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, missing);
        ASSERT_TRUE(w.Build()) << missing;
        EXPECT_EQ(0, w.RowCount()) << missing;
    }
}

TEST_F(NetworkPage, AServerWithoutSearchBaseIsABoxWhileBuildingAndGoneAfterOk) {
    Seed(1, "srv1", "389");
    Seed(2, "C:\\Dirs");
    {
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kt_test::kErrorCaption, kt_test::kNoSearchBase, IDOK);
        ASSERT_TRUE(Build());
        answerer.Verify();
    }
    EXPECT_EQ(nullptr, dialog.ErrorWindow());
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "C:\\Dirs", "", "", Kind::Directory)}), Rows());
    Ok();
    EXPECT_EQ((Values{"Value1=C:\\Dirs"}), StoredValues(kServerKey));
    EXPECT_EQ((Values{}), StoredValues(kPortKey));
}

TEST_F(NetworkPage, APortBeyondTheLastServerIsReportedForItsNumberToo) {
    Seed(1, "srv1", "389", "o=org1");
    Seed(2, nullptr, "636");
    kt_test::ModalAnswerer answerer;
    answerer.Expect(kt_test::kErrorCaption, kt_test::kNoSearchBase, IDOK);
    ASSERT_TRUE(Build());
    answerer.Verify();
    EXPECT_EQ(1, answerer.Answered());
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "srv1", "389", "o=org1", Kind::LdapServer)}),
              Rows());
}

TEST_F(NetworkPage, AResourceManagerStoredWithASearchBaseLosesIt) {
    Seed(1, "MyApp.RM", "Com", "o=stale");
    ASSERT_TRUE(Build());
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "MyApp.RM", "COM", "", Kind::ResourceManager)}),
              Rows());
    Ok();
    EXPECT_EQ((Values{"Value1=COM"}), StoredValues(kPortKey));
    EXPECT_EQ((Values{}), StoredValues(kSearchBaseKey));
}

TEST_F(NetworkPage, APortLongerThanEighteenCharactersKeepsItsServerWhole) {
    const std::string port(40, '7');
    Seed(1, "srv1", port.c_str(), "o=org1");
    ASSERT_TRUE(Build());
    EXPECT_EQ((std::vector<Row>{MakeRow(*this, "srv1", port.c_str(), "o=org1", Kind::LdapServer)}),
              Rows());
    Ok();
    EXPECT_EQ((Values{"Value1=" + port}), StoredValues(kPortKey));
    EXPECT_EQ((Values{"Value1=o=org1"}), StoredValues(kSearchBaseKey));
}

TEST_F(NetworkPage, FieldsOfFullLengthLoadAndOneCharacterMoreEndsTheList) {
    const std::string full(2046, 'n');
    const std::string tooLong(2047, 'x');
    Seed(1, full.c_str(), full.c_str(), full.c_str());
    Seed(2, tooLong.c_str());
    Seed(3, "after");
    ASSERT_TRUE(Build());
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ(full, List()->GetRecord(0)->GetName());
    EXPECT_EQ(full, List()->GetRecord(0)->GetPort());
    EXPECT_EQ(full, List()->GetRecord(0)->GetSearchBase());
}

TEST_F(NetworkPage, ColumnsFitTheLoadedTextsWithTheNameColumnBounded) {
    const std::string wideName(150, 'W');
    const std::string port(60, 'P');
    Seed(1, "mid-length name of a server", port.c_str(), "o=org1");
    Seed(2, wideName.c_str(), "389", "o=org2");
    ASSERT_TRUE(Build());
    TServerListView* list = List();
    ASSERT_GE(list->GetStringWidth(wideName.c_str()) + 1, 200);
    int nameWidth = list->GetStringWidth("mid-length name of a server") + 1;
    ASSERT_GT(nameWidth, list->GetStringWidth(kNameWidthTemplate));
    EXPECT_EQ(nameWidth + 30, list->GetColumnWidth(0));
    EXPECT_EQ(list->GetStringWidth(port.c_str()) + 31, list->GetColumnWidth(1));
    EXPECT_EQ(list->GetStringWidth(kSearchBaseWidthTemplate) + 30, list->GetColumnWidth(2));
}

TEST_F(NetworkPage, AnEmptyStoreGivesTemplateWidths) {
    ASSERT_TRUE(Build());
    TServerListView* list = List();
    EXPECT_EQ(list->GetStringWidth(kNameWidthTemplate) + 30, list->GetColumnWidth(0));
    EXPECT_EQ(list->GetStringWidth(kPortWidthTemplate) + 30, list->GetColumnWidth(1));
    EXPECT_EQ(list->GetStringWidth(kSearchBaseWidthTemplate) + 30, list->GetColumnWidth(2));
}

TEST_F(NetworkPage, SortedByNameTheValuesAreRenumberedInTheShownOrder) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    // The other headers sort nothing.
    ClickHeader(1);
    ClickHeader(2);
    EXPECT_EQ(OneOfEachRows(), Rows());
    ClickHeader(0);
    std::vector<Row> rows = OneOfEachRows();
    EXPECT_EQ((std::vector<Row>{rows[1], rows[2], rows[0]}), Rows());
    Ok();
    ExpectStored(Values{"Value1=C:\\Dirs", "Value2=MyApp.RM", "Value3=srv1"},
                 Values{"Value2=COM", "Value3=389"}, Values{"Value3=o=org1"});
}

TEST_F(NetworkPage, DeletingAsksWithTheItemsTexts) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    Delete(0, "Are you sure you want to delete the item 'srv1:389:o=org1'?", IDNO);
    Delete(1, "Are you sure you want to delete the item 'C:\\Dirs'?", IDNO);
    Delete(2, "Are you sure you want to delete the item 'MyApp.RM'?", IDNO);
    EXPECT_EQ(OneOfEachRows(), Rows());
    EXPECT_EQ(3, TRepositoryItem::LiveCount());
}

TEST_F(NetworkPage, YesFreesTheRecordAndLeavesNothingSelected) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    SelectRow(0);
    EXPECT_TRUE(Enabled(IDC_NETWORK_MODIFY));
    EXPECT_TRUE(Enabled(IDC_NETWORK_DELETE));
    Delete(0, "'srv1:389:o=org1'", IDYES);
    std::vector<Row> rows = OneOfEachRows();
    EXPECT_EQ((std::vector<Row>{rows[1], rows[2]}), Rows());
    EXPECT_EQ(2, TRepositoryItem::LiveCount());
    EXPECT_EQ(nullptr, Page()->GetSelected());
    EXPECT_EQ(-1, Page()->GetSelectedIndex());
    EXPECT_FALSE(Enabled(IDC_NETWORK_MODIFY));
    EXPECT_FALSE(Enabled(IDC_NETWORK_DELETE));
    Ok();
    ExpectStored(Values{"Value1=C:\\Dirs", "Value2=MyApp.RM"}, Values{"Value2=COM"}, Values{});
}

TEST_F(NetworkPage, AfterSortingDeleteRemovesTheSelectedItemWhereverItMoved) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    SelectRow(0);  // srv1, the last row once sorted
    ClickHeader(0);
    Delete(2, "'srv1:389:o=org1'", IDYES);
    EXPECT_EQ((std::vector<std::string>{"C:\\Dirs", "MyApp.RM"}),
              (std::vector<std::string>{RowAt(0).name, RowAt(1).name}));
    EXPECT_EQ(2, TRepositoryItem::LiveCount());
}

TEST_F(NetworkPage, ASortOrAFocusMoveKeepsTheSelectedItemAndItsRow) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    SelectRow(0);
    TRepositoryItem* srv1 = Page()->GetSelected();
    ASSERT_NE(nullptr, srv1);
    // Sorted by name, srv1 is the last row.
    ClickHeader(0);
    EXPECT_EQ(srv1, Page()->GetSelected());
    EXPECT_EQ(2, Page()->GetSelectedIndex());
    // What Ctrl+Up does: the focus moves on, the selection stays.
    LVITEMA focus{};
    focus.stateMask = LVIS_FOCUSED;
    focus.state = LVIS_FOCUSED;
    SendMessageA(ListWindow(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    EXPECT_EQ(srv1, Page()->GetSelected());
    EXPECT_EQ(2, Page()->GetSelectedIndex());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NETWORK_DELETE)));
    // The Delete key asks for the selected item.
    kt_test::ModalAnswerer answerer;
    answerer.Expect(kDeleteCaption, "'srv1:389:o=org1'", IDNO);
    SendMessageA(ListWindow(), WM_KEYDOWN, VK_DELETE, 0);
    answerer.Verify();
}

TEST_F(NetworkPage, AQuestionLongerThanItsBufferIsCutThere) {
    const std::string field(2046, 'f');
    Seed(1, field.c_str(), field.c_str(), field.c_str());
    ASSERT_TRUE(Build());
    SelectRow(0);
    std::string shown;
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(
        kDeleteCaption, "Are you sure you want to delete the item 'fff", [&shown](HWND box) {
            // The message box's text control.
            std::vector<char> text(8192, '\0');
            GetDlgItemTextA(box, 0xFFFF, text.data(), static_cast<int>(text.size()));
            shown = text.data();
            kt_test::PressButton(box, IDNO);
        });
    PressButton(IDC_NETWORK_DELETE);
    answerer.Verify();
    // 2047 characters and the terminator: the name itself is cut.
    const std::string start = "Are you sure you want to delete the item '";
    EXPECT_EQ(start + field.substr(0, 2047 - start.size()), shown);
}

TEST_F(NetworkPage, AnEmptyListLeavesTheThreeKeysPresentAndEmpty) {
    Seed(1, "C:\\Dirs");
    ASSERT_TRUE(Build());
    Delete(0, "'C:\\Dirs'", IDYES);
    Ok();
    for (const char* key : {kServerKey, kPortKey, kSearchBaseKey})
        EXPECT_EQ((Values{}), StoredValues(key)) << key;
}

TEST_F(NetworkPage, CancelWritesNothing) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    Delete(0, "'srv1:389:o=org1'", IDYES);
    dialog.PressCancel();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((Values{"Value1=srv1", "Value2=C:\\Dirs", "Value3=MyApp.RM"}),
              StoredValues(kServerKey));
    EXPECT_EQ(0, TRepositoryItem::LiveCount());
}

TEST_F(NetworkPage, AKeyThatOutlivesItsDeletionKeepsNoOldItems) {
    SeedOneOfEach();
    // A key with a subkey cannot be deleted; it is opened again.
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, (std::string(kServerKey) + "\\Pinned").c_str());
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, (std::string(kPortKey) + "\\Pinned").c_str());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kPortKey, "Other", "kept");
    ASSERT_TRUE(Build());
    Delete(0, "'srv1:389:o=org1'", IDYES);
    Ok();
    EXPECT_EQ((Values{"Value1=C:\\Dirs", "Value2=MyApp.RM"}), StoredValues(kServerKey));
    // The directory now first has no port: the old server's must not stay.
    EXPECT_EQ((Values{"Other=kept", "Value2=COM"}), StoredValues(kPortKey));
    EXPECT_EQ((Values{}), StoredValues(kSearchBaseKey));
    EXPECT_TRUE(
        kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, (std::string(kServerKey) + "\\Pinned").c_str()));
}

TEST_F(NetworkPage, DoubleClickOpensTheRowsDialogAndEmptySpaceOpensNothing) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    struct Case {
        int row;
        const char* caption;
        const char* text;
    } cases[] = {
        {0, kt_test::kServerCaption, kt_test::kServerLabel},
        {1, kt_test::kDirectoryCaption, kt_test::kDirectoryLabel},
        {2, kt_test::kProgIdCaption, kt_test::kProgIdLabel},
    };
    for (const Case& c : cases) {
        std::string shown;
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(c.caption, c.text, [&shown](HWND window) {
            char text[256];
            GetDlgItemTextA(window, IDC_SERVER_NAME, text, sizeof text);
            shown = text;
            GetDlgItemTextA(window, IDC_ADD_DIR_NAME, text, sizeof text);
            shown += text;
            GetDlgItemTextA(window, IDC_ADD_RM_PROGID, text, sizeof text);
            shown += text;
            kt_test::PressButton(window, IDCANCEL);
        });
        DoubleClick(c.row);
        answerer.Verify();
        EXPECT_EQ(RowAt(c.row).name, shown) << c.caption;
    }
    {
        kt_test::ModalAnswerer answerer;  // any window would fail the test
        DoubleClick(-1);
        kt_test::PumpFor(100);
        EXPECT_EQ(nullptr, Page()->GetSelected());
    }
    EXPECT_EQ(OneOfEachRows(), Rows());
}

TEST_F(NetworkPage, TheListsKeysFireTheLinkedButtons) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    {
        // Insert adds what the last Add button added.
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kt_test::kProgIdCaption, kt_test::kProgIdLabel, IDCANCEL)
            .Expect(kt_test::kProgIdCaption, kt_test::kProgIdLabel, IDCANCEL);
        PressButton(IDC_NETWORK_ADD_RM);
        SendMessageA(ListWindow(), WM_KEYDOWN, VK_INSERT, 0);
        answerer.Verify();
    }
    {
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kDeleteCaption, "'C:\\Dirs'", IDNO);
        SelectRow(1);
        SendMessageA(ListWindow(), WM_KEYDOWN, VK_DELETE, 0);
        answerer.Verify();
    }
    EXPECT_EQ(GetFocus(), ListWindow());
}

}  // namespace

namespace {

// Sets a key's access list from its text form; false when it cannot.
bool SetKeyAcl(const char* path, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

// Everyone may do everything but write values and delete the key.
const char kDenyWrites[] = "D:(D;;0x10002;;;WD)(A;;KA;;;WD)";
const char kAllowAll[] = "D:(A;;KA;;;WD)";

TEST_F(NetworkPage, AKeyThatDeniesWritesCannotBeCreatedAndNothingIsWrittenOrTakenAway) {
    SeedOneOfEach();
    const std::string pinned = std::string(kPortKey) + "\\Pinned";
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, pinned.c_str());
    ASSERT_TRUE(SetKeyAcl(kPortKey, kDenyWrites));
    // The system really refuses what the page asks for.
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortKey, 0, KEY_ALL_ACCESS, &probe));
    ASSERT_TRUE(Build());
    dialog.PressOk();
    EXPECT_TRUE(dialog.DialogAlive());
    EXPECT_EQ((Values{"Cannot create registry key SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort"}),
              PageErrors());
    // Nothing was taken away that could not be written back.
    EXPECT_EQ((Values{"Value1=srv1", "Value2=C:\\Dirs", "Value3=MyApp.RM"}),
              StoredValues(kServerKey));
    EXPECT_EQ((Values{"Value1=o=org1"}), StoredValues(kSearchBaseKey));
    EXPECT_TRUE(SetKeyAcl(kPortKey, kAllowAll));
    EXPECT_EQ((Values{"Value1=389", "Value3=com"}), StoredValues(kPortKey));
}

// Stands between the list window and its procedure: the moment the page
// takes the first row to write it, the port key is deleted from under the
// handle the page holds, so that the system refuses every write into it.
class TPortKeyPuller {
public:
    explicit TPortKeyPuller(HWND list) : list(list) {
        self = this;
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    ~TPortKeyPuller() {
        if (IsWindow(list))
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        self = nullptr;
    }
    bool pulled = false;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == LVM_GETITEMA && !self->pulled) {
            self->pulled = true;
            EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPortKey));
        }
        return CallWindowProcA(self->previous, window, message, wParam, lParam);
    }
    static TPortKeyPuller* self;
    HWND list;
    WNDPROC previous = nullptr;
};
TPortKeyPuller* TPortKeyPuller::self = nullptr;

TEST_F(NetworkPage, AFailedWriteIsReportedAndEndsOnlyThatItem) {
    Seed(1, "srv1", "389", "o=org1");
    Seed(2, "C:\\Dirs");
    Seed(3, "srv3", "636", "o=org3");
    ASSERT_TRUE(Build());
    {
        TPortKeyPuller puller(ListWindow());
        dialog.PressOk();
        EXPECT_TRUE(puller.pulled);
    }
    const std::string failed =
        "Cannot write to registry key SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort";
    EXPECT_EQ((Values{failed, failed}), PageErrors());
    // Every name is written; a search base after a failed port is not.
    EXPECT_EQ((Values{"Value1=srv1", "Value2=C:\\Dirs", "Value3=srv3"}), StoredValues(kServerKey));
    EXPECT_EQ((Values{}), StoredValues(kSearchBaseKey));
}

TEST(NetworkPageLifetime, EveryRecordIsFreedOnceWhateverWindowGoesFirst) {
    struct Case {
        const char* what;
        std::function<void(kt_test::NetworkWorld&)> destroy;
    };
    const Case cases[] = {
        {"the configuration dialog", [](kt_test::NetworkWorld& w) { w.dialog.PressCancel(); }},
        {"the page", [](kt_test::NetworkWorld& w) { DestroyWindow(w.page); }},
        {"the list alone", [](kt_test::NetworkWorld& w) { DestroyWindow(w.ListWindow()); }},
    };
    for (const Case& c : cases) {
        kt_test::NetworkWorld w;
        w.Seed(1, "srv1", "389", "o=org1");
        w.Seed(2, "C:\\Dirs");
        ASSERT_TRUE(w.Build()) << c.what;
        w.SelectRow(0);
        ASSERT_EQ(2, TRepositoryItem::LiveCount()) << c.what;
        c.destroy(w);
        EXPECT_EQ(0, TRepositoryItem::LiveCount()) << c.what;
    }
}

TEST_F(NetworkPage, APageWhoseListIsGoneTouchesNothingAndWritesNothing) {
    SeedOneOfEach();
    ASSERT_TRUE(Build());
    SelectRow(0);
    DestroyWindow(ListWindow());
    {
        kt_test::ModalAnswerer answerer;  // no dialog, no question
        for (int id : {IDC_NETWORK_MODIFY, IDC_NETWORK_DELETE, IDC_NETWORK_ADD_DIR,
                       IDC_NETWORK_ADD_LDAP, IDC_NETWORK_ADD_RM})
            PressButton(id);
        kt_test::PumpFor(100);
    }
    EXPECT_EQ(nullptr, Page()->GetSelected());
    Ok();
    EXPECT_EQ((Values{"Value1=srv1", "Value2=C:\\Dirs", "Value3=MyApp.RM"}),
              StoredValues(kServerKey));
}

}  // namespace

namespace {

// The page's parent when no configuration dialog is built.
class TFrame : public TWin {
public:
    TFrame() : TWin("KtNetworkTestFrame", nullptr, 0) { wca.style = WS_OVERLAPPEDWINDOW; }
};

TEST(NetworkPageMemory, AListThatCannotBeMadeIsFatalAndThePageNeitherAddsNorWrites) {
    kt_test::RegistrySandbox sandbox;
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value1", "C:\\Dirs");
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPortKey);
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kSearchBaseKey);
    TApp app(GetModuleHandleA(nullptr), TWin::StdWndProc);
    TFrame frame;
    ASSERT_TRUE(frame.Create());
    ClearFatalError();
    {
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kt_test::kErrorCaption, "Memory allocation error. KT&C will exit.", IDOK);
        // The page is not allocated here: the list is the first window object.
        TWin::FailAllocations(1);
        TNetworkPage page(&frame);
        TWin::FailAllocations(0);
        answerer.Verify();
        EXPECT_TRUE(FatalErrorWhileBuilding());
        ASSERT_NE(nullptr, page.GetHandle());
        EXPECT_EQ(nullptr, page.GetListView());
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.GetHandle(), IDC_NETWORK_MODIFY)));
        kt_test::PressButton(page.GetHandle(), IDC_NETWORK_ADD_LDAP);
        kt_test::PumpFor(100);
        EXPECT_EQ(1, page.Apply());
        DestroyWindow(page.GetHandle());
    }
    ClearFatalError();
    EXPECT_EQ((Values{"Value1=C:\\Dirs"}), StoredValues(kServerKey));
    DestroyWindow(frame.GetHandle());
}

}  // namespace
