// The Channel sharing page: the tools loaded from the Launch key, the
// buttons, the question before a deletion, and the save on OK (only after a
// change, the whole list, Dirty set, registry failures reported).
#include "tests/sharing/sharing_world.h"

#include "resources/chn_dir_page_ids.h"
#include "tests/support/file_chooser.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using kt_test::kLaunchKey;
using kt_test::kSelectToolCaption;
using Launch = std::vector<std::pair<std::string, std::string>>;

const char kDeleteCaption[] = "Confirm tool delete";

class ShareToolPage : public ::testing::Test, protected kt_test::SharingWorld {
protected:
    void SeedMany(int count) const {
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Tool %02d", i);
            Seed(name, std::string("C:\\Tools\\t") + std::to_string(i) + ".exe");
        }
    }
    void AddTool(const std::string& program, const std::string& name) {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kSelectToolCaption, "",
                             kt_test::ChooseFile(program, {{IDC_BROWSEAPP_NAME, name}}));
        Press(IDC_SHARETOOL_ADD);
    }
    void DeleteRow(int index, int answer) {
        SelectRow(index);
        kt_test::ModalAnswerer answerer;
        answerer.Expect(kDeleteCaption,
                        "Are you sure you want to delete the item '" + Row(index).name + "'?",
                        answer);
        Press(IDC_SHARETOOL_DELETE);
    }
    void SendFromList(UINT code) const {
        NMHDR header{List(), IDC_SHARETOOL_LIST, code};
        SendMessageA(page, WM_NOTIFY, IDC_SHARETOOL_LIST, reinterpret_cast<LPARAM>(&header));
    }

    kt_test::ToolPrograms programs;
};

TEST_F(ShareToolPage, TheStoredToolsAreListedWithNothingSelected) {
    Seed("Monitor", "\"C:\\Program Files\\Monitor\\mon.exe\" %1");
    Seed("Notes", "C:\\notes.exe");
    ASSERT_NE(nullptr, Build());
    ASSERT_EQ(2, RowCount());
    EXPECT_EQ("Monitor", Row(0).name);
    EXPECT_EQ("\"C:\\Program Files\\Monitor\\mon.exe\" %1", Row(0).commandLine);
    EXPECT_EQ("Notes", Row(1).name);
    EXPECT_EQ("C:\\notes.exe", Row(1).commandLine);
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_ADD));
    EXPECT_FALSE(Enabled(IDC_SHARETOOL_MODIFY));
    EXPECT_FALSE(Enabled(IDC_SHARETOOL_DELETE));
    SelectRow(1);
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_MODIFY));
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_DELETE));
}

TEST_F(ShareToolPage, WithoutALaunchKeyTheListIsEmpty) {
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ(0, RowCount());
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_ADD));
}

TEST_F(ShareToolPage, AtMostThirtyTwoToolsAreLoadedAndAddIsThenDisabled) {
    SeedMany(33);
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ(32, RowCount());
    EXPECT_FALSE(Enabled(IDC_SHARETOOL_ADD));
}

TEST_F(ShareToolPage, LoadingSkipsACommandLineTooLongAndStopsAtANameTooLong) {
    // The registry enumerates the subkeys in the order of their names.
    Seed("A tool", "C:\\a.exe");
    Seed("B too long", "C:\\" + std::string(300, 'b') + ".exe");
    Seed("C tool", "C:\\c.exe");
    Seed("D" + std::string(31, 'd'), "C:\\d.exe");
    Seed("E tool", "C:\\e.exe");
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((std::vector<std::string>{"A tool", "C tool"}), Names());
}

TEST_F(ShareToolPage, DeletingAsksFirstAndOnYesForgetsTheSelectionAtOnce) {
    Seed("Monitor", "C:\\mon.exe");
    Seed("Notes", "C:\\notes.exe");
    ASSERT_NE(nullptr, Build());
    int alive = TToolItem::LiveCount();
    DeleteRow(0, IDNO);
    EXPECT_EQ(2, RowCount());
    EXPECT_NE(nullptr, Page()->SelectedTool());
    DeleteRow(0, IDYES);
    EXPECT_EQ((std::vector<std::string>{"Notes"}), Names());
    EXPECT_EQ(alive - 1, TToolItem::LiveCount());
    EXPECT_EQ(nullptr, Page()->SelectedTool());
    EXPECT_EQ(-1, Page()->SelectedIndex());
    EXPECT_FALSE(Enabled(IDC_SHARETOOL_MODIFY));
    EXPECT_FALSE(Enabled(IDC_SHARETOOL_DELETE));
    // The buttons have nothing to work on now.
    Press(IDC_SHARETOOL_DELETE);
    Press(IDC_SHARETOOL_MODIFY);
    EXPECT_EQ(1, RowCount());
}

TEST_F(ShareToolPage, TheDeleteQuestionOffersYesAndNoWithoutAnIcon) {
    Seed("Monitor", "C:\\mon.exe");
    ASSERT_NE(nullptr, Build());
    SelectRow(0);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kDeleteCaption, "'Monitor'", [](HWND question) {
        EXPECT_NE(nullptr, GetDlgItem(question, IDYES));
        EXPECT_NE(nullptr, GetDlgItem(question, IDNO));
        EXPECT_EQ(nullptr, GetDlgItem(question, IDCANCEL));
        // The message box's icon control shows no picture.
        HWND icon = GetDlgItem(question, stc1);
        EXPECT_TRUE(!icon || !SendMessageA(icon, STM_GETICON, 0, 0));
        kt_test::PressButton(question, IDNO);
    });
    Press(IDC_SHARETOOL_DELETE);
    answerer.Verify();
    EXPECT_EQ(1, RowCount());
}

TEST_F(ShareToolPage, DeletingFromAFullListEnablesAddAgain) {
    SeedMany(32);
    ASSERT_NE(nullptr, Build());
    ASSERT_FALSE(Enabled(IDC_SHARETOOL_ADD));
    DeleteRow(5, IDYES);
    EXPECT_EQ(31, RowCount());
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_ADD));
}

TEST_F(ShareToolPage, TheInsertKeyOfAFullListOpensNoDialog) {
    SeedMany(32);
    ASSERT_NE(nullptr, Build());
    // The answerer fails the test for any window that comes.
    kt_test::ModalAnswerer answerer;
    SendMessageA(List(), WM_KEYDOWN, VK_INSERT, 0);
    EXPECT_EQ(32, RowCount());
    EXPECT_EQ(0u, answerer.Seen().size());
}

TEST_F(ShareToolPage, ADoubleClickModifiesTheSelectedToolAndWithoutOneDoesNothing) {
    std::string tool = programs.WithIcon("tool.exe");
    Seed("Tool", tool);
    ASSERT_NE(nullptr, Build());
    {
        kt_test::ModalAnswerer answerer;
        SendFromList(NM_DBLCLK);
        EXPECT_EQ(0u, answerer.Seen().size());
    }
    SelectRow(0);
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kSelectToolCaption, "", kt_test::CancelFileChooser());
        SendFromList(NM_DBLCLK);
        answerer.Verify();
    }
}

TEST_F(ShareToolPage, OkWithoutAChangeWritesNothingNotEvenDirty) {
    Seed("Monitor", "C:\\mon.exe");
    ASSERT_NE(nullptr, Build());
    // Cancelled dialogs and a No change nothing either.
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kSelectToolCaption, "", kt_test::CancelFileChooser());
        Press(IDC_SHARETOOL_ADD);
    }
    DeleteRow(0, IDNO);
    // What a save would remove.
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Stray").c_str());
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}, {"Stray", "(no value)"}}), Stored());
    EXPECT_FALSE(kt_test::RegValueExists(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty"));
}

TEST_F(ShareToolPage, OkAfterAChangeWritesExactlyTheRowsAndSetsDirty) {
    Seed("Monitor", "C:\\mon.exe");
    Seed("Notes", "C:\\notes.exe");
    std::string viewer = programs.WithIcon("Viewer Dir\\viewer.exe");
    ASSERT_NE(nullptr, Build());
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Stray").c_str());
    AddTool(viewer, "Viewer");
    DeleteRow(0, IDYES);
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((Launch{{"Notes", "C:\\notes.exe"}, {"Viewer", "\"" + viewer + "\" %1"}}), Stored());
    EXPECT_TRUE(DirtySet());
    EXPECT_EQ(nullptr, dialog.ErrorWindow());
}

TEST_F(ShareToolPage, CancelWritesNothing) {
    Seed("Monitor", "C:\\mon.exe");
    ASSERT_NE(nullptr, Build());
    DeleteRow(0, IDYES);
    dialog.PressCancel();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}}), Stored());
    EXPECT_FALSE(DirtySet());
}

TEST_F(ShareToolPage, ASecondOkAfterAnotherPageRefusedTheFirstWritesTheWholeListAgain) {
    Seed("Monitor", "C:\\mon.exe");
    Seed("Notes", "C:\\notes.exe");
    ASSERT_NE(nullptr, Build());
    DeleteRow(1, IDYES);
    // The Channel files page refuses an OK without a directory.
    HWND channelFiles = dialog.PageWindow("Channel files");
    ASSERT_NE(nullptr, channelFiles);
    SetDlgItemTextA(channelFiles, IDC_CHNDIR_NEW, "");
    dialog.PressOk();
    ASSERT_TRUE(dialog.DialogAlive());
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}}), Stored());
    // Changed behind the page's back before the second OK.
    kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, kLaunchKey);
    SetDlgItemTextA(channelFiles, IDC_CHNDIR_NEW, channelDir.Path().c_str());
    dialog.PressOk();
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}}), Stored());
    EXPECT_TRUE(DirtySet());
}

TEST_F(ShareToolPage, AnUndeletableSubkeyGivesOneErrorAndTheRowsAreStillWritten) {
    Seed("Monitor", "C:\\mon.exe");
    std::string viewer = programs.WithIcon("viewer.exe");
    ASSERT_NE(nullptr, Build());
    // A subkey with a subkey of its own cannot be deleted; the ones after it
    // in the enumeration still are.
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE,
                          (std::string(kLaunchKey) + "\\Nested\\Inner").c_str());
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE,
                          (std::string(kLaunchKey) + "\\Pinned\\Inner").c_str());
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Stray").c_str());
    AddTool(viewer, "Viewer");
    dialog.PressOk();
    std::vector<std::string> lines = dialog.ErrorLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(
        "Channel sharing:  Cannot delete old registry keys from "
        "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch",
        lines[0]);
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"},
                      {"Nested", "(no value)"},
                      {"Pinned", "(no value)"},
                      {"Viewer", "\"" + viewer + "\" %1"}}),
              Stored());
    EXPECT_TRUE(DirtySet());
}

TEST_F(ShareToolPage, AKeyThatDeniesWritesIsOneErrorAndLosesNoTool) {
    Seed("Monitor", "C:\\mon.exe");
    Seed("Notes", "C:\\notes.exe");
    kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, kLaunchKey, kt_test::kDenyWritesAcl);
    // The system really refuses what the save needs.
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLaunchKey, 0, KEY_CREATE_SUB_KEY, &probe));
    ASSERT_NE(nullptr, Build());
    DeleteRow(1, IDYES);
    dialog.PressOk();
    EXPECT_EQ(std::vector<std::string>{"Channel sharing:  Cannot create registry key "
                                       "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch"},
              dialog.ErrorLines());
    // Nothing was taken away that could not be written back.
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}, {"Notes", "C:\\notes.exe"}}), Stored());
    EXPECT_FALSE(DirtySet());
}

TEST_F(ShareToolPage, ASaveThatFailedIsTriedAgainByTheNextOk) {
    Seed("Monitor", "C:\\mon.exe");
    Seed("Notes", "C:\\notes.exe");
    {
        kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, kLaunchKey, kt_test::kDenyWritesAcl);
        ASSERT_NE(nullptr, Build());
        DeleteRow(1, IDYES);
        dialog.PressOk();
        ASSERT_TRUE(dialog.DialogAlive());
        EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}, {"Notes", "C:\\notes.exe"}}), Stored());
    }
    // The cause is gone; nothing changed on the page, and the next OK writes.
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((Launch{{"Monitor", "C:\\mon.exe"}}), Stored());
    EXPECT_TRUE(DirtySet());
}

TEST_F(ShareToolPage, ToolsThatCannotBeWrittenAreReportedOneByOneAndDirtyIsSet) {
    // Under a volatile key no lasting subkey can be made.
    HKEY launch;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLaunchKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &launch, nullptr));
    RegCloseKey(launch);
    std::string viewer = programs.WithIcon("viewer.exe");
    ASSERT_NE(nullptr, Build());
    AddTool(viewer, "Viewer");
    AddTool(viewer, "Second");
    dialog.PressOk();
    std::vector<std::string> lines = dialog.ErrorLines();
    EXPECT_EQ((std::vector<std::string>{"Channel sharing:  Cannot create registry key "
                                        "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch\\Viewer",
                                        "Channel sharing:  Cannot create registry key "
                                        "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch\\Second"}),
              lines);
    EXPECT_TRUE(DirtySet());
}

TEST_F(ShareToolPage, AMissingLaunchKeyThatCannotBeCreatedIsReported) {
    // The product key itself made volatile: no lasting key below it.
    kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, kt_test::kProductKey);
    HKEY product;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, kt_test::kProductKey, 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &product, nullptr));
    RegCloseKey(product);
    ASSERT_NE(nullptr, Build());
    AddTool(programs.WithIcon("viewer.exe"), "Viewer");
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::string>{"Channel sharing:  Cannot create registry key "
                                        "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch"}),
              dialog.ErrorLines());
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kLaunchKey));
}

TEST_F(ShareToolPage, TheTemplateHasTheHeadingAndTheButtonsWithMnemonics) {
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ("&Add", Text(IDC_SHARETOOL_ADD));
    EXPECT_EQ("&Modify", Text(IDC_SHARETOOL_MODIFY));
    EXPECT_EQ("&Delete", Text(IDC_SHARETOOL_DELETE));
    char heading[128] = "";
    GetWindowTextA(GetWindow(page, GW_CHILD), heading, sizeof heading);
    EXPECT_STREQ("Tools that can share a channel with Korvane", heading);
    LONG_PTR style = GetWindowLongPtrA(List(), GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
}

}  // namespace
