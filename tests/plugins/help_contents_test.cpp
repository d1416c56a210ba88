// The help contents file: a plug-in's ":Index" line goes in, replacing the
// line of the same help file or before the first entry, and comes out
// again; every other line stays as it was, byte for byte, with its own line
// end, and the file is replaced in one step or not at all.
#include "plugins/help_contents.h"
#include "plugins/plugin_module.h"
#include "tests/plugins/plugin_world.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const char kBetaIndex[] = "Beta Help=beta.hlp";

// A contents file in a directory of its own.
class ContentsDir {
public:
    explicit ContentsDir(const std::string& content) { dir.Write("korvane.cnt", content); }
    std::string Path() const { return dir.File("korvane.cnt"); }
    std::string Read() const { return kt_test::ReadFileText(Path()); }
    bool TempLeft() const { return dir.Exists("korvane.new"); }
    kt_test::TempDir dir;
};

struct Case {
    const char* what;
    std::string before;
    std::string after;
};

std::string AddedTo(const std::string& content, const char* helpIndex, bool* tempLeft) {
    ContentsDir file(content);
    AddHelpIndexTo(file.Path().c_str(), helpIndex);
    *tempLeft = file.TempLeft();
    return file.Read();
}

TEST(HelpContentsAdd, TheLineReplacesItsHelpFilesLineOrGoesBeforeTheFirstEntry) {
    const std::string line = ":Index Beta Help=beta.hlp";
    const std::string longEntry = "1 " + std::string(5000, 'e');
    const std::string longHeader = ":Title " + std::string(3000, 't');
    const Case cases[] = {
        {"replaced at the same place",
         ":Base korvane.hlp\r\n:Index Old Title=beta.hlp\r\n:Index A=a.hlp\r\n1 Topic\r\n",
         ":Base korvane.hlp\r\n" + line + "\r\n:Index A=a.hlp\r\n1 Topic\r\n"},
        {"a second line of the same help file stays",
         ":Index X=beta.hlp\r\n:Index Y=beta.hlp\r\n1 T\r\n",
         line + "\r\n:Index Y=beta.hlp\r\n1 T\r\n"},
        {"matching is case-sensitive", ":Index X=BETA.HLP\r\n1 T\r\n",
         ":Index X=BETA.HLP\r\n" + line + "\r\n1 T\r\n"},
        {"inserted after the leading header lines only",
         ":Base k.hlp\r\n1 T\r\n:Index Z=beta.hlp\r\n",
         ":Base k.hlp\r\n" + line + "\r\n1 T\r\n:Index Z=beta.hlp\r\n"},
        {"an empty file stays empty", "", ""},
        {"header lines without a match stay as they are", ":Base k.hlp\r\n:Index A=a.hlp\r\n",
         ":Base k.hlp\r\n:Index A=a.hlp\r\n"},
        {"only header lines, one matching", ":Base k.hlp\r\n:Index Q=beta.hlp\r\n",
         ":Base k.hlp\r\n" + line + "\r\n"},
        {"LF lines", ":Base k.hlp\n1 T\n2 U\n", ":Base k.hlp\n" + line + "\n1 T\n2 U\n"},
        {"the new line ends like the entry after it", ":Base k.hlp\r\n1 T\n",
         ":Base k.hlp\r\n" + line + "\n1 T\n"},
        {"a last line without an end stays without one", ":Base k.hlp\r\n:Index O=beta.hlp",
         ":Base k.hlp\r\n" + line},
        {"before a last entry without an end", ":Base k.hlp\n1 T",
         ":Base k.hlp\n" + line + "\n1 T"},
        {"a file of one entry", "1 T", line + "\r\n1 T"},
        {"blank lines are entries", ":Base k.hlp\r\n\r\n1 T\r\n",
         ":Base k.hlp\r\n" + line + "\r\n\r\n1 T\r\n"},
        {"long lines are copied whole", longHeader + "\r\n" + longEntry + "\r\n" + longEntry,
         longHeader + "\r\n" + line + "\r\n" + longEntry + "\r\n" + longEntry},
        {"a long header line is matched as a whole",
         ":Index " + std::string(3000, 'o') + "=beta.hlp\r\n1 T\r\n", line + "\r\n1 T\r\n"},
    };
    for (const Case& c : cases) {
        bool tempLeft = true;
        EXPECT_EQ(c.after, AddedTo(c.before, kBetaIndex, &tempLeft)) << c.what;
        EXPECT_FALSE(tempLeft) << c.what;
    }
}

TEST(HelpContentsAdd, AHelpIndexWithoutEqualsSignLeavesTheFileUntouched) {
    const std::string content = ":Index Beta=beta.hlp\r\n1 T\r\n";
    bool tempLeft = true;
    EXPECT_EQ(content, AddedTo(content, "Beta beta.hlp", &tempLeft));
    EXPECT_FALSE(tempLeft);
}

// A chain of records as the page keeps it.
class Chain {
public:
    Chain& Add(const char* helpIndex, int flags) {
        auto rec = std::make_unique<TPluginRec>();
        std::memset(rec.get(), 0, sizeof(TPluginRec));
        std::strcpy(rec->helpIndex, helpIndex);
        rec->flags = flags;
        rec->next = records.empty() ? nullptr : records.back().get();
        records.push_back(std::move(rec));
        return *this;
    }
    const TPluginRec* Head() const { return records.empty() ? nullptr : records.back().get(); }

private:
    std::vector<std::unique_ptr<TPluginRec>> records;
};

TEST(HelpContentsRemove, EveryHeaderLineOfARegisteredPluginGoesWhereverItStands) {
    Chain chain;
    chain.Add("Alpha Help=alpha.hlp", kPluginRegistered)
        .Add("Beta Help=beta.hlp", kPluginListed | kPluginChecked)
        .Add("Gamma gamma.hlp", kPluginRegistered)
        .Add("Delta=delta.hlp", kPluginRegistered);
    const Case cases[] = {
        {"every matching line", ":Index A=alpha.hlp\r\n1 T\r\n:Index B=alpha.hlp\r\n", "1 T\r\n"},
        {"lines of unregistered plug-ins and entries stay",
         ":Index B=beta.hlp\r\n1 Topic=alpha.hlp\r\n",
         ":Index B=beta.hlp\r\n1 Topic=alpha.hlp\r\n"},
        {"case-sensitive", ":Index A=Alpha.hlp\n:Index D=delta.hlp\n", ":Index A=Alpha.hlp\n"},
        {"a last line without an end", ":Base k.hlp\r\n:Index D=delta.hlp", ":Base k.hlp\r\n"},
        {"an empty file", "", ""},
        {"LF and CR LF kept", ":Base k.hlp\n:Index A=alpha.hlp\r\n:Title T\r\n1 T\n",
         ":Base k.hlp\n:Title T\r\n1 T\n"},
    };
    for (const Case& c : cases) {
        ContentsDir file(c.before);
        RemoveHelpIndexesFrom(file.Path().c_str(), chain.Head());
        EXPECT_EQ(c.after, file.Read()) << c.what;
        EXPECT_FALSE(file.TempLeft()) << c.what;
    }
}

TEST(HelpContentsRemove, WithoutARegisteredHelpFileTheFileIsNotRewritten) {
    Chain chain;
    chain.Add("Beta Help=beta.hlp", kPluginListed).Add("NoKey", kPluginRegistered);
    ContentsDir file(":Index B=beta.hlp\r\n");
    // A rewrite, even to the same content, would give the file a new time.
    FILETIME before{}, after{};
    HANDLE probe = CreateFileA(file.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, probe);
    GetFileTime(probe, nullptr, nullptr, &before);
    CloseHandle(probe);
    Sleep(20);
    RemoveHelpIndexesFrom(file.Path().c_str(), chain.Head());
    probe = CreateFileA(file.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, probe);
    GetFileTime(probe, nullptr, nullptr, &after);
    CloseHandle(probe);
    EXPECT_EQ(0, CompareFileTime(&before, &after));
    EXPECT_EQ(":Index B=beta.hlp\r\n", file.Read());
}

TEST(HelpContentsFrame, AMissingFileIsNotCreated) {
    kt_test::TempDir dir;
    AddHelpIndexTo(dir.File("korvane.cnt").c_str(), kBetaIndex);
    EXPECT_FALSE(dir.Exists("korvane.cnt"));
    EXPECT_FALSE(dir.Exists("korvane.new"));
}

TEST(HelpContentsFrame, WithoutARoomForTheCopyTheFileStaysAsItWas) {
    const std::string content = ":Base k.hlp\r\n1 T\r\n";
    ContentsDir file(content);
    file.dir.MakeDir("korvane.new");
    AddHelpIndexTo(file.Path().c_str(), kBetaIndex);
    EXPECT_EQ(content, file.Read());
    EXPECT_TRUE(kt_test::PathExists(file.dir.File("korvane.new")));
}

TEST(HelpContentsFrame, AFileHeldByAnotherProgramKeepsItsContentAndNoCopyRemains) {
    struct Case {
        const char* what;
        const char* held;  // the contents file or its copy
        DWORD access;
        DWORD share;
    };
    const Case cases[] = {
        {"a writer: it cannot be read", "korvane.cnt", GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"a reader that does not share deletion: it cannot be replaced", "korvane.cnt",
         GENERIC_READ, FILE_SHARE_READ},
        {"a reader that shares nothing", "korvane.cnt", GENERIC_READ, 0},
        {"a left copy held without sharing: it cannot be made", "korvane.new", GENERIC_READ, 0},
        {"a left copy held by a writer", "korvane.new", GENERIC_WRITE, FILE_SHARE_WRITE},
    };
    Chain chain;
    chain.Add("Alpha Help=alpha.hlp", kPluginRegistered);
    const std::string content = ":Base k.hlp\r\n:Index A=alpha.hlp\r\n1 T\r\n";
    const std::function<void(const std::string&)> routines[] = {
        [](const std::string& path) { AddHelpIndexTo(path.c_str(), kBetaIndex); },
        [&chain](const std::string& path) { RemoveHelpIndexesFrom(path.c_str(), chain.Head()); },
    };
    for (const Case& c : cases) {
        for (int routine = 0; routine < 2; ++routine) {
            const std::string what = std::string(routine ? "removing, " : "adding, ") + c.what;
            ContentsDir file(content);
            const bool copyHeld = std::strcmp(c.held, "korvane.new") == 0;
            if (copyHeld)
                file.dir.Write(c.held, "an old copy");
            HANDLE holder = CreateFileA(file.dir.File(c.held).c_str(), c.access, c.share, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, holder) << what;
            routines[routine](file.Path());
            CloseHandle(holder);
            EXPECT_EQ(content, file.Read()) << what;
            // A copy that someone else holds is theirs; none of ours remains.
            EXPECT_EQ(copyHeld, file.TempLeft()) << what;
            if (copyHeld) {
                EXPECT_EQ("an old copy", kt_test::ReadFileText(file.dir.File(c.held))) << what;
            }
        }
    }
}

TEST(HelpContentsFrame, TheContentsFileLivesBesideTheRunningProgram) {
    kt_test::ContentsFile beside;
    char path[MAX_PATH];
    ASSERT_TRUE(ContentsFilePath(path, sizeof path));
    EXPECT_EQ(beside.Path(), path);
    beside.Write(":Base k.hlp\r\n1 T\r\n");
    AddHelpIndex(kBetaIndex);
    EXPECT_EQ(":Base k.hlp\r\n:Index Beta Help=beta.hlp\r\n1 T\r\n", beside.Read());
    EXPECT_FALSE(kt_test::PathExists(beside.TempPath()));
    // A buffer too small for the path gets nothing rather than a cut one.
    char small[8];
    EXPECT_FALSE(ContentsFilePath(small, sizeof small));
    EXPECT_STREQ("", small);
}

}  // namespace
