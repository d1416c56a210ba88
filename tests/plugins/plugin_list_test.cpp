// The check list of the Plug-ins page: registered plug-ins checked, found
// ones unchecked after them, scans that keep the checked rows, and clicks
// whose row and record follow each other.
#include "plugins/plugin_module.h"
#include "plugins/plugin_page.h"
#include "tests/plugins/plugin_world.h"
#include "ui/file_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kt_test::CopyModule;
using Names = std::vector<std::string>;
using Marks = std::vector<bool>;

class PluginList : public ::testing::Test, protected kt_test::PluginWorld {
protected:
    // The record of the listed plug-in name.
    const TPluginRec* Record(const char* name) const {
        const TPluginRec* rec = Page()->FindListedPlugin(name);
        EXPECT_NE(nullptr, rec) << name << " is not listed";
        return rec;
    }
    int Flags(const char* name) const {
        const TPluginRec* rec = Record(name);
        return rec ? rec->flags : -1;
    }
};

TEST_F(PluginList, RegisteredPluginsComeCheckedAndTheProductDirectoryUncheckedAfterThem) {
    kt_test::TempDir installed;
    Register("Alpha", CopyModule(installed, "pl_alpha"));
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((Names{"Alpha", "Beta"}), Rows());
    EXPECT_EQ((Marks{true, false}), Checks());
    EXPECT_EQ(kPluginListed | kPluginRegistered | kPluginChecked, Flags("Alpha"));
    EXPECT_EQ(kPluginListed, Flags("Beta"));
    EXPECT_EQ(productDir.Path() + "\\", Page()->ScanDirectory());
    EXPECT_FALSE(Page()->Dirty());
}

TEST_F(PluginList, TheNameShownIsTheReportedOneNotTheSubkeys) {
    kt_test::TempDir installed;
    Register("Old Name", CopyModule(installed, "pl_alpha"));
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((Names{"Alpha"}), Rows());
}

TEST_F(PluginList, ARegisteredAndAFoundModuleOfTheSameNameShowOnlyTheRegisteredOne) {
    kt_test::TempDir installed;
    std::string registered = CopyModule(installed, "pl_alpha");
    Register("Alpha", registered);
    CopyModule(productDir, "pl_alpha", "alpha-copy.dll");
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((Names{"Alpha"}), Rows());
    EXPECT_EQ((Marks{true}), Checks());
    EXPECT_STREQ(registered.c_str(), Record("Alpha")->file);
}

TEST_F(PluginList, RegistrationsThatNameNoUsableModuleAreNotListed) {
    kt_test::TempDir installed;
    Register("Missing", installed.File("gone.dll"));
    Register("Empty", "");
    Register("Unmarked", CopyModule(installed, "pl_unmarked"));
    Register("Old", CopyModule(installed, "pl_v400"));
    Register("Refusing", CopyModule(installed, "pl_refuses"));
    Register("Directory", installed.Path());
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE,
                          (std::string(kt_test::kPluginsKey) + "\\No value").c_str());
    Register("Beta", CopyModule(installed, "pl_beta"));
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((Names{"Beta"}), Rows());
}

TEST_F(PluginList, TwoModulesOfOneNameInADirectoryListTheFirstTheSearchReturns) {
    CopyModule(productDir, "pl_twin1");
    CopyModule(productDir, "pl_twin2");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(productDir.File("*.dll").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    std::string first = productDir.File(found.cFileName);
    FindClose(search);
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ((Names{"Twin"}), Rows());
    EXPECT_STREQ(first.c_str(), Record("Twin")->file);
}

TEST_F(PluginList, TextsThatDoNotFitTheirFieldsHoldControlCharactersOrNameNoKeyAreSkipped) {
    struct Case {
        const char* module;
        bool listed;
    };
    const Case cases[] = {
        {"pl_name255", true},       {"pl_name256", false},   {"pl_help2047", true},
        {"pl_help2048", false},     {"pl_backslash", false}, {"pl_empty_name", false},
        {"pl_gamma", true},                                  // a null help index is an empty one
        {"pl_help_newline", false}, {"pl_name_tab", false},  // control characters
    };
    for (const Case& c : cases)
        CopyModule(productDir, c.module);
    ASSERT_NE(nullptr, Build());
    const std::string name255 = "N" + std::string(254, 'x');
    std::vector<std::string> rows = Rows();
    EXPECT_EQ(3u, rows.size());
    EXPECT_NE(-1, RowOf(name255));
    EXPECT_NE(-1, RowOf("Long Help"));
    EXPECT_NE(-1, RowOf("Gamma"));
    if (const TPluginRec* rec = Record("Long Help")) {
        EXPECT_EQ(2047u, std::string(rec->helpIndex).size());
    }
    if (const TPluginRec* rec = Record("Gamma")) {
        EXPECT_STREQ("", rec->helpIndex);
    }
}

TEST(PluginListLongProductPath, ThePluginsBesideAProgramWithAPathOf256To259CharactersAreFound) {
    const std::string program = "korvane.exe";
    for (size_t length : {256u, 259u}) {
        SCOPED_TRACE(length);
        kt_test::PluginWorld w;
        // Folders below the product directory until the program's path has
        // length characters.
        const size_t folderLength = length - program.size() - 1;
        std::string relative;
        for (size_t left = folderLength - w.productDir.Path().size(); left > 0;) {
            size_t part = left > 101 ? 100 : left - 1;
            ASSERT_GT(part, 0u);
            relative += "\\" + std::string(part, 'd');
            left -= part + 1;
        }
        relative.erase(0, 1);
        w.productDir.Write(relative + "\\" + program, "MZ");
        const std::string exe = w.productDir.File(relative + "\\" + program);
        ASSERT_EQ(length, exe.size());
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths",
                              nullptr, exe.c_str());
        const std::string module = w.productDir.File(relative + "\\a.dll");
        ASSERT_TRUE(CopyFileA(kt_test::TestModule("pl_alpha").c_str(), module.c_str(), FALSE));
        ASSERT_NE(nullptr, w.Build());
        EXPECT_EQ((Names{"Alpha"}), w.Rows());
        const TPluginRec* rec = w.Page()->FindListedPlugin("Alpha");
        ASSERT_NE(nullptr, rec);
        EXPECT_EQ(module, rec->file);
    }
}

TEST_F(PluginList, UncheckingARegisteredPluginAndScanningAgainDropsItsRow) {
    kt_test::TempDir installed;
    Register("Alpha", CopyModule(installed, "pl_alpha"));
    kt_test::TempDir other;
    CopyModule(other, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Alpha"));
    EXPECT_EQ(kPluginListed | kPluginRegistered, Flags("Alpha"));
    Scan(other.Path());
    EXPECT_EQ((Names{"Beta"}), Rows());
    EXPECT_EQ(nullptr, Page()->FindListedPlugin("Alpha"));
}

TEST_F(PluginList, AnUncheckedRegisteredPluginFoundAgainIsANewUncheckedRow) {
    kt_test::TempDir installed;
    std::string registered = CopyModule(installed, "pl_alpha");
    Register("Alpha", registered);
    kt_test::TempDir other;
    std::string found = CopyModule(other, "pl_alpha", "another-alpha.dll");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Alpha"));
    Scan(other.Path());
    EXPECT_EQ((Names{"Alpha"}), Rows());
    EXPECT_EQ((Marks{false}), Checks());
    const TPluginRec* listed = Record("Alpha");
    ASSERT_NE(nullptr, listed);
    EXPECT_STREQ(found.c_str(), listed->file);
    EXPECT_EQ(kPluginListed, listed->flags);
    // The registered record stays beside it, off the list.
    int records = 0;
    for (const TPluginRec* rec = Page()->Plugins(); rec; rec = rec->next)
        ++records;
    EXPECT_EQ(2, records);
}

TEST_F(PluginList, ACheckedFoundPluginKeepsItsRowAndMarkThroughAScanOfAnotherDirectory) {
    CopyModule(productDir, "pl_alpha");
    CopyModule(productDir, "pl_beta");
    kt_test::TempDir other;
    CopyModule(other, "pl_gamma");
    ASSERT_NE(nullptr, Build());
    ClickCheck(RowOf("Beta"));
    Scan(other.Path());
    EXPECT_EQ((Names{"Beta", "Gamma"}), Rows());
    EXPECT_EQ((Marks{true, false}), Checks());
    EXPECT_EQ(kPluginListed | kPluginChecked, Flags("Beta"));
    EXPECT_TRUE(FileEqual(other.Path().c_str(), Page()->ScanDirectory()));
}

TEST_F(PluginList, AFoundPluginDroppedAndFoundAgainIsListedInItsOldRecord) {
    CopyModule(productDir, "pl_alpha");
    kt_test::TempDir empty;
    ASSERT_NE(nullptr, Build());
    const TPluginRec* before = Record("Alpha");
    Scan(empty.Path());
    EXPECT_TRUE(Rows().empty());
    Scan(productDir.Path());
    EXPECT_EQ((Names{"Alpha"}), Rows());
    EXPECT_EQ(before, Record("Alpha"));
}

TEST_F(PluginList, AClickOnTheBoxOfAnotherRowSelectsItAndItsRecordFollows) {
    kt_test::TempDir installed;
    Register("Alpha", CopyModule(installed, "pl_alpha"));
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    ClickText(RowOf("Alpha"));
    ASSERT_EQ(RowOf("Alpha"), Selection());
    ClickCheck(RowOf("Beta"));
    EXPECT_EQ(RowOf("Beta"), Selection());
    EXPECT_EQ(kPluginListed | kPluginChecked, Flags("Beta"));
    EXPECT_EQ(kPluginListed | kPluginRegistered | kPluginChecked, Flags("Alpha"));
    EXPECT_EQ(productDir.File("pl_beta.dll"), ShownFile());
    EXPECT_TRUE(Page()->Dirty());
}

TEST_F(PluginList, TheSpaceBarTogglesTheSelectedRowAndItsRecord) {
    CopyModule(productDir, "pl_alpha");
    ASSERT_NE(nullptr, Build());
    ClickText(0);
    PressSpace();
    EXPECT_EQ((Marks{true}), Checks());
    EXPECT_EQ(kPluginListed | kPluginChecked, Flags("Alpha"));
    PressSpace();
    EXPECT_EQ((Marks{false}), Checks());
    EXPECT_EQ(kPluginListed, Flags("Alpha"));
}

TEST_F(PluginList, TheSelectedRowShowsItsModulesPathAndNoSelectionNothing) {
    CopyModule(productDir, "pl_alpha");
    CopyModule(productDir, "pl_beta");
    ASSERT_NE(nullptr, Build());
    EXPECT_EQ("", ShownFile());
    ClickText(RowOf("Beta"));
    EXPECT_EQ(productDir.File("pl_beta.dll"), ShownFile());
    ClickText(RowOf("Alpha"));
    EXPECT_EQ(productDir.File("pl_alpha.dll"), ShownFile());
    // A scan that takes the selected row away empties the display.
    kt_test::TempDir empty;
    Scan(empty.Path());
    EXPECT_EQ(LB_ERR, Selection());
    EXPECT_EQ("", ShownFile());
}

TEST_F(PluginList, ACancelledChooserLeavesTheList) {
    CopyModule(productDir, "pl_alpha");
    ASSERT_NE(nullptr, Build());
    Scan("");
    EXPECT_EQ((Names{"Alpha"}), Rows());
    EXPECT_FALSE(Page()->Dirty());
}

// Where the first scan looks: the directory of the installed program.
TEST(PluginListDefaultDirectory, TheProgramsDirectoryIsScannedAndNothingElse) {
    struct Case {
        const char* what;
        std::string appPaths;  // "" : no value
        bool found;
    };
    kt_test::TempDir product;
    const Case cases[] = {
        {"the program file", product.File("korvane.exe"), true},
        {"a trailing separator", product.Path() + "\\", true},
        {"the directory without a separator loses it", product.Path(), false},
        {"a bare file name names no directory", "korvane.exe", false},
        {"no value", "", false},
    };
    CopyModule(product, "pl_alpha");
    for (const Case& c : cases) {
        kt_test::PluginWorld w;
        if (c.appPaths.empty())
            kt_test::DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths");
        else
            kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths",
                                  nullptr, c.appPaths.c_str());
        ASSERT_NE(nullptr, w.Build()) << c.what;
        EXPECT_EQ(c.found ? Names{"Alpha"} : Names{}, w.Rows()) << c.what;
    }
}

TEST_F(PluginList, TheWaitCursorGoesWhicheverWayTheScanEnds) {
    CopyModule(productDir, "pl_alpha");
    kt_test::TempDir empty;
    ASSERT_NE(nullptr, Build());
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const std::string& dir :
         {productDir.Path(), empty.Path(), empty.File("missing"), std::string()}) {
        SetCursor(arrow);
        int shown = ShowCursor(TRUE);
        ShowCursor(FALSE);
        Page()->ScanDir(dir.c_str());
        EXPECT_EQ(arrow, GetCursor()) << dir;
        EXPECT_EQ(shown, ShowCursor(TRUE)) << dir;
        ShowCursor(FALSE);
    }
}

}  // namespace
