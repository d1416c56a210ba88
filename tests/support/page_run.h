// The built program started with one of its pages shown, for whole-program
// tests that work a page as its user does.
#pragma once

#include "tests/support/process.h"

#include <windows.h>

#include <string>

namespace kt_test {

class PageRun {
public:
    // Starts exePath and selects the page that holds controlId; page stays
    // null when the dialog or the page does not show.
    PageRun(const std::string& exePath, int controlId);

    HWND Item(int id) const { return GetDlgItem(page, id); }
    // What a click on button id of window sends; posted, as the program may
    // open a modal window for it.
    static bool Click(HWND window, int id);
    // Clicks a button of the main dialog and waits for the program to end;
    // its exit code (STILL_ACTIVE, and the test failed, when it does not).
    DWORD PressAndWait(int id, DWORD timeoutMs = 20000);

    ProgramRun run;
    HWND dialog = nullptr;
    HWND page = nullptr;
};

}  // namespace kt_test
