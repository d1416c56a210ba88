// Recognising and querying plug-in modules: only a module with the marker
// in its U.S. English version block is ever loaded, and only one that
// answers the query as the interface asks is listed.
#include "plugins/plugin_module.h"
#include "plugins/plugin_page.h"
#include "tests/plugins/plugin_world.h"
#include "ui/file_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using kt_test::LoadWatcher;
using kt_test::TestModule;

TEST(PluginLayout, TheRecordIsLaidOutForThirtyTwoBitModules) {
#if defined(__i386__)
    EXPECT_EQ(32u, sizeof(PLInfo));
    EXPECT_EQ(0u, offsetof(PLInfo, size));
    EXPECT_EQ(4u, offsetof(PLInfo, name));
    EXPECT_EQ(8u, offsetof(PLInfo, version));
    EXPECT_EQ(28u, offsetof(PLInfo, helpIndex));
#else
    GTEST_SKIP() << "the 32-byte layout is the 32-bit build's";
#endif
}

TEST(PluginProbe, OnlyTheMarkerInTheUsEnglishBlockCountsAndNothingIsLoaded) {
    struct Case {
        const char* module;
        int marked;
    };
    const Case cases[] = {
        {"pl_alpha", 1},          {"pl_v400", 1},          {"pl_refuses", 1},
        {"pl_no_export", 1},      {"pl_unmarked", 0},      {"pl_other_name", 0},
        {"pl_other_language", 0}, {"pl_marker_suffix", 0},  // the marker with one more character
    };
    for (const Case& c : cases) {
        LoadWatcher watcher;
        EXPECT_EQ(c.marked, IsPluginModule(TestModule(c.module).c_str())) << c.module;
        EXPECT_EQ("", watcher.List()) << c.module << " was loaded by the test";
    }
    EXPECT_EQ(0, IsPluginModule("C:\\no such directory\\module.dll"));
    EXPECT_EQ(0, IsPluginModule(kt_test::WindowsDir().c_str()));
}

TEST(PluginProbe, TheQueryGivesTheNameAndHelpIndexOfAModuleOfTheRightVersion) {
    struct Case {
        const char* module;
        int valid;
        const char* name;  // when valid
        const char* helpIndex;
    };
    const Case cases[] = {
        {"pl_alpha", 1, "Alpha", "Alpha Help=alpha.hlp"},
        {"pl_gamma", 1, "Gamma", ""},  // no help index: a null pointer
        {"pl_v400", 0, nullptr, nullptr},
        {"pl_v501", 0, nullptr, nullptr},
        {"pl_refuses", 0, nullptr, nullptr},
        {"pl_no_export", 0, nullptr, nullptr},
        {"pl_null_name", 0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        TPluginModule module(TestModule(c.module).c_str());
        ASSERT_NE(nullptr, module.GetHandle()) << c.module;
        EXPECT_EQ(c.valid, module.valid) << c.module;
        if (c.valid && module.valid) {
            EXPECT_STREQ(c.name, module.Name()) << c.module;
            EXPECT_STREQ(c.helpIndex, module.HelpIndex()) << c.module;
        }
        module.Free();
        EXPECT_EQ(nullptr, module.GetHandle());
    }
}

TEST(PluginProbe, AModuleThatCannotBeLoadedIsNotValid) {
    kt_test::TempDir dir;
    dir.Write("broken.dll", "MZ not really a library");
    TPluginModule module(dir.File("broken.dll").c_str());
    EXPECT_EQ(nullptr, module.GetHandle());
    EXPECT_EQ(0, module.valid);
}

class PluginScanProbe : public ::testing::Test, protected kt_test::PluginWorld {};

// Every test module in one directory: the marked ones are loaded (and
// freed), the others never; only the valid ones are listed.
TEST_F(PluginScanProbe, AScanLoadsOnlyMarkedModulesAndListsOnlyValidOnes) {
    kt_test::TempDir dir;
    const char* modules[] = {"pl_alpha",          "pl_gamma",     "pl_unmarked",   "pl_other_name",
                             "pl_other_language", "pl_v400",      "pl_v501",       "pl_refuses",
                             "pl_no_export",      "pl_null_name", "pl_empty_name", "pl_backslash",
                             "pl_marker_suffix"};
    for (const char* module : modules)
        kt_test::CopyModule(dir, module);
    ASSERT_NE(nullptr, Build());
    std::vector<std::string> before = kt_test::ProcessModules();

    LoadWatcher watcher;
    Page()->ScanDir(dir.Path().c_str());

    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Gamma"}), rows);
    for (const char* never :
         {"pl_unmarked", "pl_other_name", "pl_other_language", "pl_marker_suffix"})
        EXPECT_FALSE(watcher.Saw(std::string(never) + ".dll"))
            << never << " was loaded: " << watcher.List();
    for (const char* probed : {"pl_alpha", "pl_v400", "pl_v501", "pl_refuses", "pl_null_name"})
        EXPECT_TRUE(watcher.Saw(std::string(probed) + ".dll"))
            << probed << " was not asked: " << watcher.List();
    // Every probed module is unloaded again.
    EXPECT_EQ(before, kt_test::ProcessModules());
}

TEST_F(PluginScanProbe, OrdinaryDllsOfTheSystemAreNeitherListedNorLoaded) {
    kt_test::TempDir dir;
    char system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
    std::vector<std::string> names;
    std::vector<std::string> loadedNow = kt_test::ProcessModules();
    auto isLoaded = [&loadedNow](const std::string& name) {
        for (const std::string& module : loadedNow) {
            const char* part = GetFilePart(module.c_str());
            if (lstrcmpiA(part, name.c_str()) == 0)
                return true;
        }
        return false;
    };
    // DLLs this process has not loaded, so that a load would show.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(system) + "\\*.dll").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        std::string name = found.cFileName;
        if (isLoaded(name))
            continue;
        if (CopyFileA((std::string(system) + "\\" + name).c_str(), dir.File(name).c_str(), TRUE))
            names.push_back(name);
    } while (names.size() < 12 && FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_GE(names.size(), 6u);

    ASSERT_NE(nullptr, Build());
    std::vector<std::string> before = kt_test::ProcessModules();
    LoadWatcher watcher;
    Page()->ScanDir(dir.Path().c_str());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ("", watcher.List());
    EXPECT_EQ(before, kt_test::ProcessModules());
    for (const std::string& name : names) {
        EXPECT_EQ(nullptr, GetModuleHandleA(dir.File(name).c_str())) << name;
        EXPECT_EQ(nullptr, GetModuleHandleA(name.c_str())) << name;
    }
}

}  // namespace
