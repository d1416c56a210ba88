// The built program on the sample installation: a new channel file
// directory with every move box checked.
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

std::string ReadFileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The source tree as Wine sees it, from this file's own path.
std::string SourcePath(const std::string& relative) {
    std::string path = __FILE__;
    path = path.substr(0, path.rfind("/tests/e2e/"));
    std::string windows = "Z:" + path + "/" + relative;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

std::string UnixPath(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unix = toUnix(wide);
    if (!unix)
        return std::string();
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

bool RunAndWait(const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 20000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

// The sample seeding of the run command: the script runs as the Unix
// program it is (Wine cannot wait for those: its last file is looked for),
// the registry file is imported as run.sh imports it.
void SeedSample() {
    std::string prefix = UnixPath("C:\\") + "..";
    std::string script = UnixPath(SourcePath("scripts/sample/chn_files.sh"));
    ASSERT_FALSE(prefix.empty() || script.empty());
    std::string command = "/usr/bin/env \"WINEPREFIX=" + prefix + "\" /bin/bash \"" + script + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // For a Unix program Wine fills in no usable handles: none are closed.
    ASSERT_TRUE(CreateProcessA("Z:\\usr\\bin\\env", line.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process));
    std::string last = std::string(kSampleDir) + "\\Archive\\old.chn";
    for (int i = 0; i < 200 && !Exists(last); ++i)
        Sleep(50);
    ASSERT_TRUE(Exists(last)) << "the sample script made no channel file directory";
    ASSERT_TRUE(
        RunAndWait("reg.exe import \"" + SourcePath("scripts/sample/chn_files.reg") + "\""));
    ASSERT_TRUE(RunAndWait("reg.exe import \"" + SourcePath("scripts/sample/product.reg") + "\""));
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

class ChnDirProgram : public kt_test::ProgramTest {
protected:
    void SetUp() override {
        kt_test::ProgramTest::SetUp();
        RemoveTree(kSampleRoot);
    }
    void TearDown() override {
        RemoveTree(kSampleRoot);
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
    for (DWORD start = GetTickCount(); !IsWindowVisible(dialog) && GetTickCount() - start < 15000;)
        Sleep(50);
    ASSERT_TRUE(IsWindowVisible(dialog));
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
        EXPECT_EQ(content, ReadFileText(target.File(name))) << name;
        EXPECT_FALSE(Exists(std::string(kSampleDir) + "\\" + name)) << name;
    }
    for (const char* cache : kCaches) {
        EXPECT_FALSE(Exists(std::string(kSampleDir) + "\\" + cache)) << cache;
        EXPECT_FALSE(Exists(target.File(cache))) << cache;
    }
    EXPECT_EQ("channel=Old\r\n", ReadFileText(std::string(kSampleDir) + "\\Archive\\old.chn"));
    EXPECT_FALSE(Exists(target.File("Archive")));

    std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kChnFilesKey + "\"");
    EXPECT_NE(std::string::npos, query.find("REG_SZ")) << query;
    EXPECT_NE(std::string::npos, query.find(target.Path())) << query;
}

}  // namespace
