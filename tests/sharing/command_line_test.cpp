// Command lines made from a program and its parameters and split back, and
// the names proposed for a program.
#include "sharing/command_line.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Split {
    std::string program;
    std::string parameters;
};

Split SplitOf(const std::string& commandLine) {
    char program[kProgramSize];
    const char* parameters = SplitCommandLine(program, commandLine.c_str());
    return {program, parameters};
}

std::string Made(const std::string& program, const std::string& parameters, int* fits = nullptr) {
    char out[kCommandLineSize];
    int whole = MakeCommandLine(out, program.c_str(), parameters.c_str());
    if (fits)
        *fits = whole;
    return out;
}

TEST(CommandLine, MadeAndSplitAgainEveryProgramComesBackWhole) {
    struct Case {
        const char* what;
        std::string program;
        std::string parameters;
        std::string commandLine;
    };
    const Case cases[] = {
        {"a bare path", "C:\\Tools\\tool.exe", "", "C:\\Tools\\tool.exe"},
        {"the first parameter", "C:\\Tools\\tool.exe", "%1", "\"C:\\Tools\\tool.exe\" %1"},
        {"blanks with parameters", "C:\\Program Files\\Tool\\tool.exe", "/s %1",
         "\"C:\\Program Files\\Tool\\tool.exe\" /s %1"},
        {"blanks without parameters", "C:\\Program Files\\Tool\\tool.exe", "",
         "\"C:\\Program Files\\Tool\\tool.exe\""},
        {"blanks inside the parameters", "C:\\t.exe", "a  b   c", "\"C:\\t.exe\" a  b   c"},
        {"the longest that fits", std::string(200, 'p'), std::string(56, 'a'),
         "\"" + std::string(200, 'p') + "\" " + std::string(56, 'a')},
        {"the longest quoted path alone", "C:\\a b" + std::string(251, 'x'), "",
         "\"C:\\a b" + std::string(251, 'x') + "\""},
        {"the longest bare path", std::string(259, 'p'), "", std::string(259, 'p')},
    };
    for (const Case& c : cases) {
        int fits = 0;
        std::string made = Made(c.program, c.parameters, &fits);
        EXPECT_EQ(c.commandLine, made) << c.what;
        EXPECT_EQ(1, fits) << c.what;
        Split back = SplitOf(made);
        EXPECT_EQ(c.program, back.program) << c.what;
        EXPECT_EQ(c.parameters, back.parameters) << c.what;
    }
}

TEST(CommandLine, WhatDoesNotFitGivesTheBareProgramAndSaysSo) {
    // 200 + 60 + 3 quotes and blank = 263 characters; 200 + 57 + 3 = 260,
    // one more than a stored command line holds.
    for (size_t parameters : {60u, 57u}) {
        int fits = 1;
        EXPECT_EQ(std::string(200, 'p'),
                  Made(std::string(200, 'p'), std::string(parameters, 'a'), &fits))
            << parameters;
        EXPECT_EQ(0, fits) << parameters;
    }
    int fits = 1;
    // A path with a blank that has no room left for its quotes.
    std::string full = "C:\\a b" + std::string(252, 'x');
    ASSERT_EQ(258u, full.size());
    EXPECT_EQ(full, Made(full, "", &fits));
    EXPECT_EQ(0, fits);
}

TEST(CommandLine, SplittingStoredCommandLines) {
    kt_test::TempDir dir;
    dir.Write("Old Tool\\old tool.exe", "MZ");
    const std::string existing = dir.File("Old Tool\\old tool.exe");
    struct Case {
        const char* what;
        std::string commandLine;
        Split expected;
    };
    const Case cases[] = {
        {"an opening quote without a closing one",
         "\"C:\\Program Files\\t.exe /x",
         {"C:\\Program Files\\t.exe /x", ""}},
        {"many blanks before the parameters", "\"C:\\t.exe\"     -a  b", {"C:\\t.exe", "-a  b"}},
        {"bare, with parameters", "C:\\t.exe    %1", {"C:\\t.exe", "%1"}},
        {"a bare path with blanks naming an existing file", existing, {existing, ""}},
        {"a bare path with blanks naming no file",
         "C:\\No Such\\tool.exe",
         {"C:\\No", "Such\\tool.exe"}},
        {"empty", "", {"", ""}},
    };
    for (const Case& c : cases) {
        Split got = SplitOf(c.commandLine);
        EXPECT_EQ(c.expected.program, got.program) << c.what;
        EXPECT_EQ(c.expected.parameters, got.parameters) << c.what;
    }
}

TEST(CommandLine, ADerivedNameIsTheFileNameUpToItsFirstDot) {
    struct Case {
        const char* what;
        std::string typed;
        const char* path;
        std::string name;
    };
    const Case cases[] = {
        {"upper case", "", "C:\\Windows\\NOTEPAD.EXE", "Notepad"},
        {"two dots", "", "D:\\bin\\my.tool.exe", "My"},
        {"no folder", "", "tool.exe", "Tool"},
        {"a leading dot stays", "", "C:\\x\\.hidden.exe", ".hidden"},
        {"a path ending in a backslash empties the name", "Kept", "C:\\Tools\\", ""},
        {"the typed name when only its case differs", "NOTEPAD", "C:\\Windows\\notepad.exe",
         "NOTEPAD"},
        {"another name is replaced", "Editor", "C:\\Windows\\notepad.exe", "Notepad"},
        {"at most 31 characters", "", "C:\\x\\abcdefghijklmnopqrstuvwxyzABCDEFGHIJ.exe",
         "Abcdefghijklmnopqrstuvwxyzabcde"},
    };
    for (const Case& c : cases) {
        char name[kToolNameSize];
        lstrcpynA(name, c.typed.c_str(), sizeof name);
        DeriveToolName(name, c.path);
        EXPECT_EQ(c.name, std::string(name)) << c.what;
    }
}

}  // namespace
