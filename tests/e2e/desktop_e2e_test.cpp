#include "resources/desktop_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/page_run.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";

using SettingsProgram = kt_test::ProgramTest;

TEST_F(SettingsProgram, CheckingTheBoxAndOkStoresTheDirectoryForTheUser) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());

    kt_test::PageRun settings(ExePath(), IDC_DESKTOP_USE_OTHER);
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

    kt_test::PageRun settings(ExePath(), IDC_DESKTOP_USE_OTHER);
    ASSERT_NE(nullptr, settings.page) << "no tree item shows the Settings page";
    // Unchecked, OK would delete the key; Cancel must not.
    SendMessageA(settings.Item(IDC_DESKTOP_USE_OTHER), BM_CLICK, 0, 0);
    ASSERT_TRUE(settings.Press(IDCANCEL));
    EXPECT_EQ(0u, settings.WaitForExit());

    std::string query = kt_test::RegQuery(std::string("\"HKCU\\") + kDskPathKey + "\"");
    EXPECT_NE(std::string::npos, query.find("D:\\old desk")) << query;
}

}  // namespace
