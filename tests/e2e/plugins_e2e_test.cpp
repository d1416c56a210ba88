// The built program installs the sample plug-in: a copy of ktconfig.exe
// with a help contents file beside it, the sample plug-in in the product's
// directory; the row is checked, OK pressed, and the registry and the file
// are read back from outside.
#include "resources/plugin_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kSampleName[] = "Korvane Sample";
const char kContents[] =
    ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Korvane Help=korvane.hlp\r\n"
    "1 Getting started\r\n2 Channels=Channels\r\n";
constexpr DWORD kExitTimeoutMs = 20000;
constexpr int kRowHeight = 15;
const char kErrorsTitle[] = "Korvane & Tools Configuration - Errors";
constexpr int kErrorListId = 256;

using PluginsProgram = kt_test::ProgramTest;

// A copy of the program with the contents file beside it, and the sample
// plug-in in the product's directory.
struct SampleInstallation {
    SampleInstallation() {
        EXPECT_TRUE(CopyFileA(kt_test::WindowsPath(kt_test::ProgramTest::ExePath()).c_str(),
                              exe.c_str(), FALSE));
        program.Write("korvane.cnt", kContents);
        EXPECT_TRUE(
            CopyFileA(kt_test::ProgramTest::SamplePluginPath().c_str(), plugin.c_str(), FALSE));
        kt_test::SeedInstallation(channelDir.Path());
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths",
                              nullptr, product.File("korvane.exe").c_str());
    }

    kt_test::TempDir program;
    kt_test::TempDir product;
    kt_test::TempDir channelDir;
    const std::string exe = program.File("ktconfig.exe");
    const std::string plugin = product.File("ktsample.dll");
};

// The running program's dialog with its only plug-in row checked; null when
// the page cannot be found.
HWND CheckTheSample(const kt_test::ProgramRun& run) {
    HWND dialog = run.WaitForWindow(kTitle);
    EXPECT_NE(nullptr, dialog);
    if (!dialog || !kt_test::WaitVisible(dialog))
        return nullptr;
    HWND page = kt_test::SelectPageHolding(dialog, IDC_PLUGIN_LIST);
    EXPECT_NE(nullptr, page) << "no tree item shows the Plug-ins page";
    if (!page)
        return nullptr;
    HWND list = GetDlgItem(page, IDC_PLUGIN_LIST);
    EXPECT_EQ(1, SendMessageA(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(list, LB_GETITEMDATA, 0, 0));
    // A click on the row's check box.
    LPARAM box = MAKELPARAM(5, kRowHeight / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, box);
    SendMessageA(list, WM_LBUTTONUP, 0, box);
    EXPECT_EQ(1, SendMessageA(list, LB_GETITEMDATA, 0, 0));
    return dialog;
}

bool PressOk(HWND dialog) {
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))) != FALSE;
}

TEST_F(PluginsProgram, CheckingTheSamplePluginAndOkInstallsIt) {
    SampleInstallation installation;
    const kt_test::TempDir& program = installation.program;
    const std::string& plugin = installation.plugin;
    {
        kt_test::ProgramRun run(installation.exe);
        HWND dialog = CheckTheSample(run);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(PressOk(dialog));
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(run.WaitForExit(kExitTimeoutMs, &code));
        EXPECT_EQ(0u, code);
    }

    std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kPluginsKey + "\" /s");
    EXPECT_NE(std::string::npos, query.find(std::string(kPluginsKey) + "\\" + kSampleName))
        << query;
    EXPECT_NE(std::string::npos, query.find("REG_SZ")) << query;
    EXPECT_NE(std::string::npos, query.find(plugin)) << query;
    std::string path;
    EXPECT_TRUE(kt_test::ReadRegValue(
        HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + kSampleName, nullptr, &path));
    EXPECT_EQ(plugin, path);
    EXPECT_EQ(
        ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Korvane Help=korvane.hlp\r\n"
        ":Index Korvane Sample=ktsample.hlp\r\n1 Getting started\r\n2 Channels=Channels\r\n",
        program.Read("korvane.cnt"));
    EXPECT_FALSE(program.Exists("korvane.new"));
}

TEST_F(PluginsProgram, AnInstallThatFailedIsDoneByTheNextOkAndTheProgramEndsWithZero) {
    SampleInstallation installation;
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPluginsKey);
    kt_test::ProgramRun run(installation.exe);
    {
        // The key refuses the save for real.
        kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, kPluginsKey, kt_test::kDenyWritesAcl);
        HWND dialog = CheckTheSample(run);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(PressOk(dialog));
        HWND errors = run.WaitForWindow(kErrorsTitle);
        ASSERT_NE(nullptr, errors) << "the failed save showed no error window";
        ASSERT_TRUE(kt_test::WaitVisible(errors));
        EXPECT_EQ(std::vector<std::string>{"Plug-ins:  Cannot create registry key "
                                           "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins"},
                  kt_test::ListBoxLines(GetDlgItem(errors, kErrorListId)));
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
    // The cause removed, the same dialog's OK installs the plug-in.
    HWND dialog = run.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PressOk(dialog));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(run.WaitForExit(kExitTimeoutMs, &code)) << "the second OK did not end it";
    EXPECT_EQ(0u, code);
    std::string path;
    EXPECT_TRUE(kt_test::ReadRegValue(
        HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + kSampleName, nullptr, &path));
    EXPECT_EQ(installation.plugin, path);
    EXPECT_NE(std::string::npos,
              installation.program.Read("korvane.cnt").find(":Index Korvane Sample=ktsample.hlp"));
}

}  // namespace
