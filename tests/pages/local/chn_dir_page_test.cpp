// The Channel files page against the real registry (sandboxed), real files
// in temporary directories and the real dialog.
#include "pages/local/chn_dir_page.h"
#include "resources/chn_dir_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_win.h"
#include "tests/support/config_dialog.h"
#include "tests/support/folder_chooser.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"
#include "ui/file_util.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using kt_test::PathExists;
using kt_test::ReadFileText;

const char kKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kPageName[] = "Channel files";
const char kQuestionCaption[] = "Korvane & Tools Configuration";
const char kCreateQuestion[] =
    "The channel file directory does not exist. Do you want to create it?";
const char kToolMapping[] = "sharedchanneldataV_1";

const int kMoveBoxes[] = {IDC_CHNDIR_MOVE_CHANNELS, IDC_CHNDIR_MOVE_COMMANDS,
                          IDC_CHNDIR_MOVE_TEMPLATES, IDC_CHNDIR_MOVE_OTHERS};

using Files = std::map<std::string, std::string>;

// A channel file directory with a file of every kind; each content is unique.
const Files kSampleFiles = {
    {"alpha.chn", "channel alpha"}, {"beta.chn", "channel beta"}, {"danger.txt", "format c:"},
    {"letter.tpl", "template"},     {"listd1.cnf", "list cache"}, {"treed1.cnf", "tree cache"},
    {"notes.dat", "other file"},    {"README", "no extension"},
};

// A tool of the suite is running while one of these lives.
class ToolMapping {
public:
    ToolMapping()
        : mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                     kToolMapping)) {
        EXPECT_TRUE(mapping) << "error " << GetLastError();
    }
    ~ToolMapping() { Close(); }
    void Close() {
        if (mapping)
            CloseHandle(mapping);
        mapping = nullptr;
    }

private:
    HANDLE mapping;
};

class ChnDirPageTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::string& link : unixLinks)
            kt_test::StartUnixProgram("/bin/rm", "rm -f \"" + link + "\"");
    }

    std::string OldDir() const { return temp.File("old"); }
    std::string NewDir() const { return temp.File("new"); }

    void Seed(const std::string& dir, const Files& files) {
        CreateDirectoryA(dir.c_str(), nullptr);
        for (const auto& [name, content] : files) {
            HANDLE file = CreateFileA((dir + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
            DWORD written = 0;
            WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
            CloseHandle(file);
        }
    }

    void StoreDir(const std::string& dir) {
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kKey, nullptr, dir.c_str());
    }
    std::string StoredDir() const {
        std::string text;
        if (!kt_test::GetRegString(HKEY_LOCAL_MACHINE, kKey, nullptr, &text))
            return "<none>";
        return text;
    }

    // A fresh registry and no dialog, for the next case of a table.
    void Fresh() {
        dialog.reset();
        registry.reset();
        registry = std::make_unique<kt_test::RegistrySandbox>();
        dialog = std::make_unique<kt_test::ConfigDialogFixture>();
    }
    void Open() {
        ASSERT_TRUE(dialog->Build());
        page = dialog->PageWindow(kPageName);
        ASSERT_TRUE(page);
    }

    std::string Text(int id) const {
        char buffer[2048] = "";
        GetDlgItemTextA(page, id, buffer, sizeof buffer);
        return buffer;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    std::vector<bool> BoxesEnabled() const {
        std::vector<bool> enabled;
        for (int id : kMoveBoxes)
            enabled.push_back(Enabled(id));
        return enabled;
    }
    // Typing replaces the edit's text and notifies the page as keys do.
    void Type(const std::string& text) { SetDlgItemTextA(page, IDC_CHNDIR_NEW, text.c_str()); }
    // As a click: a disabled box stays as it is.
    void Click(int id) { SendDlgItemMessageA(page, id, BM_CLICK, 0, 0); }
    void CheckEnabledBoxes() {
        for (int id : kMoveBoxes)
            if (Enabled(id))
                Click(id);
    }
    // The static's own state: the dialog itself is not shown in these tests.
    bool ToolWarningVisible() const {
        return (GetWindowLongPtrA(GetDlgItem(page, IDC_CHNDIR_TOOL_WARNING), GWL_STYLE) &
                WS_VISIBLE) != 0;
    }

    // Every file is in one of the two directories with its content.
    void ExpectNoneLost(const Files& files, const std::string& newDir) {
        for (const auto& [name, content] : files) {
            std::string inNew = ReadFileText(newDir + "\\" + name);
            std::string inOld = ReadFileText(OldDir() + "\\" + name);
            EXPECT_TRUE(inNew == content || inOld == content)
                << name << ": new '" << inNew << "', old '" << inOld << "'";
        }
    }
    void ExpectMoved(const std::string& name, const std::string& content) {
        EXPECT_EQ(ReadFileText(NewDir() + "\\" + name), content) << name;
        EXPECT_FALSE(PathExists(OldDir() + "\\" + name)) << name;
    }
    void ExpectStayed(const std::string& name, const std::string& content) {
        EXPECT_EQ(ReadFileText(OldDir() + "\\" + name), content) << name;
        EXPECT_FALSE(PathExists(NewDir() + "\\" + name)) << name;
    }
    std::vector<std::string> Lines() const { return dialog->ErrorLines(); }

    // A Unix symbolic link to target, seen by Wine as a directory; empty when
    // none could be made.
    std::string MakeUnixLink(const std::string& target, const std::string& link) {
        std::string unixTarget = kt_test::UnixPath(target), unixLink = kt_test::UnixPath(link);
        if (unixTarget.empty() || unixLink.empty())
            return std::string();
        kt_test::StartUnixProgram("/bin/ln", "ln -s \"" + unixTarget + "\" \"" + unixLink + "\"");
        unixLinks.push_back(unixLink);
        for (int i = 0; i < 100 && !PathExists(link + "\\alpha.chn"); ++i)
            Sleep(50);
        return PathExists(link + "\\alpha.chn") ? link : std::string();
    }

    std::unique_ptr<kt_test::RegistrySandbox> registry =
        std::make_unique<kt_test::RegistrySandbox>();
    kt_test::TempDir temp;
    std::unique_ptr<kt_test::ConfigDialogFixture> dialog =
        std::make_unique<kt_test::ConfigDialogFixture>();
    HWND page = nullptr;
    std::vector<std::string> unixLinks;
};

TEST_F(ChnDirPageTest, NoStoredDirectoryShowsDashAndKeepsEveryBoxDisabled) {
    Seed(NewDir(), {});
    Open();
    EXPECT_EQ(Text(IDC_CHNDIR_CURRENT), "-");
    EXPECT_EQ(Text(IDC_CHNDIR_NEW), "");
    EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, false));

    Type(NewDir());
    EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, false));
    Click(IDC_CHNDIR_MOVE_OTHERS);
    dialog->PressOk();
    EXPECT_FALSE(dialog->DialogAlive());
    EXPECT_EQ(StoredDir(), NewDir());
    EXPECT_TRUE(Lines().empty());
}

TEST_F(ChnDirPageTest, StoredDirectoryIsShownAndBoxesFollowTheFilesThere) {
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    Open();
    EXPECT_EQ(Text(IDC_CHNDIR_CURRENT), OldDir());
    EXPECT_EQ(Text(IDC_CHNDIR_NEW), OldDir());
    EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, false));
    Type(NewDir());
    EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, true));
    EXPECT_FALSE(ToolWarningVisible());
}

TEST_F(ChnDirPageTest, TypingBackTheCurrentDirectoryDisablesEveryBoxAndOkWritesNothing) {
    struct Case {
        const char* name;
        std::string typed;
    };
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {});
    std::string upper = OldDir();
    CharUpperA(&upper[0]);
    const Case cases[] = {
        {"same text", OldDir()},
        {"another case", upper},
        {"trailing backslash", OldDir() + "\\"},
        {"trailing dot", OldDir() + "\\."},
        {"through its parent", OldDir() + "\\..\\old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        // The stored spelling shows whether anything was written again.
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kKey, nullptr, (OldDir() + "\\").c_str());
        Open();
        Type(NewDir());
        EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, true));
        CheckEnabledBoxes();
        Type(c.typed);
        EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, false));
        dialog->PressOk();
        EXPECT_FALSE(dialog->DialogAlive());
        EXPECT_EQ(StoredDir(), OldDir() + "\\");
        EXPECT_TRUE(dialog->ErrorLines().empty());
        for (const auto& [name, content] : kSampleFiles)
            ExpectStayed(name, content);
    }
}

TEST_F(ChnDirPageTest, WithoutTemplateFilesTheTemplateBoxStaysDisabled) {
    Files files = kSampleFiles;
    files.erase("letter.tpl");
    Seed(OldDir(), files);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    Open();
    Type(NewDir());
    EXPECT_TRUE(Enabled(IDC_CHNDIR_MOVE_CHANNELS));
    EXPECT_TRUE(Enabled(IDC_CHNDIR_MOVE_COMMANDS));
    EXPECT_FALSE(Enabled(IDC_CHNDIR_MOVE_TEMPLATES));
    EXPECT_TRUE(Enabled(IDC_CHNDIR_MOVE_OTHERS));
}

TEST_F(ChnDirPageTest, EmptyNewDirectoryIsRefused) {
    Seed(OldDir(), kSampleFiles);
    StoreDir(OldDir());
    Open();
    Type("");
    dialog->PressOk();
    EXPECT_TRUE(dialog->DialogAlive());
    EXPECT_EQ(StoredDir(), OldDir());
    EXPECT_EQ(Lines(),
              std::vector<std::string>{"Channel files:  You must specify a channel directory."});
}

TEST_F(ChnDirPageTest, MissingNewDirectoryIsCreatedOnlyWhenTheUserAgrees) {
    struct Case {
        const char* name;
        std::string newDir;
        int answer;
        bool created;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"No", NewDir(), IDNO, false, {}},
        {"Yes", NewDir(), IDYES, true, {}},
        {"Yes without parent",
         temp.File("missing\\new"),
         IDYES,
         false,
         {"Channel files:  Failed to create the channel directory!"}},
    };
    Seed(OldDir(), kSampleFiles);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveDirectoryA(NewDir().c_str());
        Fresh();
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kKey, nullptr, OldDir().c_str());
        Open();
        Type(c.newDir);
        {
            kt_test::ModalAnswerer answerer;
            answerer.Expect(kQuestionCaption, kCreateQuestion, c.answer);
            dialog->PressOk();
        }
        EXPECT_EQ(PathExists(c.newDir), c.created);
        EXPECT_EQ(dialog->DialogAlive(), !c.created);
        EXPECT_EQ(StoredDir(), c.created ? c.newDir : OldDir());
        EXPECT_EQ(dialog->ErrorLines(), c.lines);
        // Nothing was asked to move.
        for (const auto& [name, content] : kSampleFiles)
            EXPECT_EQ(ReadFileText(OldDir() + "\\" + name), content) << name;
    }
}

TEST_F(ChnDirPageTest, ChannelFilesMoveAndTheirCachesAreRemovedNotMoved) {
    Files files = kSampleFiles;
    files["hidden.chn"] = "hidden channel";
    Seed(OldDir(), files);
    SetFileAttributesA((OldDir() + "\\hidden.chn").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_CHANNELS);
    dialog->PressOk();
    EXPECT_FALSE(dialog->DialogAlive());
    EXPECT_EQ(StoredDir(), NewDir());
    ExpectMoved("alpha.chn", "channel alpha");
    ExpectMoved("beta.chn", "channel beta");
    ExpectMoved("hidden.chn", "hidden channel");
    for (const char* cache : {"listd1.cnf", "treed1.cnf"}) {
        EXPECT_FALSE(PathExists(OldDir() + "\\" + cache)) << cache;
        EXPECT_FALSE(PathExists(NewDir() + "\\" + cache)) << cache;
    }
    for (const char* kept : {"danger.txt", "letter.tpl", "notes.dat", "README"})
        ExpectStayed(kept, kSampleFiles.at(kept));
}

TEST_F(ChnDirPageTest, OtherFilesBoxAloneMovesEveryFileButNotSubdirectories) {
    Files files = kSampleFiles;
    files["system.dat"] = "system file";
    Seed(OldDir(), files);
    SetFileAttributesA((OldDir() + "\\system.dat").c_str(),
                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    Seed(OldDir() + "\\sub", {{"inner.chn", "inner"}});
    Seed(NewDir(), {});
    StoreDir(OldDir());
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_OTHERS);
    dialog->PressOk();
    EXPECT_FALSE(dialog->DialogAlive());
    for (const auto& [name, content] : files)
        ExpectMoved(name, content);
    EXPECT_EQ(ReadFileText(OldDir() + "\\sub\\inner.chn"), "inner");
    EXPECT_FALSE(PathExists(NewDir() + "\\sub"));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(ChnDirPageTest, EachBoxMovesItsOwnKindOnly) {
    struct Case {
        int box;
        std::vector<std::string> moved;
    };
    const Case cases[] = {
        {IDC_CHNDIR_MOVE_COMMANDS, {"danger.txt"}},
        {IDC_CHNDIR_MOVE_TEMPLATES, {"letter.tpl"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        kt_test::TempDir caseTemp;
        Fresh();
        std::string oldDir = caseTemp.File("old"), newDir = caseTemp.File("new");
        Seed(oldDir, kSampleFiles);
        Seed(newDir, {});
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kKey, nullptr, oldDir.c_str());
        Open();
        Type(newDir);
        Click(c.box);
        dialog->PressOk();
        for (const auto& [name, content] : kSampleFiles) {
            bool moves = std::find(c.moved.begin(), c.moved.end(), name) != c.moved.end();
            EXPECT_EQ(ReadFileText((moves ? newDir : oldDir) + "\\" + name), content) << name;
            EXPECT_EQ(PathExists((moves ? oldDir : newDir) + "\\" + name), false) << name;
        }
    }
}

TEST_F(ChnDirPageTest, ExistingTargetFileIsOverwritten) {
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {{"alpha.chn", "stale copy"}});
    StoreDir(OldDir());
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_CHANNELS);
    dialog->PressOk();
    ExpectMoved("alpha.chn", "channel alpha");
    EXPECT_TRUE(Lines().empty());
}

TEST_F(ChnDirPageTest, SourceHeldOpenWithoutSharingStaysAndIsReportedOnce) {
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    HANDLE held = CreateFileA((OldDir() + "\\alpha.chn").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_CHANNELS);
    dialog->PressOk();
    CloseHandle(held);

    // The page saved; the dialog stays open only to show the errors.
    EXPECT_TRUE(dialog->DialogAlive());
    EXPECT_TRUE(IsWindowVisible(dialog->ErrorWindow()));
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"Channel files:  Cannot move file '" + OldDir() +
                                            "\\alpha.chn' to '" + NewDir() + "\\alpha.chn'",
                                        "Channel files:  Not all files are moved"}));
    ASSERT_TRUE(TErrorWin::Current());
    EXPECT_TRUE(TErrorWin::Current()->HasErrors());
    ExpectStayed("alpha.chn", "channel alpha");
    ExpectMoved("beta.chn", "channel beta");
    EXPECT_EQ(StoredDir(), NewDir());
}

TEST_F(ChnDirPageTest, SameFolderUnderAnotherNameKeepsEveryFile) {
    Files files = kSampleFiles;
    Seed(OldDir(), files);
    StoreDir(OldDir());
    struct Case {
        const char* name;
        std::string alias;
    };
    std::vector<Case> cases;
    std::string unixPath = kt_test::UnixPath(OldDir());
    ASSERT_FALSE(unixPath.empty()) << "Wine tells no Unix path";
    std::string zPath = "Z:" + unixPath;
    for (char& ch : zPath)
        if (ch == '/')
            ch = '\\';
    cases.push_back({"drive that maps the same folder", zPath});
    std::string link = MakeUnixLink(OldDir(), temp.File("link"));
    ASSERT_FALSE(link.empty()) << "no Unix symbolic link could be made";
    cases.push_back({"unix symbolic link", link});
    cases.push_back({"symbolic link with a trailing backslash", link + "\\"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        StoreDir(OldDir());
        Open();
        Type(c.alias);
        // The names differ, so the page offers the moves.
        EXPECT_TRUE(Enabled(IDC_CHNDIR_MOVE_OTHERS));
        CheckEnabledBoxes();
        dialog->PressOk();
        EXPECT_FALSE(dialog->DialogAlive());
        EXPECT_EQ(StoredDir(), c.alias);
        EXPECT_TRUE(dialog->ErrorLines().empty());
        for (const auto& [name, content] : files)
            EXPECT_EQ(ReadFileText(OldDir() + "\\" + name), content) << name;
    }
}

TEST_F(ChnDirPageTest, TargetThatIsAHardLinkOfTheSourceKeepsTheFile) {
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {});
    ASSERT_TRUE(CreateHardLinkA((NewDir() + "\\alpha.chn").c_str(),
                                (OldDir() + "\\alpha.chn").c_str(), nullptr));
    StoreDir(OldDir());
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_CHANNELS);
    dialog->PressOk();
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(ReadFileText(NewDir() + "\\alpha.chn"), "channel alpha");
    ExpectMoved("beta.chn", "channel beta");
}

TEST_F(ChnDirPageTest, RunningToolShowsTheWarningUntilAnActivationChangeFindsItGone) {
    ToolMapping tool;
    Open();
    EXPECT_TRUE(ToolWarningVisible());

    tool.Close();
    SendMessageA(dialog->DialogWindow(), WM_ACTIVATEAPP, TRUE, 0);
    // Not at once: the page asks once the activation change has settled, from
    // its timer (the one re-check, whatever the start left pending).
    EXPECT_TRUE(ToolWarningVisible()) << "the page looked while the activation was under way";
    kt_test::PumpUntil([&] { return !ToolWarningVisible(); }, 10000, "the warning to go");

    // With the re-check done, a tool that starts now shows only after the
    // next activation change.
    ToolMapping again;
    kt_test::PumpFor(100);
    EXPECT_FALSE(ToolWarningVisible()) << "the page looks again only after an activation change";
    SendMessageA(dialog->DialogWindow(), WM_ACTIVATEAPP, FALSE, 0);
    kt_test::PumpUntil([&] { return ToolWarningVisible(); }, 10000, "the warning to come back");
}

TEST_F(ChnDirPageTest, SavingWhileAToolRunsWarnsAndKeepsTheWrite) {
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    ToolMapping tool;
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_CHANNELS);
    dialog->PressOk();
    EXPECT_EQ(StoredDir(), NewDir());
    EXPECT_EQ(Lines(), std::vector<std::string>{
                           "Channel files:  Cannot change the channel file directory if any tool "
                           "is still running"});
    ASSERT_TRUE(TErrorWin::Current());
    EXPECT_FALSE(TErrorWin::Current()->HasErrors()) << "a running tool is only a warning";
    ExpectMoved("alpha.chn", "channel alpha");
}

TEST_F(ChnDirPageTest, OverlongStoredValueIsCutAndMovesNothing) {
    Seed(NewDir(), {});
    std::string stored = "C:\\" + std::string(400, 'x');
    StoreDir(stored);
    Open();
    EXPECT_EQ(Text(IDC_CHNDIR_CURRENT), stored.substr(0, MAX_PATH - 1));
    Type(NewDir());
    EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, false));
    Click(IDC_CHNDIR_MOVE_OTHERS);
    dialog->PressOk();
    EXPECT_FALSE(dialog->DialogAlive());
    EXPECT_EQ(StoredDir(), NewDir());
    EXPECT_TRUE(Lines().empty());
}

TEST_F(ChnDirPageTest, AStoredDirectoryCountsAsCutFromThePathSizeOn) {
    // A directory of 259 characters exists; longer stored values begin with
    // its name, so a cut copy would name it and move its files.
    std::string existing = temp.File(std::string(MAX_PATH - 2 - temp.Path().size(), 'c'));
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 1), existing.size());
    ASSERT_TRUE(CreateDirectoryA(existing.c_str(), nullptr)) << GetLastError();
    Seed(NewDir(), {});
    struct Case {
        std::string stored;
        bool cut;
    };
    const Case cases[] = {{existing, false}, {existing + "x", true}, {existing + "xy", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.size());
        Fresh();
        StoreDir(c.stored);
        Open();
        Type(NewDir());
        EXPECT_EQ(Enabled(IDC_CHNDIR_MOVE_OTHERS), !c.cut);
        EXPECT_FALSE(Enabled(IDC_CHNDIR_MOVE_CHANNELS));
        dialog->PressOk();
        EXPECT_FALSE(dialog->DialogAlive());
        EXPECT_EQ(StoredDir(), NewDir());
        EXPECT_TRUE(PathExists(existing));
    }
}

TEST_F(ChnDirPageTest, AFileWhoseTargetPathDoesNotFitStaysWhereItIs) {
    // The target directory, a backslash and "alpha.chn" come to the length
    // of each case: 259 fits a path, 260 and 261 do not.
    const std::string name = "alpha.chn";
    for (int length : {MAX_PATH - 1, MAX_PATH, MAX_PATH + 1}) {
        SCOPED_TRACE(length);
        Fresh();
        kt_test::TempDir world;
        std::string oldDir = world.File("old");
        Seed(oldDir, {{name, "channel alpha"}});
        size_t dirLength = static_cast<size_t>(length) - 1 - name.size();
        std::string target = world.File(std::string(dirLength - world.Path().size() - 1, 't'));
        ASSERT_EQ(dirLength, target.size());
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr)) << GetLastError();
        StoreDir(oldDir);
        Open();
        Type(target);
        Click(IDC_CHNDIR_MOVE_CHANNELS);
        dialog->PressOk();
        EXPECT_EQ(StoredDir(), target);
        bool fits = length < MAX_PATH;
        EXPECT_EQ(PathExists(oldDir + "\\" + name), !fits);
        EXPECT_EQ("channel alpha", ReadFileText((fits ? target : oldDir) + "\\" + name));
        // Nothing under a cut name either.
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((target + "\\*").c_str(), &found);
        int files = 0;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ++files;
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        EXPECT_EQ(fits ? 1 : 0, files);
        std::vector<std::string> lines = Lines();
        EXPECT_EQ(fits, lines.empty());
        if (!fits && !lines.empty()) {
            EXPECT_NE(std::string::npos, lines.front().find("Cannot move file")) << lines.front();
        }
    }
}

TEST_F(ChnDirPageTest, LongNewDirectoryIsWrittenWhole) {
    Seed(OldDir(), kSampleFiles);
    StoreDir(OldDir());
    std::string longDir = temp.File(std::string(MAX_PATH - 2 - temp.Path().size(), 'd'));
    ASSERT_EQ(longDir.size(), static_cast<size_t>(MAX_PATH - 1));
    ASSERT_TRUE(CreateDirectoryA(longDir.c_str(), nullptr)) << GetLastError();
    Open();
    Type(longDir);
    EXPECT_EQ(Text(IDC_CHNDIR_NEW), longDir);
    dialog->PressOk();
    EXPECT_EQ(StoredDir(), longDir);
}

TEST_F(ChnDirPageTest, BrowseFillsTheNewDirectoryAndCancelKeepsIt) {
    Seed(OldDir(), kSampleFiles);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    Open();
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kt_test::kFolderChooserCaption, "", kt_test::CancelChooser());
        kt_test::PressButton(page, IDC_CHNDIR_BROWSE);
    }
    EXPECT_EQ(Text(IDC_CHNDIR_NEW), OldDir());
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kt_test::kFolderChooserCaption, "New channel file directory",
                             kt_test::ChooseFolder(NewDir()));
        kt_test::PressButton(page, IDC_CHNDIR_BROWSE);
    }
    EXPECT_TRUE(FileEqual(Text(IDC_CHNDIR_NEW).c_str(), NewDir().c_str()));
    EXPECT_EQ(BoxesEnabled(), std::vector<bool>(4, true));
}

TEST_F(ChnDirPageTest, ThousandsOfFilesAllMove) {
    Files files;
    for (int i = 0; i < 2000; ++i)
        files["c" + std::to_string(i) + ".chn"] = "channel " + std::to_string(i);
    Seed(OldDir(), files);
    Seed(NewDir(), {});
    StoreDir(OldDir());
    Open();
    Type(NewDir());
    Click(IDC_CHNDIR_MOVE_CHANNELS);
    dialog->PressOk();
    EXPECT_FALSE(dialog->DialogAlive());
    for (const auto& [name, content] : files)
        ExpectMoved(name, content);
}

}  // namespace
