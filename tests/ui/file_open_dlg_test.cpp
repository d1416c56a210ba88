// The file-open dialog: the notifications that reach Notify through the
// template's dialog, a refused OK, the results of Run, the template's help
// button, and a process directory left alone.
#include "ui/app.h"
#include "ui/file_open_dlg.h"

#include "tests/support/file_chooser.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/file_open_dlg_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kTitle[] = "Layer Test Open";
const char kTemplate[] = "LAYERTESTOPEN";
const char kFilter[] = "Text files\0*.txt\0Any file (*.*)\0*.*\0";
const char kHelpFile[] = "C:\\help\\layer.hlp";
constexpr int kHelpNumber = 377;

std::vector<ULONG_PTR> helpContexts;

BOOL WINAPI RecordHelp(HWND, LPCSTR, UINT command, ULONG_PTR data) {
    if (command == HELP_CONTEXT)
        helpContexts.push_back(data);
    return TRUE;
}

// Records the notifications and the selected path at each; refuses the
// first OK when asked to.
class TRecordingOpenDlg : public TFileOpenDlg {
public:
    TRecordingOpenDlg(char* file, unsigned flags) : TFileOpenDlg(nullptr, file, kTitle, flags) {
        SetTemplate(kTemplate);
        SetFilter(kFilter);
    }
    int Notify(int id, NMHDR* header, LRESULT* result) override {
        codes.push_back(header->code);
        char path[MAX_PATH] = "";
        if (header->code == CDN_SELCHANGE && GetFilePath(path, sizeof path))
            selections.push_back(path);
        if (header->code == CDN_FILEOK && refuseOks > 0) {
            --refuseOks;
            *result = 1;
            return 1;
        }
        return TFileOpenDlg::Notify(id, header, result);
    }
    std::vector<UINT> codes;
    std::vector<std::string> selections;
    int refuseOks = 0;
};

class FileOpenDlgTest : public ::testing::Test {
protected:
    FileOpenDlgTest() : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {
        helpContexts.clear();
        oldHelp = TDialog::SetHelpHandler(RecordHelp);
        app.helpFile = kHelpFile;
    }
    ~FileOpenDlgTest() override { TDialog::SetHelpHandler(oldHelp); }

    TApp app;
    TDialog::HelpHandler oldHelp = nullptr;
    kt_test::TempDir dir;
};

TEST_F(FileOpenDlgTest, OpenGivesOneAndTheChosenFileAfterTheNotifications) {
    dir.Write("chosen.txt", "x");
    char file[MAX_PATH] = "";
    TRecordingOpenDlg dialog(file, OFN_FILEMUSTEXIST);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kTitle, "Text files", kt_test::ChooseFile(dir.File("chosen.txt")));
    EXPECT_EQ(1, dialog.Run(kHelpNumber));
    answerer.Verify();
    EXPECT_TRUE(lstrcmpiA(dir.File("chosen.txt").c_str(), file) == 0) << file;
    ASSERT_FALSE(dialog.codes.empty());
    EXPECT_EQ(CDN_INITDONE, dialog.codes.front());
    EXPECT_EQ(CDN_FILEOK, dialog.codes.back());
    EXPECT_TRUE(dialog.IsExplorer());
    // The object is no window's any more.
    EXPECT_EQ(nullptr, dialog.GetHandle());
}

TEST_F(FileOpenDlgTest, ARefusedOkKeepsTheDialogOpen) {
    dir.Write("chosen.txt", "x");
    char file[MAX_PATH] = "";
    TRecordingOpenDlg dialog(file, OFN_FILEMUSTEXIST);
    dialog.refuseOks = 1;
    bool stayedOpen = false;
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kTitle, "", [&](HWND window) {
        kt_test::FileChooser chooser(window);
        chooser.TypeFileName(dir.File("chosen.txt"));
        chooser.PressOpen();
        stayedOpen = chooser.IsOpen();
        chooser.PressOpen();
    });
    EXPECT_EQ(1, dialog.Run(kHelpNumber));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(0, dialog.refuseOks);
}

TEST_F(FileOpenDlgTest, CancelGivesZeroAndLeavesTheBuffer) {
    char file[MAX_PATH] = "start.txt";
    TRecordingOpenDlg dialog(file, 0);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kTitle, "", kt_test::CancelFileChooser());
    EXPECT_EQ(0, dialog.Run(kHelpNumber));
    EXPECT_STREQ("start.txt", file);
}

TEST_F(FileOpenDlgTest, TheSelectedPathIsTheClickedFile) {
    dir.Write("one.txt", "1");
    dir.Write("two.txt", "2");
    char file[MAX_PATH] = "";
    TRecordingOpenDlg dialog(file, OFN_FILEMUSTEXIST);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kTitle, "", [&](HWND window) {
        kt_test::FileChooser chooser(window);
        chooser.OpenFolder(dir.Path());
        EXPECT_TRUE(chooser.ClickFile("two.txt"));
        chooser.Cancel();
    });
    EXPECT_EQ(0, dialog.Run(kHelpNumber));
    ASSERT_FALSE(dialog.selections.empty());
    EXPECT_TRUE(lstrcmpiA(dir.File("two.txt").c_str(), dialog.selections.back().c_str()) == 0)
        << dialog.selections.back();
}

TEST_F(FileOpenDlgTest, TheTemplatesHelpButtonOpensHelpAtTheRunsNumber) {
    char file[MAX_PATH] = "";
    TRecordingOpenDlg dialog(file, 0);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kTitle, "", [](HWND window) {
        kt_test::FileChooser chooser(window);
        HWND help = chooser.TemplateItem(IDHELP);
        ASSERT_NE(nullptr, help);
        SendMessageA(GetParent(help), WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(help));
        chooser.Cancel();
    });
    EXPECT_EQ(0, dialog.Run(kHelpNumber));
    EXPECT_EQ(std::vector<ULONG_PTR>{kHelpNumber}, helpContexts);
}

TEST_F(FileOpenDlgTest, ChoosingInAnotherFolderLeavesTheProcessDirectory) {
    dir.Write("sub\\chosen.txt", "x");
    char before[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(sizeof before, before));
    char file[MAX_PATH] = "";
    TRecordingOpenDlg dialog(file, OFN_FILEMUSTEXIST);
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo(kTitle, "", kt_test::ChooseFile(dir.File("sub\\chosen.txt")));
    EXPECT_EQ(1, dialog.Run(kHelpNumber));
    char after[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(sizeof after, after));
    EXPECT_STREQ(before, after);
}

}  // namespace
