// File-name helpers over tables of cases, and the existence tests on real
// files.
#include "ui/file_util.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(FileEqual, ComparesFullPathNames) {
    struct Case {
        const char* a;
        const char* b;
        int equal;
    };
    const Case cases[] = {
        {"C:\\Tools\\chn.dat", "c:\\tools\\CHN.DAT", 1},
        {"C:\\Tools\\", "C:\\Tools", 1},
        {"C:/Tools/chn.dat", "C:\\Tools\\chn.dat", 1},
        {"C:\\Tools\\sub\\..\\chn.dat", "C:\\Tools\\chn.dat", 1},
        {"C:\\", "C:\\", 1},
        {"C:\\Tools\\a", "C:\\Tools\\b", 0},
        {"C:\\Tools", "D:\\Tools", 0},
        {"C:\\Tools\\a", "C:\\Tools\\a\\b", 0},
        {nullptr, "C:\\Tools", 0},
        {"C:\\Tools", nullptr, 0},
        {"", "C:\\Tools", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a ? c.a : "(null)") + " vs " + (c.b ? c.b : "(null)"));
        EXPECT_EQ(c.equal, FileEqual(c.a, c.b));
    }
}

TEST(StrEqual, IgnoresCaseOnly) {
    EXPECT_TRUE(StrEqual("Korvane", "KORVANE"));
    EXPECT_FALSE(StrEqual("Korvane", "Korvane "));
    EXPECT_FALSE(StrEqual("Korvane", nullptr));
    EXPECT_TRUE(StrEqual(nullptr, nullptr));
}

TEST(DirPlusFile, JoinsWithOneSeparator) {
    struct Case {
        const char* dir;
        const char* file;
        const char* joined;
    };
    const Case cases[] = {
        {"C:\\dir", "a.txt", "C:\\dir\\a.txt"},
        {"C:\\dir\\", "a.txt", "C:\\dir\\a.txt"},
        {"C:/dir/", "a.txt", "C:/dir/a.txt"},
        {"C:", "a.txt", "C:a.txt"},
        {"", "a.txt", "a.txt"},
        {nullptr, "a.txt", "a.txt"},
        {"C:\\dir", "", "C:\\dir\\"},
        {"C:\\dir", nullptr, "C:\\dir\\"},
        {"\\\\server\\share", "x", "\\\\server\\share\\x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dir ? c.dir : "(null)") + " + " + (c.file ? c.file : "(null)"));
        char out[MAX_PATH];
        EXPECT_STREQ(c.joined, DirPlusFile(out, sizeof out, c.dir, c.file));
    }
}

TEST(DirPlusFile, CutsToTheBufferAndNeverWritesPastIt) {
    struct Case {
        int size;
        const char* joined;
    };
    // "C:\dir" + "a.txt" is "C:\dir\a.txt" (12 characters).
    const Case cases[] = {
        {1, ""},           {4, "C:\\"},           {7, "C:\\dir"},         {8, "C:\\dir\\"},
        {9, "C:\\dir\\a"}, {12, "C:\\dir\\a.tx"}, {13, "C:\\dir\\a.txt"}, {40, "C:\\dir\\a.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        DirPlusFile(buffer, c.size, "C:\\dir", "a.txt");
        EXPECT_STREQ(c.joined, buffer);
        for (int i = c.size; i < static_cast<int>(sizeof buffer); ++i)
            ASSERT_EQ('#', buffer[i]) << "written at " << i;
    }
    char untouched[4] = "xyz";
    DirPlusFile(untouched, 0, "C:\\dir", "a.txt");
    EXPECT_STREQ("xyz", untouched);
}

TEST(DirPlusFile, DirMayBeTheOutputBuffer) {
    char path[MAX_PATH] = "C:\\Program Files\\Korvane";
    EXPECT_STREQ("C:\\Program Files\\Korvane\\korvane.cnt",
                 DirPlusFile(path, sizeof path, path, "korvane.cnt"));
    char small[12] = "C:\\dir";
    EXPECT_STREQ("C:\\dir\\a.tx", DirPlusFile(small, sizeof small, small, "a.txt"));
}

TEST(DirPlusFile, LongPathsAreJoinedWholeWhenTheBufferHoldsThem) {
    std::string dir = "C:\\" + std::string(300, 'd');
    std::string file(200, 'f');
    char out[1024];
    EXPECT_EQ(dir + "\\" + file, DirPlusFile(out, sizeof out, dir.c_str(), file.c_str()));
}

TEST(JoinPath, JoinsOnlyWhatFitsWholeAndLeavesTheBufferOtherwise) {
    // "C:\dir" + "a.txt" needs 12 characters and a terminator.
    struct Case {
        int size;
        int joined;
        const char* text;
    };
    const Case cases[] = {
        {12, 0, "untouched"}, {13, 1, "C:\\dir\\a.txt"}, {14, 1, "C:\\dir\\a.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[32] = "untouched";
        EXPECT_EQ(c.joined, JoinPath(buffer, c.size, "C:\\dir", "a.txt"));
        EXPECT_STREQ(c.text, buffer);
    }
    char buffer[32];
    EXPECT_EQ(1, JoinPath(buffer, sizeof buffer, "C:\\dir\\", "a.txt"));
    EXPECT_STREQ("C:\\dir\\a.txt", buffer);
}

TEST(GetFilePart, IsWhatFollowsTheLastSeparator) {
    struct Case {
        const char* path;
        const char* part;
    };
    const Case cases[] = {
        {"C:\\dir\\a.txt", "a.txt"},
        {"C:/dir/a.txt", "a.txt"},
        {"dir\\sub/a", "a"},
        {"C:a.txt", "a.txt"},
        {"a.txt", "a.txt"},
        {"C:\\dir\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_STREQ(c.part, GetFilePart(c.path));
        char writable[MAX_PATH];
        lstrcpynA(writable, c.path, sizeof writable);
        char* part = GetFilePart(writable);
        EXPECT_EQ(writable + std::strlen(c.path) - std::strlen(c.part), part);
    }
    EXPECT_EQ(nullptr, GetFilePart(static_cast<const char*>(nullptr)));
}

TEST(GetCmdLinePrm, FindsNamedParametersAndTheirValues) {
    struct Case {
        const char* commandLine;
        const char* name;
        int found;
        const char* value;
    };
    const Case cases[] = {
        {"ktconfig.exe /D", "D", 1, ""},
        {"ktconfig.exe /d /x", "D", 1, ""},
        {"ktconfig.exe -path:C:\\Tools /q", "path", 1, "C:\\Tools"},
        {"ktconfig.exe /path=C:\\Tools", "PATH", 1, "C:\\Tools"},
        {"ktconfig.exe /dir:\"C:\\Program Files\\Korvane\" /q", "dir", 1,
         "C:\\Program Files\\Korvane"},
        {"ktconfig.exe \"/dir:C:\\a b\"", "dir", 0, ""},
        {"\"C:\\my -x\\ktconfig.exe\" /y", "x", 0, ""},
        {"ktconfig.exe a/x", "x", 0, ""},
        {"ktconfig.exe /a /b", "c", 0, ""},
        {"ktconfig.exe /a", "", 0, ""},
        {"ktconfig.exe /a", nullptr, 0, ""},
        {"", "a", 0, ""},
        {nullptr, "a", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.commandLine ? c.commandLine : "(null)") + " for " +
                     (c.name ? c.name : "(null)"));
        char value[MAX_PATH] = "stale";
        EXPECT_EQ(c.found, GetCmdLinePrm(c.commandLine, c.name, value));
        EXPECT_STREQ(c.value, value);
        EXPECT_EQ(c.found, GetCmdLinePrm(c.commandLine, c.name, nullptr));
    }
}

TEST(GetCmdLinePrm, CutsALongValueToItsBuffer) {
    std::string longValue(2 * MAX_PATH, 'v');
    std::string commandLine = "ktconfig.exe /p:" + longValue + " /q";
    char value[MAX_PATH + 8];
    std::memset(value, '#', sizeof value);
    EXPECT_EQ(1, GetCmdLinePrm(commandLine.c_str(), "p", value));
    EXPECT_EQ(std::string(MAX_PATH - 1, 'v'), value);
    EXPECT_EQ('#', value[MAX_PATH]);
}

TEST(FileExists, TellsFilesFromDirectories) {
    kt_test::TempDir dir;
    dir.Write("chn.dat", "x");
    dir.MakeDir("sub");
    struct Case {
        std::string path;
        int file;
        int directory;
    };
    const Case cases[] = {
        {dir.File("chn.dat"), 1, 0},          {dir.File("sub"), 0, 1},
        {dir.File("sub") + "\\", 0, 1},       {dir.File("missing.dat"), 0, 0},
        {dir.File("missing\\chn.dat"), 0, 0}, {"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.file, FileExists(c.path.c_str()));
        EXPECT_EQ(c.directory, DirExists(c.path.c_str()));
    }
    EXPECT_EQ(0, FileExists(nullptr));
    EXPECT_EQ(0, DirExists(nullptr));
}

}  // namespace
