// The tool selection dialog as the page runs it for Add and Modify: the
// parameters and name it starts with, the name it proposes, what its edits
// take, and the names and command lines it refuses (saying so and staying
// open).
#include "tests/sharing/sharing_world.h"

#include "sharing/browse_app_dlg.h"
#include "tests/support/file_chooser.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using kt_test::FileChooser;
using kt_test::kSelectToolCaption;

class SelectionDialog : public ::testing::Test, protected kt_test::SharingWorld {
protected:
    // Presses Add or Modify and works the dialog with steps; every refusal
    // on the way is a message box whose text holds the next of refusals,
    // answered OK. A dialog the steps leave open is cancelled.
    void Choose(int button, const std::vector<std::string>& refusals,
                const std::function<void(FileChooser&)>& steps) {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kSelectToolCaption, "Na&me:", [&](HWND window) {
            FileChooser chooser(window);
            steps(chooser);
            if (chooser.IsOpen())
                chooser.Cancel();
        });
        for (const std::string& text : refusals)
            answerer.Expect(kSelectToolCaption, text, IDOK);
        Press(button);
        answerer.Verify();
    }
    void Modify(int row, const std::vector<std::string>& refusals,
                const std::function<void(FileChooser&)>& steps) {
        SelectRow(row);
        Choose(IDC_SHARETOOL_MODIFY, refusals, steps);
    }

    kt_test::ToolPrograms programs;
};

TEST_F(SelectionDialog, ANewToolStartsWithTheFirstParameterAndAProposedName) {
    std::string editor = programs.WithIcon("Editor.exe");
    ASSERT_NE(nullptr, Build());
    Choose(IDC_SHARETOOL_ADD, {}, [&](FileChooser& chooser) {
        EXPECT_EQ("%1", chooser.Text(IDC_BROWSEAPP_PARAMETERS));
        EXPECT_EQ("", chooser.Text(IDC_BROWSEAPP_NAME));
        chooser.OpenFolder(programs.dir.Path());
        ASSERT_TRUE(chooser.ClickFile("Editor.exe"));
        EXPECT_EQ("Editor", chooser.Text(IDC_BROWSEAPP_NAME));
        chooser.PressOpen();
    });
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ("Editor", Row(0).name);
    EXPECT_EQ("\"" + editor + "\" %1", Row(0).commandLine);
    // The new row is the selected one.
    EXPECT_STREQ("Editor", Page()->SelectedTool()->name);
    EXPECT_TRUE(Enabled(IDC_SHARETOOL_MODIFY));
}

TEST_F(SelectionDialog, TheSystemDialogKeepsItsReadOnlyBox) {
    ASSERT_NE(nullptr, Build());
    Choose(IDC_SHARETOOL_ADD, {}, [&](FileChooser& chooser) {
        HWND box = GetDlgItem(chooser.Window(), chx1);
        ASSERT_NE(nullptr, box);
        EXPECT_TRUE(IsWindowVisible(box));
    });
    EXPECT_EQ(0, RowCount());
}

TEST_F(SelectionDialog, TheEditsTakeWhatAToolCanKeepAndANameOfThirtyStaysWhole) {
    std::string program = programs.WithIcon("tool.exe");
    ASSERT_NE(nullptr, Build());
    const std::string thirty = "Abcdefghij Klmnopqrst Uvwxyz 1";
    ASSERT_EQ(30u, thirty.size());
    Choose(IDC_SHARETOOL_ADD, {}, [&](FileChooser& chooser) {
        EXPECT_EQ(
            kParametersTypedLimit,
            SendMessageA(chooser.TemplateItem(IDC_BROWSEAPP_PARAMETERS), EM_GETLIMITTEXT, 0, 0));
        EXPECT_EQ(kNameTypedLimit,
                  SendMessageA(chooser.TemplateItem(IDC_BROWSEAPP_NAME), EM_GETLIMITTEXT, 0, 0));
        chooser.Type(IDC_BROWSEAPP_NAME, thirty);
        chooser.TypeFileName(program);
        chooser.PressOpen();
    });
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ(thirty, Row(0).name);
}

TEST_F(SelectionDialog, WithoutParametersTheProgramIsStoredBareOrQuotedWhenItHasBlanks) {
    struct Case {
        std::string program;
        std::string commandLine;
    };
    kt_test::ToolPrograms files;
    const Case cases[] = {
        {files.WithoutIcon("plain.exe"), files.dir.File("plain.exe")},
        {files.WithoutIcon("With Blank\\tool.exe"),
         "\"" + files.dir.File("With Blank\\tool.exe") + "\""},
    };
    for (const Case& c : cases) {
        kt_test::SharingWorld w;
        ASSERT_NE(nullptr, w.Build());
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kSelectToolCaption, "",
                             kt_test::ChooseFile(c.program, {{IDC_BROWSEAPP_PARAMETERS, ""}}));
        w.Press(IDC_SHARETOOL_ADD);
        answerer.Verify();
        ASSERT_EQ(1, w.RowCount()) << c.program;
        EXPECT_EQ(c.commandLine, w.Row(0).commandLine);
        w.dialog.PressOk();
        std::vector<std::pair<std::string, std::string>> stored = w.Stored();
        ASSERT_EQ(1u, stored.size());
        EXPECT_EQ(c.commandLine, stored[0].second);
    }
}

TEST_F(SelectionDialog, ANameWithABackslashIsRefusedAndTheDialogStaysOpen) {
    std::string program = programs.WithIcon("tool.exe");
    ASSERT_NE(nullptr, Build());
    Choose(IDC_SHARETOOL_ADD, {"cannot contain a backslash"}, [&](FileChooser& chooser) {
        chooser.Type(IDC_BROWSEAPP_NAME, "Tools\\Monitor");
        chooser.TypeFileName(program);
        chooser.PressOpen();
        EXPECT_TRUE(chooser.IsOpen());
        EXPECT_EQ("Tools\\Monitor", chooser.Text(IDC_BROWSEAPP_NAME));
        chooser.Type(IDC_BROWSEAPP_NAME, "Monitor");
        chooser.PressOpen();
        EXPECT_FALSE(chooser.IsOpen());
    });
    EXPECT_EQ((std::vector<std::string>{"Monitor"}), Names());
}

TEST_F(SelectionDialog, ANameAnotherRowHasInAnyCaseIsRefusedButModifyKeepsItsOwn) {
    std::string editor = programs.WithIcon("Editor.exe");
    Seed("Editor", editor);
    Seed("Viewer", programs.WithIcon("viewer.exe"));
    ASSERT_NE(nullptr, Build());
    // Typed, and proposed from the same program.
    Choose(IDC_SHARETOOL_ADD,
           {"There is already a tool named 'EDITOR'.", "There is already a tool named 'Editor'."},
           [&](FileChooser& chooser) {
               chooser.Type(IDC_BROWSEAPP_NAME, "EDITOR");
               chooser.TypeFileName(editor);
               chooser.PressOpen();
               EXPECT_TRUE(chooser.IsOpen());
               chooser.Type(IDC_BROWSEAPP_NAME, "");
               chooser.PressOpen();
               EXPECT_TRUE(chooser.IsOpen());
           });
    EXPECT_EQ(2, RowCount());
    // Another row's name is refused for Modify too; its own name is not.
    Modify(0, {"There is already a tool named 'viewer'."}, [&](FileChooser& chooser) {
        chooser.Type(IDC_BROWSEAPP_NAME, "viewer");
        chooser.PressOpen();
        EXPECT_TRUE(chooser.IsOpen());
        chooser.Type(IDC_BROWSEAPP_NAME, "editor");
        chooser.PressOpen();
        EXPECT_FALSE(chooser.IsOpen());
    });
    EXPECT_EQ((std::vector<std::string>{"editor", "Viewer"}), Names());
}

TEST_F(SelectionDialog, AProgramAndParametersTooLongForOneCommandLineAreRefused) {
    // 200 characters of path and 60 of parameters: 263 with quotes and blank;
    // with 57, 260: one too many, refused rather than cut; with 56, 259.
    std::string folder = programs.dir.Path() + "\\";
    std::string relative = std::string(200 - folder.size() - 4, 'p') + ".exe";
    std::string program = programs.WithoutIcon(relative);
    ASSERT_EQ(200u, program.size());
    ASSERT_NE(nullptr, Build());
    Choose(IDC_SHARETOOL_ADD, {"longer than 259 characters", "longer than 259 characters"},
           [&](FileChooser& chooser) {
               chooser.Type(IDC_BROWSEAPP_PARAMETERS, std::string(60, 'a'));
               chooser.TypeFileName(program);
               chooser.PressOpen();
               EXPECT_TRUE(chooser.IsOpen());
               chooser.Type(IDC_BROWSEAPP_PARAMETERS, std::string(57, 'a'));
               chooser.PressOpen();
               EXPECT_TRUE(chooser.IsOpen());
               chooser.Type(IDC_BROWSEAPP_PARAMETERS, std::string(56, 'a'));
               chooser.PressOpen();
               EXPECT_FALSE(chooser.IsOpen());
           });
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ("\"" + program + "\" " + std::string(56, 'a'), Row(0).commandLine);
    const std::string name = Row(0).name;
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{
                  {name, "\"" + program + "\" " + std::string(56, 'a')}}),
              Stored());
}

TEST_F(SelectionDialog, TheFirstSelectionOnlyRecordsThePathLaterOnesProposeAName) {
    std::string tool = programs.WithIcon("tool.exe");
    programs.WithIcon("other.exe");
    Seed("My Editor", tool);
    ASSERT_NE(nullptr, Build());
    Modify(0, {}, [&](FileChooser& chooser) {
        // The dialog opens on the tool's own program.
        EXPECT_EQ("tool.exe", chooser.FileName());
        EXPECT_EQ("My Editor", chooser.Text(IDC_BROWSEAPP_NAME));
        ASSERT_TRUE(chooser.ClickFile("other.exe"));
        EXPECT_EQ("Other", chooser.Text(IDC_BROWSEAPP_NAME));
        // A proposal that differs only in case leaves the typed name.
        chooser.Type(IDC_BROWSEAPP_NAME, "TOOL");
        ASSERT_TRUE(chooser.ClickFile("tool.exe"));
        EXPECT_EQ("TOOL", chooser.Text(IDC_BROWSEAPP_NAME));
        chooser.Cancel();
    });
    // Cancelled: nothing changed.
    EXPECT_EQ("My Editor", Row(0).name);
    dialog.PressOk();
    EXPECT_FALSE(DirtySet());
}

TEST_F(SelectionDialog, OkWithAnEmptyNameNamesTheToolAfterTheChosenFile) {
    std::string monitor = programs.WithIcon("Channel Tools\\MONITOR.EXE");
    ASSERT_NE(nullptr, Build());
    // The path is typed: no file was ever selected in the list.
    Choose(IDC_SHARETOOL_ADD, {}, [&](FileChooser& chooser) {
        chooser.TypeFileName(monitor);
        chooser.PressOpen();
    });
    EXPECT_EQ((std::vector<std::string>{"Monitor"}), Names());
}

TEST_F(SelectionDialog, ModifyRebuildsTheCommandLineAndWritesTheNameIntoTheTool) {
    std::string tool = programs.WithIcon("Tool Dir\\tool.exe");
    Seed("Tool", "\"" + tool + "\" %1");
    ASSERT_NE(nullptr, Build());
    Modify(0, {}, [&](FileChooser& chooser) {
        EXPECT_EQ("%1", chooser.Text(IDC_BROWSEAPP_PARAMETERS));
        chooser.Type(IDC_BROWSEAPP_PARAMETERS, "/watch %1");
        chooser.Type(IDC_BROWSEAPP_NAME, "Watcher");
        chooser.PressOpen();
    });
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ("Watcher", Row(0).name);
    EXPECT_EQ("\"" + tool + "\" /watch %1", Row(0).commandLine);
    dialog.PressOk();
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{
                  {"Watcher", "\"" + tool + "\" /watch %1"}}),
              Stored());
}

}  // namespace
