#include "tests/support/page_run.h"

#include "tests/support/e2e.h"

#include <gtest/gtest.h>

namespace kt_test {

namespace {

const char kTitle[] = "Korvane & Tools Configuration";

}  // namespace

PageRun::PageRun(const std::string& exePath, int controlId) : run(exePath) {
    dialog = run.WaitForWindow(kTitle);
    if (dialog && WaitVisible(dialog))
        page = SelectPageHolding(dialog, controlId);
}

bool PageRun::Click(HWND window, int id) {
    return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

DWORD PageRun::PressAndWait(int id, DWORD timeoutMs) {
    EXPECT_TRUE(Click(dialog, id));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(run.WaitForExit(timeoutMs, &code));
    return code;
}

}  // namespace kt_test
