#include "resources/share_tool_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/file_chooser.h"
#include "tests/support/page_run.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const char kSelectToolTitle[] = "Select tool";
const char kDeleteTitle[] = "Confirm tool delete";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";

using SharingProgram = kt_test::ProgramTest;

// The program on the sample installation with its Channel sharing page shown.
class SharingRun : public kt_test::PageRun {
public:
    explicit SharingRun(const std::string& exePath) : PageRun(exePath, IDC_SHARETOOL_LIST) {}
    HWND List() const { return Item(IDC_SHARETOOL_LIST); }
    int Rows() const { return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // The program adds the row after its file dialog has gone, in its own
    // time: the count a while later.
    int RowsOnceThere(int wanted) const {
        constexpr DWORD kWaitMs = 15000;
        for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(20)) {
            if (Rows() == wanted)
                break;
        }
        return Rows();
    }
};

TEST_F(SharingProgram, AToolAddedThroughTheFileDialogIsInTheLaunchKeyAfterOk) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Notes").c_str(),
                          nullptr, "C:\\notes.exe");
    kt_test::TempDir programs;
    programs.Write("Channel Tools\\monitor.exe", "MZ");
    const std::string monitor = programs.File("Channel Tools\\monitor.exe");

    SharingRun sharing(ExePath());
    ASSERT_NE(nullptr, sharing.page) << "no tree item shows the Channel sharing page";
    EXPECT_EQ(1, sharing.Rows());
    ASSERT_TRUE(sharing.Click(sharing.page, IDC_SHARETOOL_ADD));
    HWND chooserWindow = sharing.WaitShown(kSelectToolTitle);
    ASSERT_NE(nullptr, chooserWindow) << "the file dialog did not come";
    kt_test::FileChooser chooser(chooserWindow);
    EXPECT_EQ("%1", chooser.Text(IDC_BROWSEAPP_PARAMETERS));
    chooser.Type(IDC_BROWSEAPP_PARAMETERS, "/watch %1");
    chooser.Type(IDC_BROWSEAPP_NAME, "Monitor");
    chooser.TypeFileName(monitor);
    chooser.PressOpen();
    ASSERT_TRUE(kt_test::PageRun::WaitGone(chooserWindow));
    EXPECT_EQ(2, sharing.RowsOnceThere(2));
    ASSERT_TRUE(sharing.Click(sharing.dialog, IDOK));
    EXPECT_EQ(0u, sharing.WaitForExit());

    std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kLaunchKey + "\" /s");
    EXPECT_NE(std::string::npos, query.find("Launch\\Monitor")) << query;
    EXPECT_NE(std::string::npos, query.find("\"" + monitor + "\" /watch %1")) << query;
    EXPECT_NE(std::string::npos, query.find("Launch\\Notes")) << query;
    EXPECT_NE(std::string::npos, query.find("C:\\notes.exe")) << query;
    EXPECT_NE(std::string::npos, query.find("Dirty")) << query;
    EXPECT_NE(std::string::npos, query.find("0x1")) << query;
}

TEST_F(SharingProgram, ADeletionIsWrittenByOkAndForgottenByCancel) {
    kt_test::TempDir channelDir;
    for (UINT button : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(button == IDOK ? "OK" : "Cancel");
        DeleteProductKeys();
        kt_test::SeedInstallation(channelDir.Path());
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Notes").c_str(),
                              nullptr, "C:\\notes.exe");

        SharingRun sharing(ExePath());
        ASSERT_NE(nullptr, sharing.page) << "no tree item shows the Channel sharing page";
        ASSERT_EQ(1, sharing.Rows());
        // Home selects the first row; Delete asks for it to go.
        PostMessageA(sharing.List(), WM_KEYDOWN, VK_HOME, 0);
        PostMessageA(sharing.List(), WM_KEYDOWN, VK_DELETE, 0);
        HWND question = sharing.WaitShown(kDeleteTitle);
        ASSERT_NE(nullptr, question) << "the question did not come";
        ASSERT_TRUE(sharing.Click(question, IDYES));
        ASSERT_TRUE(kt_test::PageRun::WaitGone(question));
        EXPECT_EQ(0, sharing.RowsOnceThere(0));
        ASSERT_TRUE(sharing.Click(sharing.dialog, static_cast<int>(button)));
        EXPECT_EQ(0u, sharing.WaitForExit());

        std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kLaunchKey + "\" /s");
        if (button == IDOK) {
            EXPECT_EQ(std::string::npos, query.find("Notes")) << query;
            EXPECT_NE(std::string::npos, query.find("Dirty")) << query;
        } else {
            EXPECT_NE(std::string::npos, query.find("Launch\\Notes")) << query;
            EXPECT_EQ(std::string::npos, query.find("Dirty")) << query;
        }
    }
}

}  // namespace
