// The built program run as its own process with one of its pages shown, for
// the whole-program tests: its windows are found by title and driven with
// messages, as another program can.
#pragma once

#include "tests/support/process.h"

#include <windows.h>

#include <string>

namespace kt_test {

class PageRun {
public:
    // Starts exePath, waits until its dialog is shown and selects the page
    // that holds controlId; page stays null (dialog too) when that fails.
    PageRun(const std::string& exePath, int controlId);

    HWND Item(int id) const { return GetDlgItem(page, id); }
    // A click on the button id of target (the dialog, the page or another
    // window of the program): posted, so that a modal window it opens, or the
    // program's end, does not hold the test.
    static bool Click(HWND target, int id);
    // A button of the main dialog (OK, Cancel).
    bool Press(int id) const { return Click(dialog, id); }
    // Presses a button of the main dialog and waits for the program to end;
    // its exit code (STILL_ACTIVE, and the test failed, when it does not).
    DWORD PressAndWait(int id, DWORD timeoutMs = kExitTimeoutMs);
    // The program's top-level window with that title once it is shown; null
    // after the usual wait.
    HWND WaitShown(const std::string& title) const;
    // Whether window went away (or was hidden) within the usual wait.
    static bool WaitGone(HWND window);
    // The exit code; fails the test when the program does not end.
    DWORD WaitForExit(DWORD timeoutMs = kExitTimeoutMs);

    static constexpr DWORD kExitTimeoutMs = 20000;

    ProgramRun run;
    HWND dialog = nullptr;
    HWND page = nullptr;
};

// Starts exePath, waits until its dialog (with that title) is shown and
// presses Cancel; the program's exit code, STILL_ACTIVE (and the test
// failed) when the dialog does not show or the program does not end.
DWORD StartAndCancel(const std::string& exePath, const std::string& title);

}  // namespace kt_test
