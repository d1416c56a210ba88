// The built program on a machine where no channel file directory is stored
// yet: the refused OK says why, and the corrected OK ends the program.
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kErrorsTitle[] = "Korvane & Tools Configuration - Errors";
const char kChnFilesKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kNoDirectoryLine[] = "Channel files:  You must specify a channel directory.";
const char kCreateQuestion[] = "Do you want to create it?";
constexpr int kNewDirId = 274;
constexpr int kErrorListId = 256;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr DWORD kWindowTimeoutMs = 15000;

struct TopLevelSearch {
    DWORD pid;
    HWND except;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    if (pid == search->pid && window != search->except && IsWindowVisible(window) &&
        lstrcmpA(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process with this title other than
// except (a message box may carry the dialog's own title).
HWND WaitForOtherWindow(DWORD pid, HWND except, const char* title) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWindowTimeoutMs; Sleep(50)) {
        TopLevelSearch search{pid, except, title, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
    }
    return nullptr;
}

std::string WindowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The text of the message box's static: its question.
BOOL CALLBACK CollectText(HWND child, LPARAM context) {
    *reinterpret_cast<std::string*>(context) += WindowText(child) + "\n";
    return TRUE;
}

void PressOk(HWND dialog) {
    ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))));
}

using RefusedOkProgram = kt_test::ProgramTest;

TEST_F(RefusedOkProgram, ARefusedOkShowsWhyAndTheCorrectedOkEndsWithTheDirectoryStored) {
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4", nullptr, "6.4");
    kt_test::TempDir parent;
    std::string target = parent.File("Channels");

    kt_test::ProgramRun run(ExePath());
    ASSERT_TRUE(run.Started());
    HWND dialog = run.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(kt_test::WaitVisible(dialog));
    HWND page = kt_test::FindWindowHolding(dialog, kNewDirId);
    ASSERT_NE(nullptr, page);

    PressOk(dialog);
    HWND errors = WaitForOtherWindow(run.Pid(), dialog, kErrorsTitle);
    ASSERT_NE(nullptr, errors) << "the refused OK showed no error window";
    EXPECT_EQ(std::vector<std::string>{kNoDirectoryLine},
              kt_test::ListBoxLines(GetDlgItem(errors, kErrorListId)));
    EXPECT_TRUE(IsWindowVisible(dialog));

    SendDlgItemMessageA(page, kNewDirId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
    PressOk(dialog);
    HWND question = WaitForOtherWindow(run.Pid(), dialog, kTitle);
    ASSERT_NE(nullptr, question) << "no question whether to create the directory";
    std::string text;
    EnumChildWindows(question, CollectText, reinterpret_cast<LPARAM>(&text));
    EXPECT_NE(std::string::npos, text.find(kCreateQuestion)) << text;
    ASSERT_TRUE(PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES))));

    DWORD code = STILL_ACTIVE;
    ASSERT_TRUE(run.WaitForExit(kExitTimeoutMs, &code)) << "the corrected OK did not end it";
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(kt_test::PathExists(target));
    std::string stored;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kChnFilesKey, nullptr, &stored));
    EXPECT_EQ(target, stored);
}

}  // namespace
