#include "resources/desktop_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
constexpr DWORD kExitTimeoutMs = 20000;

using SettingsProgram = kt_test::ProgramTest;

// Starts the program on the sample installation and shows its Settings page.
class SettingsRun {
public:
    explicit SettingsRun(const std::string& exePath) : run(exePath) {
        dialog = run.WaitForWindow(kTitle);
        if (dialog && kt_test::WaitVisible(dialog))
            page = kt_test::SelectPageHolding(dialog, IDC_DESKTOP_USE_OTHER);
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
    // What the button sends; the program ends on its own afterwards.
    bool Press(int id) {
        return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    DWORD WaitForExit() {
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(run.WaitForExit(kExitTimeoutMs, &code));
        return code;
    }

    kt_test::ProgramRun run;
    HWND dialog = nullptr;
    HWND page = nullptr;
};

TEST_F(SettingsProgram, CheckingTheBoxAndOkStoresTheDirectoryForTheUser) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());

    SettingsRun settings(ExePath());
    ASSERT_NE(nullptr, settings.page) << "no tree item shows the Settings page";
    SendMessageA(settings.Item(IDC_DESKTOP_USE_OTHER), BM_CLICK, 0, 0);
    SendMessageA(settings.Item(IDC_DESKTOP_OTHER), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("C:\\Desktop files"));
    ASSERT_TRUE(settings.Press(IDOK));
    EXPECT_EQ(0u, settings.WaitForExit());

    std::string query = kt_test::RegQuery(std::string("\"HKCU\\") + kDskPathKey + "\"");
    EXPECT_NE(std::string::npos, query.find("REG_SZ")) << query;
    EXPECT_NE(std::string::npos, query.find("C:\\Desktop files")) << query;
    // Per user only.
    std::string machine;
    EXPECT_FALSE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kDskPathKey, nullptr, &machine));
}

TEST_F(SettingsProgram, CancelLeavesTheStoredDirectory) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_CURRENT_USER, kDskPathKey, nullptr, "D:\\old desk");

    SettingsRun settings(ExePath());
    ASSERT_NE(nullptr, settings.page) << "no tree item shows the Settings page";
    // Unchecked, OK would delete the key; Cancel must not.
    SendMessageA(settings.Item(IDC_DESKTOP_USE_OTHER), BM_CLICK, 0, 0);
    ASSERT_TRUE(settings.Press(IDCANCEL));
    EXPECT_EQ(0u, settings.WaitForExit());

    std::string query = kt_test::RegQuery(std::string("\"HKCU\\") + kDskPathKey + "\"");
    EXPECT_NE(std::string::npos, query.find("D:\\old desk")) << query;
}

}  // namespace
