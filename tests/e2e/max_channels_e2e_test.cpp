#include "tests/support/config_dialog.h"
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
constexpr int kPageTreeId = 160;
constexpr int kUseOtherId = 561;
constexpr int kCountId = 562;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr size_t kAllPages = 7;

// The tree items this build makes for an installed product, from the same
// dialog built inside this process (its window is gone again on return).
size_t PagesOfThisBuild() {
    kt_test::ConfigDialogFixture inProcess;
    if (!inProcess.Build())
        return 0;
    return inProcess.TreeNames().size();
}

using MaxChannelsProgram = kt_test::ProgramTest;

TEST_F(MaxChannelsProgram, TypingTwentyAndOkStoresTwentyAndEnds) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    size_t expectedItems = PagesOfThisBuild();
    EXPECT_LE(expectedItems, kAllPages);

    kt_test::ProgramRun run(ExePath());
    ASSERT_TRUE(run.Started());
    HWND dialog = run.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(kt_test::WaitVisible(dialog));

    HWND tree = GetDlgItem(dialog, kPageTreeId);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(expectedItems, static_cast<size_t>(SendMessageA(tree, TVM_GETCOUNT, 0, 0)));

    HWND page = kt_test::SelectPageHolding(dialog, kUseOtherId);
    ASSERT_NE(nullptr, page) << "no tree item shows the Max. channels page";
    HWND box = GetDlgItem(page, kUseOtherId);
    HWND count = GetDlgItem(page, kCountId);
    EXPECT_NE(BST_CHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(count));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(count));
    SendMessageA(count, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("20"));
    ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))));

    DWORD code = STILL_ACTIVE;
    ASSERT_TRUE(run.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
    std::string stored;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, &stored));
    EXPECT_EQ("20", stored);
    std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kMaxChannelsKey + "\"");
    EXPECT_NE(std::string::npos, query.find("REG_SZ")) << query;
    EXPECT_NE(std::string::npos, query.find("20")) << query;
}

TEST_F(MaxChannelsProgram, CancelLeavesTheStoredValue) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "50");

    kt_test::ProgramRun run(ExePath());
    ASSERT_TRUE(run.Started());
    HWND dialog = run.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(kt_test::WaitVisible(dialog));
    HWND page = kt_test::SelectPageHolding(dialog, kUseOtherId);
    ASSERT_NE(nullptr, page);
    SendMessageA(GetDlgItem(page, kCountId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("70"));
    ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL))));

    DWORD code = STILL_ACTIVE;
    ASSERT_TRUE(run.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
    std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kMaxChannelsKey + "\"");
    EXPECT_NE(std::string::npos, query.find("50")) << query;
    EXPECT_EQ(std::string::npos, query.find("70")) << query;
}

}  // namespace
