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
const DWORD kExitTimeoutMs = 20000;

BOOL CALLBACK CollectTitled(HWND window, LPARAM data) {
    char title[256];
    if (GetWindowTextA(window, title, sizeof title) && lstrcmpA(title, kTitle) == 0)
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> Dialogs() {
    std::vector<HWND> found;
    EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&found));
    return found;
}

// What the buttons send, from outside the program.
void Press(HWND dialog, int id) {
    ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))));
}

using StartTest = kt_test::ProgramTest;

TEST_F(StartTest, SecondStartLeavesTheOneDialogAndEnds) {
    kt_test::ProgramRun first(ExePath());
    ASSERT_TRUE(first.Started());
    HWND dialog = first.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(kt_test::WaitVisible(dialog));

    kt_test::ProgramRun second(ExePath());
    ASSERT_TRUE(second.Started());
    DWORD code = STILL_ACTIVE;
    ASSERT_TRUE(second.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(std::vector<HWND>{dialog}, Dialogs());

    Press(dialog, IDCANCEL);
    ASSERT_TRUE(first.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
}

struct EndCase {
    const char* what;
    bool installed;
    int button;
};

const EndCase kEndCases[] = {
    {"Cancel", false, IDCANCEL},
    {"OK with nothing to report", false, IDOK},
    {"Cancel, product installed", true, IDCANCEL},
    {"OK with nothing to report, product installed", true, IDOK},
};

TEST_F(StartTest, ClosingTheDialogEndsTheProgramWithZero) {
    kt_test::TempDir channelFiles;
    for (const EndCase& c : kEndCases) {
        SCOPED_TRACE(c.what);
        DeleteProductKeys();
        // OK needs a channel file directory that exists, or the Channel files
        // page refuses it.
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, "Software\\Tavrel\\Korvane Tools\\ChnFiles",
                              nullptr, channelFiles.Path().c_str());
        if (c.installed) {
            kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4", nullptr,
                                  "6.4.2");
        }
        kt_test::ProgramRun run(ExePath());
        ASSERT_TRUE(run.Started());
        HWND dialog = run.WaitForWindow(kTitle);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(kt_test::WaitVisible(dialog));
        Press(dialog, c.button);
        DWORD code = STILL_ACTIVE;
        ASSERT_TRUE(run.WaitForExit(kExitTimeoutMs, &code));
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(Dialogs().empty());
    }
}

// A start of the program with the starter's show request, or none.
class ShownStart {
public:
    explicit ShownStart(const std::string& unixPath, WORD showWindow, bool useShowWindow) {
        std::string line = "\"" + kt_test::WindowsPath(unixPath) + "\"";
        std::vector<char> commandLine(line.begin(), line.end());
        commandLine.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (useShowWindow) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = showWindow;
        }
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &info))
            << "cannot start " << line;
        CloseHandle(info.hThread);
        process = info.hProcess;
    }
    ~ShownStart() {
        if (!process)
            return;
        if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
            TerminateProcess(process, 99);
        CloseHandle(process);
    }
    bool Ended(DWORD* code) const {
        return process && WaitForSingleObject(process, kExitTimeoutMs) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process, code);
    }
    HANDLE process = nullptr;
};

TEST_F(StartTest, DialogAppearsAsTheStarterAsked) {
    struct Case {
        const char* what;
        bool useShowWindow;
        WORD showWindow;
        bool iconic;
    };
    const Case cases[] = {
        {"minimized", true, SW_SHOWMINIMIZED, true},
        {"no request", false, SW_HIDE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShownStart start(ExePath(), c.showWindow, c.useShowWindow);
        ASSERT_NE(nullptr, start.process);
        HWND dialog = nullptr;
        for (DWORD t = GetTickCount(); !dialog && GetTickCount() - t < 15000; Sleep(50)) {
            std::vector<HWND> dialogs = Dialogs();
            if (!dialogs.empty() && IsWindowVisible(dialogs[0]))
                dialog = dialogs[0];
        }
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(c.iconic, IsIconic(dialog) != 0);
        Press(dialog, IDCANCEL);
        DWORD code = STILL_ACTIVE;
        ASSERT_TRUE(start.Ended(&code));
        EXPECT_EQ(0u, code);
    }
}

}  // namespace
