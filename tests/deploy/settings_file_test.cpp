#include "deploy/command.h"
#include "deploy/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a text reads as: "[Section]" and "key=value" per line read, or the
// numbers of the lines refused.
struct TParseCase {
    const char* name;
    std::string text;
    std::vector<std::string> read;
    std::vector<int> refusedLines;
};

std::vector<std::string> Flatten(const TSettingsFile& file) {
    std::vector<std::string> out;
    for (const TFileSection& section : file.sections) {
        out.push_back("[" + section.name + "]");
        for (const TFileEntry& entry : section.entries)
            out.push_back(entry.key + "=" + entry.value);
    }
    return out;
}

TEST(SettingsFileParse, ReadsWhatEachCaseHolds) {
    const TParseCase cases[] = {
        {"plain CRLF", "[Network]\r\nServer1=srv\r\n", {"[Network]", "Server1=srv"}, {}},
        {"LF only, no end", "[Network]\nServer1=srv", {"[Network]", "Server1=srv"}, {}},
        {"blanks around everything",
         "  [ Max. channels ]  \r\n\t MaxChannels \t=  20 \r\n",
         {"[Max. channels]", "MaxChannels=20"},
         {}},
        {"comments and blank lines",
         "; head\r\n\r\n# other\r\n[Settings] ; trailing\r\n\r\n  ; in "
         "section\r\nDesktopDirectory=C:\\D\r\n",
         {"[Settings]", "DesktopDirectory=C:\\D"},
         {}},
        {"empty value",
         "[Settings]\r\nDesktopDirectory=\r\n",
         {"[Settings]", "DesktopDirectory="},
         {}},
        {"only the first = splits",
         "[Network]\r\nSearchBase1=o=org,c=de\r\n",
         {"[Network]", "SearchBase1=o=org,c=de"},
         {}},
        {"quotes stay",
         "[Channel sharing]\r\nEd=\"C:\\e.exe\" %1\r\n",
         {"[Channel sharing]", "Ed=\"C:\\e.exe\" %1"},
         {}},
        {"ANSI bytes stay",
         "[Settings]\r\nDesktopDirectory=C:\\B\xFCro\r\n",
         {"[Settings]", "DesktopDirectory=C:\\B\xFCro"},
         {}},
        {"line without =", "[Network]\r\nServer1 srv\r\n", {"[Network]"}, {2}},
        {"key before any section", "\r\nServer1=srv\r\n[Network]\r\n", {"[Network]"}, {2}},
        {"unclosed section", "[Network\r\nServer1=x\r\n", {}, {1}},
        {"empty section name", "[ ]\r\n", {}, {1}},
        {"text after the section", "[Network] x\r\n", {}, {1}},
        {"section twice", "[Network]\r\n[network]\r\n", {"[Network]"}, {2}},
        {"empty key", "[Network]\r\n=value\r\n", {"[Network]"}, {2}},
        {"zero byte", std::string("[Network]\r\nServer1=a\0b\r\n", 22), {"[Network]"}, {2}},
        {"UTF-8 mark", "\xEF\xBB\xBF[Network]\r\n", {}, {1}},
        {"UTF-16 mark", std::string("\xFF\xFE[\0N\0", 6), {}, {1}},
    };
    for (const TParseCase& c : cases) {
        TSettingsFile file;
        std::vector<TFileProblem> problems;
        bool good = file.Parse(c.text, &problems);
        EXPECT_EQ(c.refusedLines.empty(), good) << c.name;
        std::vector<int> lines;
        for (const TFileProblem& p : problems) {
            lines.push_back(p.line);
            EXPECT_FALSE(p.text.empty()) << c.name;
        }
        EXPECT_EQ(c.refusedLines, lines) << c.name;
        EXPECT_EQ(c.read, Flatten(file)) << c.name;
    }
}

TEST(SettingsFileParse, KeepsEachEntrysLineNumber) {
    TSettingsFile file;
    ASSERT_TRUE(file.Parse("; c\r\n[Network]\r\n\r\nServer1=a\r\nPort1=389\r\n", nullptr));
    ASSERT_EQ(1u, file.sections.size());
    EXPECT_EQ(2, file.sections[0].line);
    ASSERT_EQ(2u, file.sections[0].entries.size());
    EXPECT_EQ(4, file.sections[0].entries[0].line);
    EXPECT_EQ(5, file.sections[0].entries[1].line);
    EXPECT_NE(nullptr, file.Find("network"));
    EXPECT_EQ(nullptr, file.Find("Networks"));
}

TEST(SettingsFileWrite, WritesCrlfSectionsThatReadBackTheSame) {
    TSettingsFile file;
    TFileSection& a = file.Add("Channel files");
    a.entries.push_back(TFileEntry{"Directory", "C:\\Chn", 0});
    file.Add("Network");
    TFileSection& c = file.Add("Channel sharing");
    c.entries.push_back(TFileEntry{"Ed", "\"C:\\e.exe\" %1", 0});
    c.entries.push_back(TFileEntry{"Empty", "", 0});
    std::string text;
    ASSERT_TRUE(file.Write(&text, nullptr));
    EXPECT_EQ(
        "; Korvane & Tools Configuration settings (ktconfig /export)\r\n"
        "\r\n[Channel files]\r\nDirectory=C:\\Chn\r\n"
        "\r\n[Network]\r\n"
        "\r\n[Channel sharing]\r\nEd=\"C:\\e.exe\" %1\r\nEmpty=\r\n",
        text);
    TSettingsFile again;
    ASSERT_TRUE(again.Parse(text, nullptr));
    std::string second;
    ASSERT_TRUE(again.Write(&second, nullptr));
    EXPECT_EQ(text, second);
}

TEST(SettingsFileWrite, RefusesWhatWouldNotReadBackTheSame) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"a=b", "x"},   {" lead", "x"},   {";comment", "x"},     {"#c", "x"}, {"[s", "x"},
        {"k", " lead"}, {"k", "trail\t"}, {"k", "two\r\nlines"}, {"", "x"},
    };
    for (const auto& c : cases) {
        TSettingsFile file;
        file.Add("Channel sharing").entries.push_back(TFileEntry{c.key, c.value, 0});
        std::string text = "untouched";
        std::vector<TFileProblem> problems;
        EXPECT_FALSE(file.Write(&text, &problems)) << c.key << "=" << c.value;
        EXPECT_EQ(1u, problems.size()) << c.key;
        EXPECT_EQ("untouched", text) << c.key;
    }
}

TEST(CommandLine, SplitsWordsAsArgumentsAre) {
    const struct {
        const char* line;
        std::vector<std::string> words;
    } cases[] = {
        {"", {}},
        {"  /export  a.ini ", {"/export", "a.ini"}},
        {"/import \"C:\\My Files\\s.ini\" /log x", {"/import", "C:\\My Files\\s.ini", "/log", "x"}},
        {"-verify:\"a b.ini\"", {"-verify:a b.ini"}},
        {"\t/?\t", {"/?"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.words, CommandLineWords(c.line)) << c.line;
}

TEST(CommandLine, OnlyTheSettingsOptionsLeaveTheDialog) {
    const struct {
        const char* line;
        bool deploy;
    } cases[] = {
        {"", false},
        {"/desktop:C:\\x", false},
        {"file.ini", false},
        {"/EXPORT a", true},
        {"-import a", true},
        {"/Verify", true},
        {"/?", true},
        {"-log x", true},
        {"/export:a.ini", true},
        {"/exporter a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.deploy, IsDeployCommand(c.line)) << c.line;
}

}  // namespace
