// The built program on the sample installation: a new channel file
// directory with every move box checked.
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kChnFilesKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kSampleDir[] = "C:\\Korvane\\Channels";
const char kSampleRoot[] = "C:\\Korvane";
constexpr int kNewDirId = 274;
const int kMoveBoxIds[] = {276, 278, 279, 280};
constexpr DWORD kExitTimeoutMs = 20000;

// What scripts/sample/chn_files.sh writes, file by file.
const std::map<std::string, std::string> kSampleFiles = {
    {"sales.chn", "channel=Sales\r\nserver=ldap1\r\n"},
    {"support.chn", "channel=Support\r\nserver=ldap2\r\n"},
    {"operations.chn", "channel=Operations\r\nserver=ldap1\r\n"},
    {"danger.txt", "format *\r\n"},
    {"purge.txt", "delete *.*\r\n"},
    {"letter.tpl", "[Template]\r\nname=Letter\r\n"},
    {"memo.tpl", "[Template]\r\nname=Memo\r\n"},
    {"settings.ini", "user settings\r\n"},
    {"readme", "notes\r\n"},
};
const char* const kCaches[] = {"listd1.cnf", "treed1.cnf", "treed2.cnf"};

// The source tree as Wine sees it, from this file's own path.
std::string SourcePath(const std::string& relative) {
    std::string path = __FILE__;
    path = path.substr(0, path.rfind("/tests/e2e/"));
    return kt_test::WindowsPath(path + "/" + relative);
}

// Whether commandLine ran to its end with exit code 0.
bool RunAndWait(const std::string& commandLine) {
    DWORD code = 1;
    return kt_test::RunAndCapture(commandLine, nullptr, &code, kExitTimeoutMs) && code == 0;
}

// The sample seeding of the run command: the script runs as the Unix
// program it is (Wine cannot wait for those: its last file is looked for),
// the registry file is imported as run.sh imports it.
void SeedSample() {
    std::string prefix = kt_test::UnixPath("C:\\") + "..";
    std::string script = kt_test::UnixPath(SourcePath("scripts/sample/chn_files.sh"));
    ASSERT_FALSE(prefix.empty() || script.empty());
    std::string command = "/usr/bin/env \"WINEPREFIX=" + prefix + "\" /bin/bash \"" + script + "\"";
    ASSERT_TRUE(kt_test::StartUnixProgram("/usr/bin/env", command));
    std::string last = std::string(kSampleDir) + "\\Archive\\old.chn";
    for (int i = 0; i < 200 && !kt_test::PathExists(last); ++i)
        Sleep(50);
    ASSERT_TRUE(kt_test::PathExists(last)) << "the sample script made no channel file directory";
    ASSERT_TRUE(
        RunAndWait("reg.exe import \"" + SourcePath("scripts/sample/chn_files.reg") + "\""));
    ASSERT_TRUE(RunAndWait("reg.exe import \"" + SourcePath("scripts/sample/product.reg") + "\""));
}

class ChnDirProgram : public kt_test::ProgramTest {
protected:
    void SetUp() override {
        kt_test::ProgramTest::SetUp();
        kt_test::RemoveTree(kSampleRoot);
    }
    void TearDown() override {
        kt_test::RemoveTree(kSampleRoot);
        kt_test::ProgramTest::TearDown();
    }
};

TEST_F(ChnDirProgram, NewDirectoryWithEveryBoxMovesTheSampleFiles) {
    SeedSample();
    if (HasFatalFailure())
        return;
    kt_test::TempDir target;

    kt_test::ProgramRun run(ExePath());
    ASSERT_TRUE(run.Started());
    HWND dialog = run.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);
    // The title exists before the pages do: wait until the dialog is shown.
    ASSERT_TRUE(kt_test::WaitVisible(dialog));
    HWND page = kt_test::FindWindowHolding(dialog, kNewDirId);
    ASSERT_NE(nullptr, page);
    char shown[MAX_PATH] = "";
    GetDlgItemTextA(page, kNewDirId, shown, sizeof shown);
    EXPECT_STREQ(kSampleDir, shown);

    SendDlgItemMessageA(page, kNewDirId, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(target.Path().c_str()));
    for (int id : kMoveBoxIds) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
        SendDlgItemMessageA(page, id, BM_CLICK, 0, 0);
        EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0)) << id;
    }
    ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))));
    DWORD code = STILL_ACTIVE;
    ASSERT_TRUE(run.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(0u, code);

    for (const auto& [name, content] : kSampleFiles) {
        EXPECT_EQ(content, kt_test::ReadFileText(target.File(name))) << name;
        EXPECT_FALSE(kt_test::PathExists(std::string(kSampleDir) + "\\" + name)) << name;
    }
    for (const char* cache : kCaches) {
        EXPECT_FALSE(kt_test::PathExists(std::string(kSampleDir) + "\\" + cache)) << cache;
        EXPECT_FALSE(kt_test::PathExists(target.File(cache))) << cache;
    }
    EXPECT_EQ("channel=Old\r\n",
              kt_test::ReadFileText(std::string(kSampleDir) + "\\Archive\\old.chn"));
    EXPECT_FALSE(kt_test::PathExists(target.File("Archive")));

    std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kChnFilesKey + "\"");
    EXPECT_NE(std::string::npos, query.find("REG_SZ")) << query;
    EXPECT_NE(std::string::npos, query.find(target.Path())) << query;
}

}  // namespace
