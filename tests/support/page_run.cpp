#include "tests/support/page_run.h"

#include "tests/support/e2e.h"

#include <gtest/gtest.h>

namespace kt_test {

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
constexpr DWORD kWaitMs = 15000;

}  // namespace

PageRun::PageRun(const std::string& exePath, int controlId) : run(exePath) {
    dialog = run.WaitForWindow(kTitle);
    if (dialog && WaitVisible(dialog))
        page = SelectPageHolding(dialog, controlId);
}

bool PageRun::Click(HWND target, int id) {
    return PostMessageA(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(target, id))) != FALSE;
}

DWORD PageRun::PressAndWait(int id, DWORD timeoutMs) {
    EXPECT_TRUE(Press(id));
    return WaitForExit(timeoutMs);
}

HWND PageRun::WaitShown(const std::string& title) const {
    HWND window = run.WaitForWindow(title, kWaitMs);
    return window && WaitVisible(window, kWaitMs) ? window : nullptr;
}

bool PageRun::WaitGone(HWND window) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(50)) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
    }
    return false;
}

DWORD PageRun::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(run.WaitForExit(timeoutMs, &code));
    return code;
}

DWORD StartAndCancel(const std::string& exePath, const std::string& title) {
    ProgramRun run(exePath);
    HWND dialog = run.Started() ? run.WaitForWindow(title) : nullptr;
    if (!dialog || !WaitVisible(dialog) || !PageRun::Click(dialog, IDCANCEL)) {
        ADD_FAILURE() << "the dialog of " << exePath << " did not show";
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(run.WaitForExit(PageRun::kExitTimeoutMs, &code)) << "Cancel did not end it";
    return code;
}

}  // namespace kt_test
