#include "app/desktop_file.h"

#include "tests/support/program_copy.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"
#include "ui/app.h"
#include "ui/file_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUserKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";

struct Location {
    std::string path;
    std::string directory;
    int notFound = -1;
    std::string module;  // of the child run
};

std::string ProgramDir() {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    EXPECT_GT(length, 0u);
    *GetFilePart(module) = '\0';
    return module;  // with its trailing separator
}

Location Locate(const char* parameterName, const char* fileName, int noNetworkFallback,
                const char* userKey) {
    char path[MAX_PATH];
    char directory[MAX_PATH];
    int notFound = -1;
    std::memset(path, 'x', sizeof path);
    std::memset(directory, 'x', sizeof directory);
    LocateDesktopFile(path, parameterName, fileName, noNetworkFallback, userKey, directory,
                      &notFound);
    return {path, directory, notFound, std::string()};
}

// Runs LocateDesktopFile in an application started with commandLine.
Location LocateWithCommandLine(const char* commandLine, const char* parameterName,
                               const char* userKey = nullptr) {
    TApp app(GetModuleHandleA(nullptr), nullptr);
    char line[MAX_PATH];
    lstrcpynA(line, commandLine, sizeof line);
    app.Init(nullptr, line, SW_SHOWNORMAL);
    return Locate(parameterName, "korvane.dsk", 0, userKey);
}

TEST(LocateDesktopFile, CommandLineParameterNamesTheDirectory) {
    Location found = LocateWithCommandLine("ktconfig.exe /dsk:C:\\data\\desk", "dsk");
    EXPECT_EQ("C:\\data\\desk\\korvane.dsk", found.path);
    EXPECT_EQ("C:\\data\\desk", found.directory);
    EXPECT_EQ(0, found.notFound);
}

TEST(LocateDesktopFile, CommandLineParameterWithoutValueMeansTheWindowsDirectory) {
    Location found = LocateWithCommandLine("ktconfig.exe /dsk", "dsk");
    EXPECT_EQ(kt_test::WindowsDir() + "\\korvane.dsk", found.path);
    EXPECT_EQ(kt_test::WindowsDir(), found.directory);
}

TEST(LocateDesktopFile, UserKeyGivesThePathWithTheFileInBoth) {
    kt_test::RegistrySandbox sandbox;
    kt_test::SetRegString(HKEY_CURRENT_USER, kUserKey, nullptr, "D:\\Users\\me");
    Location found = LocateWithCommandLine("ktconfig.exe", "dsk", kUserKey);
    EXPECT_EQ("D:\\Users\\me\\korvane.dsk", found.path);
    EXPECT_EQ("D:\\Users\\me\\korvane.dsk", found.directory);
    EXPECT_EQ(0, found.notFound);
}

TEST(LocateDesktopFile, WithoutParameterOrUserDirectoryTheProgramDirectoryIsUsed) {
    kt_test::RegistrySandbox sandbox;
    kt_test::CreateRegKey(HKEY_CURRENT_USER, kUserKey);  // there, but holding no directory
    struct Case {
        const char* what;
        const char* commandLine;
        const char* parameterName;
        const char* userKey;
    };
    const Case cases[] = {
        {"no parameter name", "ktconfig.exe /dsk:C:\\elsewhere", nullptr, nullptr},
        {"parameter not on the command line", "ktconfig.exe /other:C:\\x", "dsk", nullptr},
        {"user key without a directory", "ktconfig.exe", nullptr, kUserKey},
        {"user key missing", "ktconfig.exe", nullptr, "SOFTWARE\\Tavrel\\NoSuchKey"},
    };
    // The test program runs from a local drive.
    std::string expected = ProgramDir() + "korvane.dsk";
    for (const Case& c : cases) {
        Location found = LocateWithCommandLine(c.commandLine, c.parameterName, c.userKey);
        EXPECT_EQ(expected, found.path) << c.what;
        EXPECT_EQ(expected, found.directory) << c.what;
        EXPECT_EQ(0, found.notFound) << c.what;
    }
}

// Started by the tests below as a copy of this program placed elsewhere:
// prints where the file is found from there.
TEST(LocateDesktopFileChild, DISABLED_PrintsTheLocation) {
    char fileName[MAX_PATH];
    char noFallback[MAX_PATH];
    ASSERT_TRUE(GetCmdLinePrm(GetCommandLineA(), "ktfile", fileName));
    int noNetworkFallback = GetCmdLinePrm(GetCommandLineA(), "ktnofallback", noFallback);
    TApp app(GetModuleHandleA(nullptr), nullptr);
    Location found = Locate(nullptr, fileName, noNetworkFallback, nullptr);
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::printf("\nlocate-path=%s\nlocate-directory=%s\nlocate-notfound=%d\nlocate-module=%s\n",
                found.path.c_str(), found.directory.c_str(), found.notFound, module);
    std::fflush(stdout);
}

// Runs the child test above in copy.
Location LocateFrom(const kt_test::ProgramCopy& copy, const std::string& fileName,
                    bool noNetworkFallback) {
    std::string output;
    DWORD exitCode = 0;
    Location found;
    if (!copy.RunTests("LocateDesktopFileChild.*",
                       "/ktfile:" + fileName + (noNetworkFallback ? " /ktnofallback" : ""), &output,
                       &exitCode))
        return found;
    EXPECT_EQ(0u, exitCode) << output;
    found.path = kt_test::Field(output, "locate-path");
    found.directory = kt_test::Field(output, "locate-directory");
    found.notFound = std::atoi(kt_test::Field(output, "locate-notfound").c_str());
    found.module = kt_test::Field(output, "locate-module");
    return found;
}

// A file name of this test alone: the Windows directory is shared.
std::string UniqueFileName() {
    return "kt-locate-" + std::to_string(GetCurrentProcessId()) + ".dsk";
}

// Creates dir (one level under an existing one) and removes it afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& dir) : path(dir) {
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr) || DirExists(path.c_str()))
            << "cannot create " << path;
    }
    ~ScratchDir() { RemoveDirectoryA(path.c_str()); }
    std::string path;
};

TEST(LocateDesktopFile, ProgramAtTheRootOfADriveUsesTheRoot) {
    std::string name = UniqueFileName();
    kt_test::ProgramCopy copy("C:\\kt-locate-" + std::to_string(GetCurrentProcessId()) + ".exe");
    ASSERT_TRUE(copy.Copied());
    Location found = LocateFrom(copy, name, false);
    EXPECT_EQ("C:\\" + name, found.path);
    EXPECT_EQ("C:\\" + name, found.directory);
    EXPECT_EQ(0, found.notFound);
}

TEST(LocateDesktopFile, ProgramInALocalDirectoryUsesItsDirectory) {
    kt_test::TempDir dir;
    std::string name = UniqueFileName();
    kt_test::ProgramCopy copy(dir.File("ktconfig.exe"));
    ASSERT_TRUE(copy.Copied());
    Location found = LocateFrom(copy, name, false);
    EXPECT_EQ(dir.File(name), found.path);
    EXPECT_EQ(dir.File(name), found.directory);
    EXPECT_EQ(0, found.notFound);
}

TEST(LocateDesktopFile, ProgramOnANetworkDriveUsesTheWindowsDirectory) {
    ASSERT_EQ(static_cast<UINT>(DRIVE_REMOTE), GetDriveTypeA("N:\\"))
        << "the test prefix should report N: as a network drive";
    std::string name = UniqueFileName();
    std::string windowsFile = kt_test::WindowsDir() + "\\" + name;
    ScratchDir share("N:\\kt-locate-" + std::to_string(GetCurrentProcessId()));
    kt_test::ProgramCopy copy(share.path + "\\ktconfig.exe");
    ASSERT_TRUE(copy.Copied());
    std::string networkFile = share.path + "\\" + name;

    struct Case {
        const char* what;
        bool fileInWindows;
        bool noNetworkFallback;
        std::string path;
        std::string directory;
        int notFound;
    };
    const Case cases[] = {
        {"file missing in the Windows directory", false, false, windowsFile, networkFile, 1},
        {"file in the Windows directory", true, false, windowsFile, windowsFile, 0},
        {"no network fallback", true, true, networkFile, networkFile, 0},
    };
    for (const Case& c : cases) {
        if (c.fileInWindows) {
            HANDLE file = CreateFileA(windowsFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, file) << windowsFile;
            CloseHandle(file);
        }
        Location found = LocateFrom(copy, name, c.noNetworkFallback);
        DeleteFileA(windowsFile.c_str());
        EXPECT_EQ(c.path, found.path) << c.what;
        EXPECT_EQ(c.directory, found.directory) << c.what;
        EXPECT_EQ(c.notFound, found.notFound) << c.what;
    }
}

// Wine serves \\server\share from the prefix's dosdevices\unc\server\share.
TEST(LocateDesktopFile, ProgramStartedFromAUncPathUsesItsDirectory) {
    char prefix[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix)
        GTEST_SKIP() << "needs the Wine prefix to serve a share";
    std::string unc = kt_test::WindowsPath(prefix) + "\\dosdevices\\unc";
    std::string shareName = "kt-locate-" + std::to_string(GetCurrentProcessId());
    ScratchDir uncDir(unc);
    ScratchDir server(unc + "\\localhost");
    ScratchDir share(server.path + "\\" + shareName);
    kt_test::ProgramCopy copy("\\\\localhost\\" + shareName + "\\ktconfig.exe");
    ASSERT_TRUE(copy.Copied());
    std::string name = UniqueFileName();
    Location found = LocateFrom(copy, name, false);
    // Wine spells the module of a program started from a share
    // "UNC\server\share\..." where Windows writes "\\server\share\...";
    // either way the first character names no drive.
    std::string shareTail = "localhost\\" + shareName + "\\ktconfig.exe";
    ASSERT_GT(found.module.size(), shareTail.size()) << found.module;
    ASSERT_EQ(shareTail, found.module.substr(found.module.size() - shareTail.size()));
    std::string expected = found.module.substr(0, found.module.size() - 12) + name;
    EXPECT_EQ(expected, found.path);
    EXPECT_EQ(expected, found.directory);
    EXPECT_EQ(0, found.notFound);
}

}  // namespace
