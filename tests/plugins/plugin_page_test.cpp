// The Plug-ins page's save: an OK after a change rebuilds the Plugins key
// and the help contents file from the checked rows; an OK that did not
// touch the page writes nothing.
#include "plugins/plugin_module.h"
#include "plugins/plugin_page.h"
#include "resources/plugin_page_ids.h"
#include "tests/plugins/plugin_world.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using kt_test::CopyModule;
using kt_test::GetRegString;
using kt_test::RegKeyExists;

const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kCannotDelete[] =
    "Plug-ins:  Cannot delete old registry keys from SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kRestart[] = "Plug-ins:  Restart Korvane for the changes to take effect";
const char kContents[] = ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n1 Getting started\r\n";

std::string Sub(const std::string& name) {
    return std::string(kPluginsKey) + "\\" + name;
}

// The subkeys of the Plugins key, in the registry's order.
std::vector<std::string> Subkeys() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kPluginsKey, &key) != ERROR_SUCCESS)
        return {"(no key)"};
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

// A subkey that cannot be deleted: it has a subkey of its own.
void Pin(const std::string& name) {
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, Sub(name + "\\Inner").c_str(), nullptr, "x");
}

// A key that lives only until the system restarts; it cannot have a
// subkey that does not.
void CreateVolatileKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
}

std::string Stored(const std::string& name) {
    std::string path;
    return GetRegString(HKEY_LOCAL_MACHINE, Sub(name).c_str(), nullptr, &path) ? path
                                                                               : "(no value)";
}

class PluginPage : public ::testing::Test, protected kt_test::PluginWorld {};

TEST_F(PluginPage, TheTemplateOffersTheListTheScanButtonAndTheFileDisplay) {
    ASSERT_NE(nullptr, Build());
    LONG_PTR style = GetWindowLongPtrA(List(), GWL_STYLE);
    EXPECT_TRUE(style & LBS_OWNERDRAWFIXED);
    EXPECT_TRUE(style & LBS_HASSTRINGS);
    EXPECT_TRUE(style & LBS_NOTIFY);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_EQ(15, SendMessageA(List(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ("&Scan", Text(IDC_PLUGIN_SCAN));
    EXPECT_EQ("", Text(IDC_PLUGIN_FILE));
    // The label's mnemonic leads to the list: it comes just before it.
    HWND label = GetWindow(List(), GW_HWNDPREV);
    char text[64] = "";
    GetWindowTextA(label, text, sizeof text);
    EXPECT_STREQ("&Plug-in modules to install:", text);
    EXPECT_EQ(GetDlgItem(page, IDC_PLUGIN_SCAN), GetNextDlgTabItem(page, List(), FALSE));
    std::vector<std::string> names = dialog.TreeNames();
    auto at = std::find(names.begin(), names.end(), "Plug-ins");
    ASSERT_NE(names.end(), at);
    EXPECT_EQ("Settings", at[-1]);
    EXPECT_EQ("Max. channels", at[1]);
}

TEST_F(PluginPage, AnUntouchedOkWritesNothingEvenWithARegisteredModuleMissing) {
    kt_test::TempDir installed;
    std::string alpha = CopyModule(installed, "pl_alpha");
    Register("Alpha", alpha);
    Register("Offline", "N:\\share\\offline.dll");
    CopyModule(productDir, "pl_beta");
    const std::string content = ":Index Alpha Help=alpha.hlp\r\n:Index Off=offline.hlp\r\n1 T\r\n";
    contents.Write(content);
    ASSERT_NE(nullptr, Build());
    ClickText(RowOf("Beta"));  // selecting is not a change
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Offline"}), Subkeys());
    EXPECT_EQ(alpha, Stored("Alpha"));
    EXPECT_EQ("N:\\share\\offline.dll", Stored("Offline"));
    EXPECT_EQ(content, contents.Read());
}

TEST_F(PluginPage, CancelAfterChangesWritesNothing) {
    kt_test::TempDir installed;
    Register("Alpha", CopyModule(installed, "pl_alpha"));
    CopyModule(productDir, "pl_beta");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Alpha"));
    ClickCheck(RowOf("Beta"));
    dialog.PressCancel();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Alpha"}), Subkeys());
    EXPECT_EQ(kContents, contents.Read());
}

TEST_F(PluginPage, ACheckedFoundModuleIsRegisteredUnderItsReportedNameWithItsFullPath) {
    std::string beta = CopyModule(productDir, "pl_beta", "beta-file.dll");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ(nullptr, dialog.ErrorWindow());
    EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys());
    EXPECT_EQ(beta, Stored("Beta"));
    EXPECT_EQ(
        ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Beta Help=beta.hlp\r\n"
        "1 Getting started\r\n",
        contents.Read());
}

TEST(PluginPageEmpty, WithNoRowCheckedTheKeyIsLeftExistingAndEmpty) {
    struct Case {
        const char* what;
        bool registered;  // Alpha registered (and unchecked by the user), else found
    };
    for (const Case& c : {Case{"a registered plug-in unchecked", true},
                          Case{"a found one checked and unchecked, no key before", false}}) {
        kt_test::PluginWorld w;
        kt_test::TempDir installed;
        if (c.registered)
            w.Register("Alpha", CopyModule(installed, "pl_alpha"));
        else
            CopyModule(w.productDir, "pl_alpha");
        w.contents.Write(":Index Alpha Help=alpha.hlp\r\n1 T\r\n");
        ASSERT_NE(nullptr, w.Build()) << c.what;
        w.ClickCheck(0);
        if (!c.registered)
            w.ClickCheck(0);
        w.dialog.PressOk();
        EXPECT_FALSE(w.dialog.DialogAlive()) << c.what;
        EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kPluginsKey)) << c.what;
        EXPECT_TRUE(Subkeys().empty()) << c.what;
        // A registered plug-in's line goes; a line of a plug-in never
        // installed is not this page's.
        EXPECT_EQ(c.registered ? "1 T\r\n" : ":Index Alpha Help=alpha.hlp\r\n1 T\r\n",
                  w.contents.Read())
            << c.what;
    }
}

TEST_F(PluginPage, AForeignSubkeyNamingNoReadableModuleDisappears) {
    Register("Foreign", productDir.File("nothing here.dll"));
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, Sub("No path").c_str(), "Other", "value");
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys());
}

TEST_F(PluginPage, AnUndeletableSubkeyGivesOneErrorAndTheSaveGoesOn) {
    // The undeletable keys come first, so that the keys after them must
    // still be reached.
    Pin("Aaa pinned");
    Pin("Bbb pinned too");
    Register("Ccc stale", "C:\\gone.dll");
    Register("Ddd stale", "C:\\gone too.dll");
    CopyModule(productDir, "pl_beta");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_TRUE(dialog.DialogAlive());
    EXPECT_EQ("Korvane & Tools Configuration - Errors", dialog.ErrorCaption());
    EXPECT_EQ((std::vector<std::string>{kCannotDelete}), dialog.ErrorLines());
    EXPECT_EQ((std::vector<std::string>{"Aaa pinned", "Bbb pinned too", "Beta"}), Subkeys());
    EXPECT_EQ(productDir.File("pl_beta.dll"), Stored("Beta"));
    EXPECT_NE(std::string::npos, contents.Read().find(":Index Beta Help=beta.hlp\r\n"));
}

TEST_F(PluginPage, WhileKorvaneRunsASaveEndsWithTheRestartWarningAndClosingItEndsTheProgram) {
    kt_test::KorvaneWindow korvane;
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ShowWindow(dialog.DialogWindow(), SW_SHOWNOACTIVATE);
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::string>{kRestart}), dialog.ErrorLines());
    EXPECT_EQ("Korvane & Tools Configuration - Warnings", dialog.ErrorCaption());
    EXPECT_TRUE(IsWindowVisible(dialog.ErrorWindow()));
    EXPECT_TRUE(dialog.DialogAlive());
    EXPECT_FALSE(dialog.DialogVisible());
    EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys());
    SendMessageA(dialog.ErrorWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.DialogAlive());
}

TEST_F(PluginPage, WhileKorvaneRunsAnUntouchedPageWarnsOfNothing) {
    kt_test::KorvaneWindow korvane;
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    dialog.PressOk();
    EXPECT_EQ(nullptr, dialog.ErrorWindow());
    EXPECT_FALSE(dialog.DialogAlive());
}

TEST_F(PluginPage, EveryOkThatSavesWarnsAgainAndASaveIsRepeatedUntilItSucceeds) {
    kt_test::KorvaneWindow korvane;
    // The undeletable key keeps the dialog open after each save.
    Pin("Pinned");
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    const std::vector<std::string> oneSave{kCannotDelete, kRestart};
    EXPECT_EQ(oneSave, dialog.ErrorLines());
    EXPECT_TRUE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Beta", "Pinned"}), Subkeys());
    // Each OK shows its own reports only: this save's, not the last one's.
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_EQ(oneSave, dialog.ErrorLines());
    EXPECT_TRUE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Pinned"}), Subkeys());
    // Nothing changed since, but the save did not succeed: the next OK, once
    // the message loop has run, saves again.
    kt_test::PumpUntil([] { return true; });
    dialog.PressOk();
    EXPECT_EQ(oneSave, dialog.ErrorLines());
    EXPECT_TRUE(dialog.DialogAlive());
    // Saved whole at last: no save, no warning, and the dialog ends.
    kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, Sub("Pinned").c_str());
    kt_test::PumpUntil([] { return true; });
    dialog.PressOk();
    ASSERT_EQ((std::vector<std::string>{kRestart}), dialog.ErrorLines());
    EXPECT_EQ((std::vector<std::string>{}), Subkeys());
}

TEST_F(PluginPage, OneOkSavesOnceWhetherItComesAsApplyOrIdokOrBoth) {
    kt_test::KorvaneWindow korvane;
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    ASSERT_EQ((std::vector<std::string>{kRestart}), dialog.ErrorLines());
    // The same OK reaching the page as a command too.
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<std::string>{kRestart}), dialog.ErrorLines());
}

TEST_F(PluginPage, ASaveThatFailedIsTriedAgainByTheNextOkButNotTwiceByOneOk) {
    CopyModule(productDir, "pl_beta");
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPluginsKey);
    const std::vector<std::string> cannotCreate{
        "Plug-ins:  Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins"};
    {
        kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, kPluginsKey, kt_test::kDenyWritesAcl);
        ASSERT_NE(nullptr, Build());
        ClickCheck(RowOf("Beta"));
        dialog.PressOk();
        EXPECT_EQ(cannotCreate, dialog.ErrorLines());
        EXPECT_TRUE(dialog.DialogAlive());
        EXPECT_TRUE(Page()->Dirty());
        // The same OK reaching the page as a command too: one report.
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(cannotCreate, dialog.ErrorLines());
        EXPECT_TRUE(Subkeys().empty());
    }
    // The cause is gone; the next OK, nothing changed on the page, installs.
    kt_test::PumpUntil([] { return true; });
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys());
    EXPECT_EQ(productDir.File("pl_beta.dll"), Stored("Beta"));
}

TEST_F(PluginPage, AHelpIndexWithALineBreakNeverReachesTheContentsFileOrTheRegistry) {
    CopyModule(productDir, "pl_alpha");
    CopyModule(productDir, "pl_help_newline");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((std::vector<std::string>{"Alpha"}), Rows());
    // Everything listed is installed...
    for (int row = 0; row < static_cast<int>(Rows().size()); ++row)
        ClickCheck(row);
    dialog.PressOk();
    ASSERT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{"Alpha"}), Subkeys());
    EXPECT_EQ(
        ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Alpha Help=alpha.hlp\r\n"
        "1 Getting started\r\n",
        contents.Read());
    // ...and, the dialog opened again, uninstalled.
    ASSERT_NE(nullptr, Build());
    for (int row = 0; row < static_cast<int>(Rows().size()); ++row)
        ClickCheck(row);
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_TRUE(Subkeys().empty());
    EXPECT_EQ(kContents, contents.Read());
}

TEST_F(PluginPage, APluginWhoseModulePathCannotBeWrittenIsReportedAndNotInstalled) {
    // Alpha's old subkey stays (it has a subkey of its own) and takes no
    // value: the save opens it, but cannot write the module's path.
    Pin("Alpha");
    kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, Sub("Alpha").c_str(), "D:(D;;0x2;;;WD)(A;;KA;;;WD)");
    CopyModule(productDir, "pl_alpha");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Alpha"));
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::string>{kCannotDelete,
                                        "Plug-ins:  Cannot write to registry key "
                                        "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins\\Alpha"}),
              dialog.ErrorLines());
    // Registry and contents file agree: Alpha is not installed.
    EXPECT_EQ("(no value)", Stored("Alpha"));
    EXPECT_EQ(kContents, contents.Read());
    const TPluginRec* alpha = Page()->FindListedPlugin("Alpha");
    ASSERT_NE(nullptr, alpha);
    EXPECT_EQ(0, alpha->flags & kPluginRegistered);
    EXPECT_TRUE(Page()->Dirty());
}

TEST_F(PluginPage, IdokReachingThePageSavesAChange) {
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys());
}

TEST_F(PluginPage, AScanThatChangesTheListIsAChangeToSave) {
    Register("Foreign", "C:\\gone.dll");
    CopyModule(productDir, "pl_beta");
    kt_test::TempDir other;
    CopyModule(other, "pl_gamma");
    ASSERT_NE(nullptr, Build());
    Scan(other.Path());
    EXPECT_TRUE(Page()->Dirty());
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_EQ((std::vector<std::string>{}), Subkeys());
}

TEST_F(PluginPage, ASecondSaveTakesOutTheLineOfAPluginTheFirstInstalled) {
    Pin("Pinned");
    CopyModule(productDir, "pl_beta");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    ASSERT_TRUE(dialog.DialogAlive());
    EXPECT_EQ(
        ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Beta Help=beta.hlp\r\n"
        "1 Getting started\r\n",
        contents.Read());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_EQ(kContents, contents.Read());
    EXPECT_EQ((std::vector<std::string>{"Pinned"}), Subkeys());
}

TEST_F(PluginPage, ASaveRewritesTheLinesOfInstalledPluginsAtTheEndOfTheHeaderInChainOrder) {
    kt_test::TempDir installed;
    Register("Alpha", CopyModule(installed, "pl_alpha"));
    Register("Beta", CopyModule(installed, "pl_beta"));
    CopyModule(productDir, "pl_gamma");
    contents.Write(
        ":Base korvane.hlp\r\n:Index Alpha Title=alpha.hlp\n:Title Help\r\n:Index "
        "Beta=beta.hlp\r\n1 Topic\r\n2 Other\r\n:Index Late=alpha.hlp");
    ASSERT_NE(nullptr, Build());
    // Checked and unchecked again: the same plug-ins, but a change.
    ClickCheck(RowOf("Gamma"));
    ClickCheck(RowOf("Gamma"));
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    // The newest record first: Beta was read after Alpha.
    EXPECT_EQ(
        ":Base korvane.hlp\r\n:Title Help\r\n:Index Beta Help=beta.hlp\r\n:Index Alpha "
        "Help=alpha.hlp\r\n1 Topic\r\n2 Other\r\n",
        contents.Read());
    EXPECT_FALSE(kt_test::PathExists(contents.TempPath()));
}

TEST_F(PluginPage, AKeyThatCannotBeCreatedIsOneErrorAndTouchesNothingElse) {
    kt_test::KorvaneWindow korvane;
    // A volatile product key refuses the lasting Plugins key.
    kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, kt_test::kProductKey);
    CreateVolatileKey(kt_test::kProductKey);
    CreateVolatileKey(std::string(kt_test::kProductKey) + "\\AppPaths");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths", nullptr,
                          productDir.File("korvane.exe").c_str());
    CopyModule(productDir, "pl_beta");
    const std::string content = ":Index Beta Help=beta.hlp\r\n1 T\r\n";
    contents.Write(content);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::string>{
                  "Plug-ins:  Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins",
                  kRestart}),
              dialog.ErrorLines());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kPluginsKey));
    EXPECT_EQ(content, contents.Read());
}

TEST_F(PluginPage, APluginWhoseSubkeyCannotBeCreatedIsReportedByNameAndGetsNoHelpLine) {
    // A volatile Plugins key refuses lasting subkeys.
    CreateVolatileKey(kPluginsKey);
    CopyModule(productDir, "pl_alpha");
    CopyModule(productDir, "pl_beta");
    contents.Write(kContents);
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Alpha"));
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    std::vector<std::string> lines = dialog.ErrorLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(
        (std::vector<std::string>{
            "Plug-ins:  Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins\\Alpha",
            "Plug-ins:  Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins\\Beta"}),
        lines);
    EXPECT_TRUE(Subkeys().empty());
    EXPECT_EQ(kContents, contents.Read());
}

TEST_F(PluginPage, AKeyThatDeniesWritesIsOneErrorAndLosesNoPlugin) {
    const std::string alpha = CopyModule(productDir, "pl_alpha", "alpha-file.dll");
    CopyModule(productDir, "pl_beta");
    Register("Alpha", alpha);
    const std::string content = ":Index Alpha Help=alpha.hlp\r\n1 T\r\n";
    contents.Write(content);
    kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, kPluginsKey, kt_test::kDenyWritesAcl);
    // The system really refuses what the save needs.
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPluginsKey, 0, KEY_CREATE_SUB_KEY, &probe));
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_EQ(
        std::vector<std::string>{
            "Plug-ins:  Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins"},
        dialog.ErrorLines());
    // The installed plug-in keeps its key and its help line.
    EXPECT_EQ((std::vector<std::string>{"Alpha"}), Subkeys());
    EXPECT_EQ(alpha, Stored("Alpha"));
    EXPECT_EQ(content, contents.Read());
}

TEST(PluginPageHeldContents, AHeldContentsFileOrCopyStaysAsItWasAndThePluginsAreSaved) {
    struct Case {
        const char* what;
        bool copy;  // the temporary copy is held, not the contents file
        DWORD access;
        DWORD share;
    };
    const Case cases[] = {
        {"the contents file held by a writer", false, GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"the contents file held without sharing", false, GENERIC_READ, 0},
        {"a left copy held without sharing", true, GENERIC_READ, 0},
    };
    for (const Case& c : cases) {
        kt_test::PluginWorld w;
        const std::string beta = CopyModule(w.productDir, "pl_beta");
        w.contents.Write(kContents);
        if (c.copy) {
            HANDLE left = CreateFileA(w.contents.TempPath().c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, left) << c.what;
            CloseHandle(left);
        }
        const std::string held = c.copy ? w.contents.TempPath() : w.contents.Path();
        ASSERT_NE(nullptr, w.Build()) << c.what;
        w.ClickCheck(w.RowOf("Beta"));
        HANDLE holder =
            CreateFileA(held.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder) << c.what;
        w.dialog.PressOk();
        CloseHandle(holder);
        // The help contents file is not the user's setting: nothing is
        // reported, and the plug-in is installed all the same.
        EXPECT_FALSE(w.dialog.DialogAlive()) << c.what;
        EXPECT_EQ(nullptr, w.dialog.ErrorWindow()) << c.what;
        EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys()) << c.what;
        EXPECT_EQ(beta, Stored("Beta")) << c.what;
        EXPECT_EQ(kContents, w.contents.Read()) << c.what;
        EXPECT_EQ(c.copy, kt_test::PathExists(w.contents.TempPath())) << c.what;
        DeleteFileA(w.contents.TempPath().c_str());
    }
}

TEST_F(PluginPage, WithoutAContentsFileNoneIsCreated) {
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::string>{"Beta"}), Subkeys());
    EXPECT_FALSE(contents.Exists());
    EXPECT_FALSE(kt_test::PathExists(contents.TempPath()));
}

}  // namespace
