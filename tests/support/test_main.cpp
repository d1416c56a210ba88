#include "tests/support/watchdog.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The common controls are registered once, as the program does at its
    // start, so that templates naming them can be built in any test.
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                    ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    if (!InitCommonControlsEx(&classes))
        return 2;
    testing::InitGoogleTest(&argc, argv);
    kt_test::InstallWatchdog();
    return RUN_ALL_TESTS();
}
