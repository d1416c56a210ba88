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

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kSampleName[] = "Korvane Sample";
const char kContents[] =
    ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Korvane Help=korvane.hlp\r\n"
    "1 Getting started\r\n2 Channels=Channels\r\n";
constexpr DWORD kExitTimeoutMs = 20000;
constexpr int kRowHeight = 15;

using PluginsProgram = kt_test::ProgramTest;

TEST_F(PluginsProgram, CheckingTheSamplePluginAndOkInstallsIt) {
    kt_test::TempDir program;
    kt_test::TempDir product;
    kt_test::TempDir channelDir;
    const std::string exe = program.File("ktconfig.exe");
    ASSERT_TRUE(CopyFileA(kt_test::WindowsPath(ExePath()).c_str(), exe.c_str(), FALSE));
    program.Write("korvane.cnt", kContents);
    const std::string plugin = product.File("ktsample.dll");
    ASSERT_TRUE(CopyFileA(SamplePluginPath().c_str(), plugin.c_str(), FALSE));
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths", nullptr,
                          product.File("korvane.exe").c_str());

    {
        kt_test::ProgramRun run(exe);
        HWND dialog = run.WaitForWindow(kTitle);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(kt_test::WaitVisible(dialog));
        HWND page = kt_test::SelectPageHolding(dialog, IDC_PLUGIN_LIST);
        ASSERT_NE(nullptr, page) << "no tree item shows the Plug-ins page";
        HWND list = GetDlgItem(page, IDC_PLUGIN_LIST);
        ASSERT_EQ(1, SendMessageA(list, LB_GETCOUNT, 0, 0));
        EXPECT_EQ(0, SendMessageA(list, LB_GETITEMDATA, 0, 0));
        // A click on the row's check box.
        LPARAM box = MAKELPARAM(5, kRowHeight / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, box);
        SendMessageA(list, WM_LBUTTONUP, 0, box);
        EXPECT_EQ(1, SendMessageA(list, LB_GETITEMDATA, 0, 0));
        ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))));
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

}  // namespace
