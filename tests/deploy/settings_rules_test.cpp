// The pages' rules applied to a settings file, in this process: each case
// is a file's text and the problems it must give (or none).
#include "deploy/report.h"
#include "deploy/settings.h"
#include "deploy/settings_file.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
// Stands for the test's own existing directory in a case's text.
const char kHere[] = "%HERE%";

struct TRuleCase {
    std::string text;
    // Each must be part of one reported line; none: the file is accepted.
    std::vector<std::string> problems;
};

std::string Expand(std::string text, const std::string& here) {
    for (size_t at = text.find(kHere); at != std::string::npos; at = text.find(kHere))
        text.replace(at, sizeof kHere - 1, here);
    return text;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

class SettingsRules : public ::testing::Test {
protected:
    void SetUp() override {
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kProductKey, nullptr, "6.4");
    }

    // Reads the case's file; what it reported into *lines.
    bool Read(const std::string& text, std::vector<std::string>* lines,
              TDeploySettings* settings = nullptr) {
        TSettingsFile file;
        TReport report(true);
        std::vector<TFileProblem> problems;
        bool parsed = file.Parse(text, &problems);
        EXPECT_TRUE(parsed) << text;
        TDeploySettings read;
        bool good = FromSettingsFile(file, &read, report);
        *lines = report.Lines();
        if (settings)
            *settings = read;
        return good && report.Errors() == 0;
    }

    void Check(const TRuleCase* cases, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const TRuleCase& c = cases[i];
            const std::string text = Expand(c.text, here.Path());
            std::vector<std::string> lines;
            bool good = Read(text, &lines);
            EXPECT_EQ(c.problems.empty(), good) << text << "\n" << Joined(lines);
            EXPECT_EQ(c.problems.size(), lines.size()) << text << "\n" << Joined(lines);
            for (const std::string& problem : c.problems)
                EXPECT_NE(std::string::npos, Joined(lines).find(Expand(problem, here.Path())))
                    << text << "\nwants: " << problem << "\nhas:\n"
                    << Joined(lines);
        }
    }

    kt_test::RegistrySandbox sandbox;
    kt_test::TempDir here;
};

TEST_F(SettingsRules, ChannelFiles) {
    const TRuleCase cases[] = {
        {"[Channel files]\nDirectory=%HERE%\n", {}},
        {"[Channel files]\nDirectory=%HERE%\nMove=\n", {}},
        {"[Channel files]\nDirectory=%HERE%\nMove= Channel ,OTHER,command,template\n", {}},
        {"[Channel files]\nDirectory=\n",
         {"error: Channel files:  You must specify a channel directory. (line 2)"}},
        {"[Channel files]\nDirectory=%HERE%\\new\n",
         {"error: Channel files:  The channel file directory does not exist; CreateDirectory=yes "
          "creates it (line 2)"}},
        {"[Channel files]\nDirectory=%HERE%\\new\nCreateDirectory=YES\n", {}},
        {"[Channel files]\nDirectory=%HERE%\\new\\deeper\nCreateDirectory=yes\n",
         {"cannot be created: the folder that would hold it does not exist (line 2)"}},
        {"[Channel files]\nCreateDirectory=maybe\n",
         {"CreateDirectory must be yes or no (line 2)"}},
        {"[Channel files]\nDirectory=%HERE%\nMove=channel,cache\n", {"Move takes a list"}},
        {"[Channel files]\nMove=channel\n",
         {"Move needs the Directory to move the files to (line 2)"}},
        {"[Channel files]\nDirectory=%HERE%\ndirectory=%HERE%\n",
         {"Directory is given twice (line 3)"}},
        {"[Channel files]\nFolder=%HERE%\n",
         {"error: Channel files:  \"Folder\" is no key of this section (line 2)"}},
        {"[Channel files]\nDirectory=C:\\" + std::string(257, 'd') + "\n",
         {"Directory is longer than the page's field (259 characters)"}},
    };
    Check(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(SettingsRules, Network) {
    const TRuleCase cases[] = {
        {"[Network]\n", {}},
        {"[Network]\nServer1=ldap\nPort1=389\nSearchBase1=o=org\nServer3=C:\\Dirs\n"
         "Server4=Rm.Prog\nPort4=com\n",
         {}},
        {"[Network]\nServer1=ldap\nPort1=389\n",
         {"error: Network:  LDAP server definition is invalid because it lacks search base"}},
        {"[Network]\nPort2=389\nSearchBase2=o=org\n",
         {"Port2 or SearchBase2 is given without "
          "Server2"}},
        {"[Network]\nServer1=C:\\Dirs\nSearchBase1=o=org\n", {"which have none"}},
        {"[Network]\nServer1=Rm\nPort1=COM\nSearchBase1=o=org\n", {"which have none"}},
        {"[Network]\nServer0=a\n", {"\"Server0\" is no key of this section"}},
        {"[Network]\nServer01=a\n", {"\"Server01\" is no key of this section"}},
        {"[Network]\nServer10000=a\n", {"\"Server10000\" is no key of this section"}},
        {"[Network]\nHost1=a\n", {"\"Host1\" is no key of this section"}},
        {"[Network]\nServer1=a\nserver1=b\n", {"server1 is given twice (line 3)"}},
        {"[Network]\nServer1=" + std::string(2047, 'n') + "\n",
         {"Server1 is longer than the page's field (2046 characters)"}},
    };
    Check(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(SettingsRules, SettingsAndMaxChannels) {
    const TRuleCase cases[] = {
        {"[Settings]\nDesktopDirectory=\n", {}},
        {"[Settings]\nDesktopDirectory=H:\\Korvane\n", {}},
        {"[Settings]\nDesktopDirectory=C:\\" + std::string(257, 'd') + "\n",
         {"error: Settings:  DesktopDirectory is longer than the page's field"}},
        {"[Max. channels]\nMaxChannels=9\n", {}},
        {"[Max. channels]\nMaxChannels=100\n", {}},
        {"[Max. channels]\nMaxChannels=\n", {}},
        {"[Max. channels]\nMaxChannels=8\n", {"MaxChannels must be a number from 9 to 100"}},
        {"[Max. channels]\nMaxChannels=101\n", {"MaxChannels must be a number from 9 to 100"}},
        {"[Max. channels]\nMaxChannels=+20\n", {"MaxChannels must be a number from 9 to 100"}},
        {"[Max. channels]\nMaxChannels=20 channels\n", {"MaxChannels must be a number"}},
        {"[Max. channels]\nMaxChannels=0020\n", {"MaxChannels must be a number"}},
        {"[Korvane]\n", {"error: [Korvane] is no page"}},
    };
    Check(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(SettingsRules, ChannelSharing) {
    std::string full = "[Channel sharing]\n";
    for (int i = 0; i < 33; ++i)
        full += "Tool" + std::to_string(i) + "=C:\\Tools\\t.exe\n";
    const TRuleCase cases[] = {
        {"[Channel sharing]\n", {}},
        {"[Channel sharing]\nViewer=C:\\Tools\\viewer.exe %1\nEd=\"C:\\Program Files\\e.exe\" "
         "%1\nPlain=C:\\Tools\\plain.exe\nBatch=C:\\Tools\\run.bat /x\n",
         {}},
        {"[Channel sharing]\nBad\\Name=C:\\x.exe\n",
         {"error: Channel sharing:  A tool name cannot contain a backslash (\\). Type another "
          "name. (line 2)"}},
        {"[Channel sharing]\nViewer=C:\\v.exe\nVIEWER=C:\\w.exe\n",
         {"There is already a tool named 'VIEWER'. Type another name. (line 3)"}},
        {"[Channel sharing]\nEmpty=\n", {"has no command line"}},
        {"[Channel sharing]\nEd=C:\\Program Files\\e.exe %1\n", {"holds blanks; put it in double"}},
        {"[Channel sharing]\nEd=\"C:\\Program Files\\e.exe %1\n", {"does not close"}},
        {"[Channel sharing]\n" + std::string(32, 'n') + "=C:\\x.exe\n",
         {"is longer than the page's field (31 characters)"}},
        {"[Channel sharing]\nLong=C:\\" + std::string(257, 'p') + "\n",
         {"The command line would be longer than 259 characters"}},
        {full, {"The list holds more than 32 tools (line 34)"}},
    };
    Check(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(SettingsRules, PluginsMustBeModulesThatNameThemselves) {
    here.Write("plain.dll", "not a module");
    const TRuleCase cases[] = {
        {"[Plug-ins]\n", {}},
        {"[Plug-ins]\nGone=%HERE%\\gone.dll\n", {"The module \"%HERE%\\gone.dll\" does not exist"}},
        {"[Plug-ins]\nRelative=plain.dll\n",
         {"The module path of \"Relative\" must be a full path"}},
        {"[Plug-ins]\nPlain=%HERE%\\plain.dll\n",
         {"error: Plug-ins:  \"%HERE%\\plain.dll\" is not a Korvane plug-in module (line 2)"}},
        {"[Plug-ins]\nA=%HERE%\\gone.dll\na=%HERE%\\gone.dll\n",
         {"does not exist", "The plug-in \"a\" is given twice"}},
    };
    Check(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(SettingsRules, WithoutKorvaneItsPagesAreLeftOutWithAWarning) {
    kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, kProductKey);
    std::vector<std::string> lines;
    TDeploySettings settings;
    EXPECT_TRUE(Read("[Max. channels]\nMaxChannels=500\n[Network]\n", &lines, &settings));
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(
        "warning: Max. channels:  Korvane is not installed on this machine; the section is "
        "left out (line 1)",
        lines[0]);
    EXPECT_FALSE(settings.hasMaxChannels);
    EXPECT_TRUE(settings.hasNetwork);
}

TEST_F(SettingsRules, APlaceLeftOutOfTheNetworkListStaysAnEmptyPlace) {
    std::vector<std::string> lines;
    TDeploySettings settings;
    ASSERT_TRUE(
        Read("[Network]\nServer3=C:\\Third\nServer1=First\nPort1=COM\n", &lines, &settings));
    ASSERT_EQ(3u, settings.servers.size());
    EXPECT_EQ("First", settings.servers[0].name);
    EXPECT_EQ("", settings.servers[1].name);
    EXPECT_EQ("C:\\Third", settings.servers[2].name);

    TReport applied(true);
    ApplySettings(settings, applied);
    EXPECT_TRUE(applied.Lines().empty()) << Joined(applied.Lines());
    TReport report(true);
    TDeploySettings machine = ReadMachineSettings(report, -1);
    EXPECT_TRUE(report.Lines().empty()) << Joined(report.Lines());
    ASSERT_EQ(3u, machine.servers.size());
    EXPECT_EQ("COM", machine.servers[0].port);
    EXPECT_EQ("", machine.servers[1].name);
    EXPECT_EQ("C:\\Third", machine.servers[2].name);
    std::string stored;
    EXPECT_TRUE(kt_test::GetRegString(
        HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer", "Value2", &stored));
    EXPECT_EQ("", stored);
}

}  // namespace
