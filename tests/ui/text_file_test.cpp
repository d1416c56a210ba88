// The text file: lines come back whole with their own line ends, and what is
// written reaches the file exactly.
#include "tests/support/temp_dir.h"
#include "ui/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TLine {
    std::string text;
    std::string end;
    bool operator==(const TLine& other) const { return text == other.text && end == other.end; }
};

std::ostream& operator<<(std::ostream& out, const TLine& line) {
    out << '"' << line.text << "\" + ";
    for (char c : line.end)
        out << (c == '\r' ? "CR" : "LF");
    return out;
}

std::vector<TLine> LinesOf(const std::string& content) {
    kt_test::TempDir dir;
    dir.Write("f.txt", content);
    TTextFile file;
    std::vector<TLine> lines;
    EXPECT_TRUE(file.Open(dir.File("f.txt").c_str()));
    while (file.ReadLn() >= 0)
        lines.push_back(
            {std::string(file.Line(), static_cast<size_t>(file.LineLength())), file.LineEnd()});
    EXPECT_FALSE(file.Failed());
    EXPECT_TRUE(file.Close());
    return lines;
}

TEST(TextFile, LinesComeBackWithTheirOwnEnds) {
    struct Case {
        const char* what;
        std::string content;
        std::vector<TLine> lines;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"one line end", "\n", {{"", "\n"}}},
        {"CR LF", "a\r\nb\r\n", {{"a", "\r\n"}, {"b", "\r\n"}}},
        {"mixed", "a\nb\r\nc", {{"a", "\n"}, {"b", "\r\n"}, {"c", ""}}},
        {"lone CR stays in the line", "a\rb\n", {{"a\rb", "\n"}}},
        {"blank lines", "\r\n\r\nx", {{"", "\r\n"}, {"", "\r\n"}, {"x", ""}}},
        {"NUL inside", std::string("a\0b\n", 4), {{std::string("a\0b", 3), "\n"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.lines, LinesOf(c.content)) << c.what;
}

TEST(TextFile, ALongLineComesWholeAcrossTheBuffer) {
    // The CR falls exactly at the end of the first read.
    std::string first(4095, 'x');
    std::string second(10000, 'y');
    std::vector<TLine> lines = LinesOf(first + "\r\n" + second + "\n:last");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ((TLine{first, "\r\n"}), lines[0]);
    EXPECT_EQ((TLine{second, "\n"}), lines[1]);
    EXPECT_EQ((TLine{":last", ""}), lines[2]);
}

TEST(TextFile, TheFirstLineEndIsRemembered) {
    kt_test::TempDir dir;
    dir.Write("f.txt", "a\nb\r\nc");
    TTextFile file;
    ASSERT_TRUE(file.Open(dir.File("f.txt").c_str()));
    EXPECT_STREQ("", file.FirstLineEnd());
    file.ReadLn();
    file.ReadLn();
    EXPECT_STREQ("\n", file.FirstLineEnd());
    EXPECT_STREQ("\r\n", file.LineEnd());
}

TEST(TextFile, WrittenLinesReachTheFileExactly) {
    kt_test::TempDir dir;
    std::string big(9000, 'z');
    {
        TTextFile file;
        ASSERT_TRUE(file.Create(dir.File("out.txt").c_str()));
        EXPECT_TRUE(file.WriteLn("one", 3, "\r\n"));
        EXPECT_TRUE(file.WriteLn(big.c_str(), big.size(), "\n"));
        EXPECT_TRUE(file.Write("last"));
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ("one\r\n" + big + "\nlast", dir.Read("out.txt"));
}

TEST(TextFile, CreateReplacesAnEarlierFile) {
    kt_test::TempDir dir;
    dir.Write("out.txt", "old content that is longer");
    TTextFile file;
    ASSERT_TRUE(file.Create(dir.File("out.txt").c_str()));
    file.Write("new");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ("new", dir.Read("out.txt"));
}

TEST(TextFile, MissingFilesAndDirectoriesFail) {
    kt_test::TempDir dir;
    dir.MakeDir("sub");
    TTextFile file;
    EXPECT_FALSE(file.Open(dir.File("missing.txt").c_str()));
    EXPECT_EQ(-1, file.ReadLn());
    EXPECT_FALSE(file.Create(dir.File("sub").c_str()));
    EXPECT_FALSE(file.Create(dir.File("no\\such\\dir.txt").c_str()));
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Close());
}

TEST(TextFile, AFileBeingWrittenByAnotherCannotBeOpenedForReading) {
    kt_test::TempDir dir;
    dir.Write("f.txt", "a\n");
    HANDLE writer =
        CreateFileA(dir.File("f.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    TTextFile file;
    EXPECT_FALSE(file.Open(dir.File("f.txt").c_str()));
    CloseHandle(writer);
}

}  // namespace
