// The release archive on a machine that has never seen the build: this
// program runs inside a fresh Wine prefix into which the archive was
// unpacked (scripts/test-release.sh), beside the program it starts.
#include "resources/plugin_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/page_run.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kProductDir[] = "C:\\Program Files\\Korvane";
const char kTitle[] = "Korvane & Tools Configuration";

// Where the script unpacked the archive's folder; set by the script.
std::string ReleaseDir() {
    const char* dir = std::getenv("KT_RELEASE_DIR");
    return dir ? dir : "";
}

std::string ProgramPath() {
    return ReleaseDir() + "\\ktconfig.exe";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Release : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ReleaseDir().empty()) << "KT_RELEASE_DIR is not set";
        ASSERT_TRUE(Exists(ProgramPath())) << ProgramPath();
    }
    void TearDown() override { kt_test::ProgramTest::DeleteProductKeys(); }
};

TEST_F(Release, NoDriveLeadsOutOfTheFreshPrefix) {
    // C: alone: no drive maps the build directory or the rest of the host.
    EXPECT_EQ(1u << 2, GetLogicalDrives()) << "drives " << std::hex << GetLogicalDrives();
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Z:\\"));
}

TEST_F(Release, TheArchiveHoldsTheProgramTheTextAndThePluginKit) {
    for (const char* file :
         {"ktconfig.exe", "README.txt", "plugin-kit\\korvane_plugin.h", "plugin-kit\\BUILDING.txt",
          "plugin-kit\\sample\\sample_plugin.c", "plugin-kit\\sample\\sample_plugin.rc",
          "plugin-kit\\sample\\sample_plugin.def", "plugin-kit\\sample\\ktsample.dll"})
        EXPECT_TRUE(Exists(ReleaseDir() + "\\" + file)) << file;
}

TEST_F(Release, TheUnpackedProgramStartsAndCancelEndsItWithZero) {
    EXPECT_EQ(0u, kt_test::StartAndCancel(ProgramPath(), kTitle));
}

TEST_F(Release, TheSamplePluginsAreListedFromTheProductDirectory) {
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kProductKey, nullptr, "6.4");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, (std::string(kProductKey) + "\\AppPaths").c_str(),
                          nullptr, (std::string(kProductDir) + "\\korvane.exe").c_str());
    CreateDirectoryA(kProductDir, nullptr);
    std::string sample = std::string(kProductDir) + "\\ktsample.dll";
    ASSERT_TRUE(CopyFileA((ReleaseDir() + "\\plugin-kit\\sample\\ktsample.dll").c_str(),
                          sample.c_str(), FALSE))
        << GetLastError();

    kt_test::PageRun run(ProgramPath(), IDC_PLUGIN_LIST);
    ASSERT_NE(nullptr, run.page) << "no Plug-ins page";
    std::vector<std::string> rows = kt_test::ListBoxLines(run.Item(IDC_PLUGIN_LIST));
    EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Korvane Sample"));
    // The script built one more from the kit's source as BUILDING.txt says.
    EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Built From The Kit"));
    EXPECT_EQ(0u, run.PressAndWait(IDCANCEL));
    DeleteFileA(sample.c_str());
}

}  // namespace
