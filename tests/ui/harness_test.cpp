// The test harness itself: the answerer, the registry sandbox and the
// temporary directory behave as the other tests rely on.
#include "tests/support/e2e.h"
#include "tests/support/folder_chooser.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/process.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"
#include "ui/dir_dialog.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using kt_test::ModalAnswerer;

namespace {

const char kSandboxKey[] = "SOFTWARE\\ktconfig-harness-check";

}  // namespace

TEST(ModalAnswerer, PressesTheExpectedButtonOfAMessageBox) {
    ModalAnswerer answerer;
    answerer.Expect("Question", "Go on?", IDYES);
    EXPECT_EQ(IDYES, MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO));
    EXPECT_EQ(1, answerer.Answered());
}

TEST(ModalAnswerer, AnswersBoxesInTheOrderExpected) {
    ModalAnswerer answerer;
    answerer.Expect("First", "one", IDOK).Expect("Second", "two", IDNO);
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "one", "First", MB_OKCANCEL));
    EXPECT_EQ(IDNO, MessageBoxA(nullptr, "two", "Second", MB_YESNOCANCEL));
    ASSERT_EQ(2u, answerer.Seen().size());
    EXPECT_NE(std::string::npos, answerer.Seen()[1].find("two"));
}

TEST(ModalAnswerer, FailsWhenTheExpectedBoxNeverCame) {
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer;
            answerer.Expect("Warning", "Disk full", IDOK);
        },
        "expected window never came");
}

TEST(ModalAnswerer, FailsOnABoxWithAnotherTextAndClosesIt) {
    static int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer;
            answerer.Expect("Warning", "Disk full", IDOK);
            result = MessageBoxA(nullptr, "Disk empty", "Warning", MB_YESNO);
        },
        "got caption \"Warning\"");
    // No cancel button: the safe answer is No.
    EXPECT_EQ(IDNO, result);
}

TEST(ModalAnswerer, FailsOnAnUnexpectedBoxAndCancelsIt) {
    static int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer;
            result = MessageBoxA(nullptr, "Surprise", "Note", MB_OKCANCEL);
        },
        "unexpected window: caption \"Note\"");
    EXPECT_EQ(IDCANCEL, result);
}

TEST(RegistrySandbox, KeepsWritesAwayFromTheRealKeys) {
    {
        kt_test::RegistrySandbox sandbox;
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kSandboxKey, "Name", "inside");
        kt_test::SetRegDword(HKEY_CURRENT_USER, kSandboxKey, "Count", 7);
        std::string text;
        EXPECT_TRUE(kt_test::GetRegString(HKEY_LOCAL_MACHINE, kSandboxKey, "Name", &text));
        EXPECT_EQ("inside", text);
        DWORD count = 0;
        EXPECT_TRUE(kt_test::GetRegDword(HKEY_CURRENT_USER, kSandboxKey, "Count", &count));
        EXPECT_EQ(7u, count);
    }
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kSandboxKey));
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, kSandboxKey));
}

TEST(TempDir, RemovesNestedAndReadOnlyFiles) {
    std::string path;
    {
        kt_test::TempDir dir;
        path = dir.Path();
        dir.Write("sub\\deeper\\a.txt", "alpha");
        dir.MakeDir("empty");
        ASSERT_TRUE(SetFileAttributesA(dir.File("sub\\deeper\\a.txt").c_str(),
                                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
        EXPECT_EQ("alpha", dir.Read("sub/deeper/a.txt"));
        EXPECT_TRUE(dir.Exists("empty"));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

namespace {

// This test program's own path as Wine's Unix side names it.
std::string OwnUnixPath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':')
        return std::string();
    std::string unix(path + 2);
    for (char& c : unix)
        if (c == '\\')
            c = '/';
    return unix;
}

// Gives a directory another last write time, as a file made in it does.
void TouchDirectory(const std::string& path) {
    HANDLE dir =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, dir) << path;
    FILETIME written{};
    GetSystemTimeAsFileTime(&written);
    ULARGE_INTEGER time{{written.dwLowDateTime, written.dwHighDateTime}};
    time.QuadPart -= 36000000000ull;  // an hour earlier
    written = FILETIME{time.LowPart, time.HighPart};
    EXPECT_TRUE(SetFileTime(dir, nullptr, nullptr, &written)) << GetLastError();
    CloseHandle(dir);
}

}  // namespace

TEST(FolderChooser, SelectsAFolderWhoseParentChangedAfterTheChooserListedIt) {
    kt_test::TempDir temp;
    temp.MakeDir("start");
    temp.MakeDir("target");
    char directory[MAX_PATH];
    lstrcpynA(directory, temp.File("start").c_str(), sizeof directory);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kt_test::kFolderChooserCaption, "Pick", [&](HWND chooser) {
        // Another program writes into the folder above while the chooser is open.
        TouchDirectory(temp.Path());
        kt_test::ChooseFolder(temp.File("target"))(chooser);
    });
    ASSERT_TRUE(OpenDirDlg(nullptr, directory, nullptr, "Pick", 0, sizeof directory));
    answerer.Verify();
    EXPECT_EQ(0, lstrcmpiA(temp.File("target").c_str(), directory)) << directory;
}

TEST(ProgramRun, StartsAUnixPathAndReportsTheExitCode) {
    std::string self = OwnUnixPath();
    ASSERT_FALSE(self.empty()) << "the test program does not run from drive Z:";
    kt_test::ProgramRun run(self, "--gtest_list_tests --gtest_filter=-*");
    ASSERT_TRUE(run.Started());
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(run.WaitForExit(30000, &code));
    EXPECT_EQ(0u, code);
}

TEST(ProgramRun, FindsTheProgramsWindowByTitleAndEndsItWhenGone) {
    HANDLE process = nullptr;
    {
        kt_test::ProgramRun run("notepad.exe");
        ASSERT_TRUE(run.Started());
        HWND window = run.WaitForWindow("Untitled - Notepad");
        ASSERT_NE(nullptr, window);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        EXPECT_EQ(run.Pid(), owner);
        EXPECT_EQ(nullptr, run.WaitForWindow("No Such Title", 200));
        process = OpenProcess(SYNCHRONIZE, FALSE, run.Pid());
        ASSERT_NE(nullptr, process);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 5000));
    CloseHandle(process);
}

TEST(RegQuery, ShowsValuesAsRegExePrintsThem) {
    const char key[] = "Software\\ktconfig-harness-reg";
    std::string path = "HKCU\\" + std::string(key);
    kt_test::SetRegString(HKEY_CURRENT_USER, key, "Colour", "blue");
    std::string shown;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_CURRENT_USER, key, "Colour", &shown));
    EXPECT_EQ("blue", shown);
    DWORD code = 1;
    std::string output = kt_test::RegQuery("\"" + path + "\" /v Colour", &code);
    kt_test::DeleteRegTree(HKEY_CURRENT_USER, key);
    EXPECT_EQ(0u, code);
    EXPECT_NE(std::string::npos, output.find("Colour")) << output;
    EXPECT_NE(std::string::npos, output.find("REG_SZ")) << output;
    EXPECT_NE(std::string::npos, output.find("blue")) << output;
}

TEST(ProgramTestFixture, ClearsTheProductsRealKeys) {
    const char productKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, productKey, nullptr, "machine");
    kt_test::SetRegString(HKEY_CURRENT_USER, productKey, nullptr, "user");
    std::string text;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, productKey, nullptr, &text));
    EXPECT_EQ("machine", text);
    kt_test::ProgramTest::DeleteProductKeys();
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel"));
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Tavrel"));
    // Missing keys are no error.
    kt_test::ProgramTest::DeleteProductKeys();
}

TEST(Watchdog, AModalWindowWithNobodyToAnswerItFailsTheTestAndIsClosed) {
    static int result = 0;
    EXPECT_NONFATAL_FAILURE(
        { result = MessageBoxA(nullptr, "Nobody reads this", "Forgotten", MB_OKCANCEL); },
        "with nobody to answer it: caption \"Forgotten\"");
    EXPECT_EQ(IDCANCEL, result);
}

// Run only as a child of the next test: it waits past its limit.
TEST(Watchdog, DISABLED_WaitsPastItsLimit) {
    kt_test::SetTestTimeLimit(500);
    Sleep(10000);
}

TEST(Watchdog, ATestPastItsLimitEndsTheTestProgramWithItsName) {
    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, self, sizeof self));
    std::string output;
    DWORD code = 0;
    ASSERT_TRUE(kt_test::RunAndCapture(std::string("\"") + self +
                                           "\" --gtest_also_run_disabled_tests "
                                           "--gtest_filter=Watchdog.DISABLED_WaitsPastItsLimit",
                                       &output, &code, 8000));
    EXPECT_EQ(3u, code) << output;
    EXPECT_NE(std::string::npos, output.find("[ WATCHDOG ] Watchdog.DISABLED_WaitsPastItsLimit"))
        << output;
}

// Run only as a child of the next test: a copy one byte past its buffer.
TEST(HardenedBuild, DISABLED_CopiesPastABuffer) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    // The length comes from outside, so the compiler cannot see it coming.
    text[8 + GetCurrentProcessId() % 1] = '\0';
    char small[8];
    std::strcpy(small, text);
    std::printf("copied %s\n", small);
}

TEST(HardenedBuild, ACopyPastABufferAbortsTheProgram) {
    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, self, sizeof self));
    std::string output;
    DWORD code = 0;
    ASSERT_TRUE(
        kt_test::RunAndCapture(std::string("\"") + self +
                                   "\" --gtest_also_run_disabled_tests "
                                   "--gtest_filter=HardenedBuild.DISABLED_CopiesPastABuffer",
                               &output, &code, 8000));
    EXPECT_NE(0u, code) << output;
    EXPECT_EQ(std::string::npos, output.find("copied")) << output;
}
