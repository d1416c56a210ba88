// The built program's settings options, run as their own processes: the
// registry and the files are read back from outside, and the output is
// what the process printed.
#include "tests/support/e2e.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kChnFilesKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kDesktopKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kServerKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer";
const char kPortKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort";
const char kSearchBaseKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase";
const char kSampleName[] = "Korvane Sample";
const char kSampleHelpLine[] = ":Index Korvane Sample=ktsample.hlp\r\n";
const char kContents[] =
    ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Korvane Help=korvane.hlp\r\n"
    "1 Getting started\r\n";
constexpr DWORD kRunTimeoutMs = 30000;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class DeployProgram : public kt_test::ProgramTest {
protected:
    void SetUp() override {
        kt_test::ProgramTest::SetUp();
        exe = kt_test::WindowsPath(ExePath());
    }

    // Runs the program with the arguments to its end; its exit code, its
    // output into *output.
    DWORD Run(const std::string& arguments, std::string* output = nullptr) {
        std::string text;
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(
            kt_test::RunAndCapture("\"" + exe + "\" " + arguments, &text, &code, kRunTimeoutMs))
            << arguments;
        if (output)
            *output = text;
        return code;
    }

    // The program copied into dir beside a help contents file, so that the
    // plug-ins' help lines have a file of their own.
    void UseCopyIn(const kt_test::TempDir& dir) {
        std::string copy = dir.File("ktconfig.exe");
        ASSERT_TRUE(CopyFileA(exe.c_str(), copy.c_str(), FALSE));
        dir.Write("korvane.cnt", kContents);
        exe = copy;
    }

    // Everything below the product's keys, as another program lists it.
    static std::string Registry() {
        return kt_test::RegQuery("\"HKLM\\SOFTWARE\\Tavrel\" /s") +
               kt_test::RegQuery("\"HKCU\\SOFTWARE\\Tavrel\" /s");
    }

    std::string exe;
};

// A machine with something on every page.
void SeedEveryPage(const kt_test::TempDir& channelDir, const std::string& plugin) {
    kt_test::SeedInstallation(channelDir.Path());
    using kt_test::SetRegString;
    SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value1", "ldap.example.com");
    SetRegString(HKEY_LOCAL_MACHINE, kPortKey, "Value1", "389");
    SetRegString(HKEY_LOCAL_MACHINE, kSearchBaseKey, "Value1", "o=example,c=de");
    SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value2", "");
    SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value3", "C:\\Central Dirs");
    SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value4", "Korvane.ResourceManager");
    SetRegString(HKEY_LOCAL_MACHINE, kPortKey, "Value4", "COM");
    SetRegString(HKEY_CURRENT_USER, kDesktopKey, nullptr, "C:\\Users\\Desk Top");
    SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "42");
    SetRegString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Editor").c_str(), nullptr,
                 "\"C:\\Program Files\\Edit\\edit.exe\" /channel %1");
    SetRegString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Viewer").c_str(), nullptr,
                 "C:\\Tools\\viewer.exe");
    if (!plugin.empty())
        SetRegString(HKEY_LOCAL_MACHINE, (std::string(kPluginsKey) + "\\" + kSampleName).c_str(),
                     nullptr, plugin.c_str());
}

TEST_F(DeployProgram, ExportImportOnACleanMachineAndExportAgainGiveTheSameFile) {
    kt_test::TempDir program, product, channelDir, files;
    UseCopyIn(program);
    const std::string plugin = product.File("ktsample.dll");
    ASSERT_TRUE(CopyFileA(SamplePluginPath().c_str(), plugin.c_str(), FALSE));
    SeedEveryPage(channelDir, plugin);

    std::string output;
    ASSERT_EQ(0u, Run("/export \"" + files.File("first.ini") + "\"", &output)) << output;
    EXPECT_TRUE(Contains(output, "Exported")) << output;
    const std::string first = files.Read("first.ini");
    EXPECT_TRUE(Contains(first, "[Channel files]\r\nDirectory=" + channelDir.Path() + "\r\n"))
        << first;
    EXPECT_TRUE(Contains(first,
                         "Server1=ldap.example.com\r\nPort1=389\r\n"
                         "SearchBase1=o=example,c=de\r\nServer3=C:\\Central Dirs\r\n"
                         "Server4=Korvane.ResourceManager\r\nPort4=COM\r\n"))
        << first;
    EXPECT_TRUE(Contains(first, "[Plug-ins]\r\nKorvane Sample=" + plugin + "\r\n")) << first;
    EXPECT_TRUE(Contains(first, "[Max. channels]\r\nMaxChannels=42\r\n")) << first;
    EXPECT_TRUE(Contains(first, "DesktopDirectory=C:\\Users\\Desk Top\r\n")) << first;

    // Another machine: the product installed, nothing set.
    DeleteProductKeys();
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kProductKey, nullptr, "6.4");
    ASSERT_EQ(0u, Run("-IMPORT \"" + files.File("first.ini") + "\"", &output)) << output;
    EXPECT_TRUE(Contains(output, "Imported")) << output;
    EXPECT_TRUE(Contains(program.Read("korvane.cnt"), kSampleHelpLine));

    ASSERT_EQ(0u, Run("/Export \"" + files.File("second.ini") + "\"", &output)) << output;
    EXPECT_EQ(first, files.Read("second.ini"));
    EXPECT_EQ(0u, Run("/verify \"" + files.File("first.ini") + "\"", &output)) << output;
}

TEST_F(DeployProgram, ABadFileWritesNothingAndNamesEachProblem) {
    kt_test::TempDir program, channelDir, files;
    UseCopyIn(program);
    SeedEveryPage(channelDir, "");
    channelDir.Write("a.chn", "channel");
    files.Write("bad.ini",
                "[Network]\r\n"
                "Server1=new.example.com\r\n"
                "[Channel files]\r\n"
                "Directory=" +
                    files.File("missing") +
                    "\r\n"
                    "Move=channel\r\n"
                    "[Max. channels]\r\n"
                    "MaxChannels=200\r\n"
                    "[Channel sharing]\r\n"
                    "Bad\\Name=notepad.exe\r\n"
                    "this line means nothing\r\n");
    const std::string before = Registry();
    const std::string contentsBefore = program.Read("korvane.cnt");

    std::string output;
    EXPECT_EQ(1u, Run("/import " + files.File("bad.ini"), &output)) << output;
    EXPECT_TRUE(Contains(output,
                         "error: Channel files:  The channel file directory does not "
                         "exist"))
        << output;
    EXPECT_TRUE(Contains(output,
                         "error: Max. channels:  MaxChannels must be a number from 9 to "
                         "100"))
        << output;
    EXPECT_TRUE(Contains(output,
                         "error: Channel sharing:  A tool name cannot contain a "
                         "backslash"))
        << output;
    EXPECT_TRUE(Contains(output, "line 10)")) << output;
    EXPECT_TRUE(Contains(output, "Nothing was written.")) << output;

    EXPECT_EQ(before, Registry());
    EXPECT_EQ(contentsBefore, program.Read("korvane.cnt"));
    EXPECT_TRUE(channelDir.Exists("a.chn"));
    EXPECT_FALSE(files.Exists("missing"));
}

TEST_F(DeployProgram, AHandWrittenFileWithCommentsAndOddSpacingApplies) {
    kt_test::TempDir channelDir, newDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    files.Write("hand.ini",
                "; written by hand\n"
                "\n"
                "  [ channel FILES ]   ; the suite's folder\n"
                "   directory   =   " +
                    newDir.Path() +
                    "   \n"
                    "\n"
                    "[Max. channels]\n"
                    "\tMaxChannels\t=\t15\n"
                    "# tools\n"
                    "[Channel sharing]\n"
                    "Viewer = C:\\Tools\\viewer.exe %1\n"
                    "Edit= \"C:\\Program Files\\Edit\\edit.exe\" %1\n"
                    "[Network]\n"
                    "SearchBase2 = o=org\n"
                    "Port2 = 636\n"
                    "Server2 = ldap2\n"
                    "Server1=C:\\Dirs\n");
    std::string output;
    ASSERT_EQ(0u, Run("/import " + files.File("hand.ini"), &output)) << output;

    std::string text;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kChnFilesKey, nullptr, &text));
    EXPECT_EQ(newDir.Path(), text);
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, &text));
    EXPECT_EQ("15", text);
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\Edit",
                                      nullptr, &text));
    EXPECT_EQ("\"C:\\Program Files\\Edit\\edit.exe\" %1", text);
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kServerKey, "Value1", &text));
    EXPECT_EQ("C:\\Dirs", text);
    EXPECT_FALSE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kPortKey, "Value1", &text));
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kSearchBaseKey, "Value2", &text));
    EXPECT_EQ("o=org", text);
    // Absent from the file: left as it was.
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, kDesktopKey));
}

TEST_F(DeployProgram, MovesOnlyTheKindsTheFileAsksFor) {
    kt_test::TempDir oldDir, files;
    kt_test::SeedInstallation(oldDir.Path());
    for (const char* name : {"a.chn", "b.txt", "c.tpl", "d.dat", "listd1.cnf"})
        oldDir.Write(name, name);
    const std::string newDir = files.File("channels");
    files.Write("move.ini", "[Channel files]\r\nDirectory=" + newDir +
                                "\r\nCreateDirectory=yes\r\nMove=template, channel\r\n");
    std::string output;
    ASSERT_EQ(0u, Run("/import " + files.File("move.ini"), &output)) << output;

    EXPECT_TRUE(files.Exists("channels\\a.chn"));
    EXPECT_TRUE(files.Exists("channels\\c.tpl"));
    EXPECT_FALSE(files.Exists("channels\\b.txt"));
    EXPECT_FALSE(oldDir.Exists("a.chn"));
    EXPECT_FALSE(oldDir.Exists("c.tpl"));
    EXPECT_TRUE(oldDir.Exists("b.txt"));
    EXPECT_TRUE(oldDir.Exists("d.dat"));
    // The caches of the moved channel files go, and are not moved.
    EXPECT_FALSE(oldDir.Exists("listd1.cnf"));
    EXPECT_FALSE(files.Exists("channels\\listd1.cnf"));
    std::string text;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kChnFilesKey, nullptr, &text));
    EXPECT_EQ(newDir, text);
}

TEST_F(DeployProgram, AFileInUseIsNotMovedAndTheImportEndsWithAnError) {
    kt_test::TempDir oldDir, newDir, files;
    kt_test::SeedInstallation(oldDir.Path());
    oldDir.Write("held.chn", "held");
    oldDir.Write("free.chn", "free");
    files.Write("move.ini",
                "[Channel files]\r\nDirectory=" + newDir.Path() + "\r\nMove=channel\r\n");
    HANDLE held = CreateFileA(oldDir.File("held.chn").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    std::string output;
    EXPECT_EQ(1u, Run("/import " + files.File("move.ini"), &output)) << output;
    CloseHandle(held);
    EXPECT_TRUE(Contains(
        output, "error: Channel files:  Cannot move file '" + oldDir.File("held.chn") + "'"))
        << output;
    EXPECT_TRUE(Contains(output, "error: Channel files:  Not all files are moved")) << output;
    EXPECT_TRUE(oldDir.Exists("held.chn"));
    EXPECT_TRUE(newDir.Exists("free.chn"));
}

TEST_F(DeployProgram, PluginsThroughImportKeepTheHelpContentsInStep) {
    kt_test::TempDir program, product, channelDir, files;
    UseCopyIn(program);
    const std::string plugin = product.File("ktsample.dll");
    ASSERT_TRUE(CopyFileA(SamplePluginPath().c_str(), plugin.c_str(), FALSE));
    kt_test::SeedInstallation(channelDir.Path());
    files.Write("on.ini", "[Plug-ins]\r\nKorvane Sample = " + plugin + "\r\n");
    files.Write("off.ini", "[Plug-ins]\r\n");
    files.Write("wrong.ini", "[Plug-ins]\r\nSample=" + plugin +
                                 "\r\nOther=" + program.File("korvane.cnt") + "\r\n");

    std::string output;
    ASSERT_EQ(0u, Run("/import " + files.File("on.ini"), &output)) << output;
    std::string path;
    EXPECT_TRUE(kt_test::ReadRegValue(
        HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + kSampleName, nullptr, &path));
    EXPECT_EQ(plugin, path);
    EXPECT_EQ(
        ":Base korvane.hlp>main\r\n:Title Korvane Help\r\n:Index Korvane Help=korvane.hlp\r\n"
        ":Index Korvane Sample=ktsample.hlp\r\n1 Getting started\r\n",
        program.Read("korvane.cnt"));

    EXPECT_EQ(1u, Run("/import " + files.File("wrong.ini"), &output)) << output;
    EXPECT_TRUE(Contains(output, "is the plug-in \"Korvane Sample\", not \"Sample\"")) << output;
    EXPECT_TRUE(Contains(output, "is not a Korvane plug-in module")) << output;

    ASSERT_EQ(0u, Run("/import " + files.File("off.ini"), &output)) << output;
    EXPECT_TRUE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginsKey));
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE,
                                       (std::string(kPluginsKey) + "\\" + kSampleName).c_str()));
    EXPECT_EQ(kContents, program.Read("korvane.cnt"));
}

TEST_F(DeployProgram, ADeniedKeyIsReportedAndTheOtherPagesStillSave) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "30");
    files.Write("s.ini",
                "[Max. channels]\r\nMaxChannels=50\r\n"
                "[Channel sharing]\r\nViewer=C:\\Tools\\viewer.exe\r\n");
    std::string output;
    {
        kt_test::KeyAcl denied(HKEY_LOCAL_MACHINE, kMaxChannelsKey, kt_test::kDenyWritesAcl);
        EXPECT_EQ(1u, Run("/import " + files.File("s.ini"), &output)) << output;
    }
    EXPECT_TRUE(Contains(output,
                         "error: Max. channels:  Cannot update registry key "
                         "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels"))
        << output;
    std::string text;
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, &text));
    EXPECT_EQ("30", text);
    EXPECT_TRUE(kt_test::ReadRegValue(HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\Viewer",
                                      nullptr, &text));
    EXPECT_EQ("C:\\Tools\\viewer.exe", text);
}

TEST_F(DeployProgram, ImportRefusesWhileTheDialogIsOpenExportStillRuns) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    files.Write("s.ini", "[Max. channels]\r\nMaxChannels=50\r\n");
    kt_test::ProgramRun dialogRun(exe);
    ASSERT_TRUE(dialogRun.Started());
    HWND dialog = dialogRun.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, dialog);

    std::string output;
    EXPECT_EQ(4u, Run("/import " + files.File("s.ini"), &output)) << output;
    EXPECT_TRUE(Contains(output, "error: ")) << output;
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kMaxChannelsKey));
    EXPECT_EQ(0u, Run("/export " + files.File("out.ini"), &output)) << output;
    EXPECT_TRUE(files.Exists("out.ini"));

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(dialogRun.WaitForExit(20000, &code));
}

TEST_F(DeployProgram, EveryExitCode) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    files.Write("good.ini", "[Max. channels]\r\nMaxChannels=20\r\n");
    files.Write("bad.ini", "[Max. channels]\r\nMaxChannels=8\r\n");
    const struct {
        std::string arguments;
        DWORD code;
        const char* said;
    } cases[] = {
        {"/?", 0, "Usage: ktconfig"},
        {"-?", 0, "Usage: ktconfig"},
        {"/export", 2, "Usage: ktconfig"},
        {"/import", 2, "Usage: ktconfig"},
        {"/export a.ini /import b.ini", 2, "Usage: ktconfig"},
        {"/verify /frobnicate", 2, "Usage: ktconfig"},
        {"/verify stray words", 2, "Usage: ktconfig"},
        {"/log", 2, "Usage: ktconfig"},
        {"/import " + files.File("good.ini"), 0, "Imported"},
        {"/verify", 0, "no problem found"},
        {"/import " + files.File("bad.ini"), 1, "Nothing was written."},
        {"/import " + files.File("none.ini"), 1, "Cannot open the settings file"},
        {"/verify " + files.File("bad.ini"), 1, "error: Max. channels:  MaxChannels"},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(c.code, Run(c.arguments, &output)) << c.arguments << "\n" << output;
        EXPECT_TRUE(Contains(output, c.said)) << c.arguments << "\n" << output;
    }
    // Warnings only: the four Korvane pages where Korvane is not installed.
    DeleteProductKeys();
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kChnFilesKey, nullptr, channelDir.Path().c_str());
    std::string output;
    EXPECT_EQ(3u, Run("/import " + files.File("good.ini"), &output)) << output;
    EXPECT_TRUE(Contains(output, "warning: Max. channels:  Korvane is not installed")) << output;
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kMaxChannelsKey));
}

TEST_F(DeployProgram, WarningsFromTheStoresEndWithThree) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    files.Write("p.ini", "[Plug-ins]\r\n");
    // Korvane's main window, as the Plug-ins page looks for it.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KVMainWindow";
    RegisterClassA(&windowClass);
    HWND korvane = CreateWindowA("KVMainWindow", "Korvane", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, korvane);
    std::string output;
    EXPECT_EQ(3u, Run("/import " + files.File("p.ini"), &output)) << output;
    DestroyWindow(korvane);
    EXPECT_TRUE(
        Contains(output, "warning: Plug-ins:  Restart Korvane for the changes to take effect"))
        << output;
    EXPECT_TRUE(Contains(output, "Imported")) << output;
}

TEST_F(DeployProgram, OutputGoesToTheConsoleAndIsAppendedToTheLog) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    files.Write("bad.ini", "[Channel files]\r\nDirectory=\r\n");
    files.Write("run.log", "earlier run\r\n");
    std::string output;
    EXPECT_EQ(1u,
              Run("/import " + files.File("bad.ini") + " /LOG " + files.File("run.log"), &output));
    const std::string line = "error: Channel files:  You must specify a channel directory. (" +
                             files.File("bad.ini") + ", line 2)\r\n";
    EXPECT_TRUE(Contains(output, line)) << output;
    const std::string log = files.Read("run.log");
    EXPECT_EQ(0u, log.find("earlier run\r\n")) << log;
    EXPECT_TRUE(Contains(log, line)) << log;
    EXPECT_TRUE(Contains(log, "Nothing was written.")) << log;

    // A wrong command line still leaves its usage in the log; a log that
    // cannot be opened is an error of its own.
    EXPECT_EQ(2u, Run("/import /LOG " + files.File("run.log"), &output)) << output;
    EXPECT_TRUE(Contains(files.Read("run.log"), "Usage: ktconfig"));
    EXPECT_EQ(1u, Run("/verify /log " + files.File("no\\such\\dir\\x.log"), &output)) << output;
    EXPECT_TRUE(Contains(output, "error: Cannot open the log file")) << output;
}

TEST_F(DeployProgram, VerifyReportsWhatDiffersFromTheFile) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "30");
    files.Write("audit.ini",
                "[Max. channels]\r\nMaxChannels=40\r\n[Channel sharing]\r\n"
                "Viewer=C:\\Tools\\viewer.exe\r\n");
    const std::string before = Registry();
    std::string output;
    EXPECT_EQ(1u, Run("/verify " + files.File("audit.ini"), &output)) << output;
    EXPECT_TRUE(Contains(output,
                         "error: Max. channels:  MaxChannels differs: the file has "
                         "\"40\", this machine has \"30\""))
        << output;
    EXPECT_TRUE(Contains(output, "error: Channel sharing:  The tool \"Viewer\" differs")) << output;
    EXPECT_EQ(before, Registry());
}

TEST_F(DeployProgram, ExportWarnsOfWhatThePagesWouldDrop) {
    kt_test::TempDir channelDir, files;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value1", "nosearch");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kPortKey, "Value1", "389");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kSearchBaseKey, "Value2", "");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value2", "C:\\Dirs");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "500");
    std::string output;
    EXPECT_EQ(3u, Run("/export " + files.File("out.ini"), &output)) << output;
    EXPECT_TRUE(Contains(output,
                         "warning: Network:  LDAP server definition is invalid because "
                         "it lacks search base"))
        << output;
    EXPECT_TRUE(Contains(output, "warning: Max. channels:  ")) << output;
    const std::string text = files.Read("out.ini");
    EXPECT_TRUE(Contains(text, "[Network]\r\nServer2=C:\\Dirs\r\n\r\n")) << text;
    EXPECT_TRUE(Contains(text, "[Max. channels]\r\nMaxChannels=\r\n")) << text;
    // The same stored values are errors to verify, as the dialog reports them.
    EXPECT_EQ(1u, Run("/verify", &output)) << output;
    EXPECT_TRUE(Contains(output, "error: Network:  LDAP server definition")) << output;
}

// A console of this test's own while it lives: the program started without
// redirected output must find it as its parent's console. The test's own
// output keeps going where it went.
class OwnConsole {
public:
    OwnConsole() {
        for (DWORD id : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
            saved.push_back(GetStdHandle(id));
        FreeConsole();
        made = AllocConsole() != FALSE;
    }
    ~OwnConsole() {
        FreeConsole();
        DWORD ids[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
        for (size_t i = 0; i < saved.size(); ++i)
            SetStdHandle(ids[i], saved[i]);
    }
    bool Made() const { return made; }
    // Everything the console's screen shows.
    std::string Screen() const {
        HANDLE out =
            CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return std::string();
        CONSOLE_SCREEN_BUFFER_INFO info;
        std::string text;
        if (GetConsoleScreenBufferInfo(out, &info)) {
            for (SHORT row = 0; row < info.dwSize.Y; ++row) {
                std::string line(static_cast<size_t>(info.dwSize.X), ' ');
                DWORD got = 0;
                ReadConsoleOutputCharacterA(out, &line[0], static_cast<DWORD>(line.size()),
                                            COORD{0, row}, &got);
                line.resize(got);
                line.erase(line.find_last_not_of(' ') + 1);
                text += line + "\n";
            }
        }
        CloseHandle(out);
        return text;
    }

private:
    std::vector<HANDLE> saved;
    bool made = false;
};

TEST_F(DeployProgram, LinesReachTheConsoleOfTheProgramThatStartedIt) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "500");
    std::string screen;
    DWORD code = STILL_ACTIVE;
    {
        OwnConsole console;
        ASSERT_TRUE(console.Made());
        // Started as a command prompt starts a GUI program: no standard
        // handles at all, nothing inherited, only the console to attach to.
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        PROCESS_INFORMATION info{};
        std::string line = "\"" + exe + "\" /verify";
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, kRunTimeoutMs));
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        screen = console.Screen();
    }
    EXPECT_EQ(3u, code);
    EXPECT_TRUE(Contains(screen, "warning: Max. channels:  The stored maximum")) << screen;
    EXPECT_TRUE(Contains(screen, "Verified the settings of this machine: 0 errors, 1 warnings."))
        << screen;
}

}  // namespace
