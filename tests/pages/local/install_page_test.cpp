#include "tests/pages/local/local_page_test.h"

#include "pages/local/install_store.h"
#include "resources/install_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/config_page.h"

#include <string>
#include <vector>

namespace {

using kt_test::DeleteRegTree;
using kt_test::SetRegString;

const char kAppPathsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths";
const char kTreeName[] = "Korvane";
const char kFound[] = "A Korvane installation has been found.";
const char kNotFound[] = "A Korvane installation has not been found!";

class InstallPage : public ::testing::Test, protected kt_test::PageWorld {};

TEST_F(InstallPage, ShowsTheVersionAndThePath) {
    SetRegString(HKEY_LOCAL_MACHINE, kt_test::kProductKey, nullptr, "6.4.2 (build 118)");
    SetRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, "C:\\Korvane\\korvane.exe");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    EXPECT_EQ(kFound, Text(IDC_INSTALL_VERDICT));
    EXPECT_EQ("6.4.2 (build 118)", Text(IDC_INSTALL_VERSION));
    EXPECT_EQ("C:\\Korvane\\korvane.exe", Text(IDC_INSTALL_PATH));
}

TEST(InstallPageTable, AMissingItemStaysADash) {
    struct Case {
        const char* what;
        const char* version;  // null: no default value
        const char* path;     // null: no AppPaths key
    };
    const Case cases[] = {
        {"no version", nullptr, "C:\\K\\korvane.exe"},
        {"no AppPaths", "6.4", nullptr},
        {"neither", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        kt_test::PageWorld w;
        if (c.version)
            SetRegString(HKEY_LOCAL_MACHINE, kt_test::kProductKey, nullptr, c.version);
        if (c.path)
            SetRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, c.path);
        ASSERT_NE(nullptr, w.BuildAndFind(kTreeName)) << c.what;
        EXPECT_EQ(kFound, w.Text(IDC_INSTALL_VERDICT)) << c.what;
        EXPECT_EQ(c.version ? c.version : "-", w.Text(IDC_INSTALL_VERSION)) << c.what;
        EXPECT_EQ(c.path ? c.path : "-", w.Text(IDC_INSTALL_PATH)) << c.what;
    }
}

TEST_F(InstallPage, ALongPathIsShortenedInTheMiddle) {
    std::string dir = "C:\\Program Files\\Tavrel";
    for (int i = 0; i < 5; ++i)
        dir += "\\a rather long directory name " + std::to_string(i);
    std::string path = dir + "\\korvane.exe";
    ASSERT_LT(path.size(), static_cast<size_t>(MAX_PATH));
    SetRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, path.c_str());
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    std::string shown = Text(IDC_INSTALL_PATH);
    EXPECT_LT(shown.size(), path.size());
    EXPECT_NE(std::string::npos, shown.find("...")) << shown;
    EXPECT_EQ(0u, shown.find("C:\\")) << shown;
    ASSERT_GT(shown.size(), 11u);
    EXPECT_EQ("korvane.exe", shown.substr(shown.size() - 11)) << shown;
}

TEST_F(InstallPage, APathTooLongForTheFieldIsNotShown) {
    std::string path = "C:\\" + std::string(300, 'k') + "\\korvane.exe";
    SetRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, path.c_str());
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    EXPECT_EQ(kFound, Text(IDC_INSTALL_VERDICT));
    EXPECT_EQ("-", Text(IDC_INSTALL_PATH));
}

// The field holds 259 characters and the terminator: a path of that length
// is whole, and only data that fills the field without an end is cut.
TEST_F(InstallPage, APathIsReadWholeUpToTheFieldsSizeAndNotBeyond) {
    struct Case {
        const char* what;
        DWORD type;
        std::string data;
        bool shown;
    };
    const std::string dir = "C:\\" + std::string(240, 'k') + "\\";
    auto exe = [&](size_t length) { return dir + std::string(length - dir.size(), 'e'); };
    const std::vector<Case> cases = {
        {"258 characters and terminator", REG_SZ, exe(258) + '\0', true},
        {"259 characters and terminator", REG_SZ, exe(259) + '\0', true},
        {"260 characters and terminator", REG_SZ, exe(260) + '\0', false},
        {"259 characters, no terminator", REG_SZ, exe(259), true},
        {"260 characters, no terminator", REG_SZ, exe(260), false},
        {"260 bytes of binary data, no NUL", REG_BINARY, exe(260), false},
        {"260 bytes of binary data ending in NUL", REG_BINARY, exe(259) + '\0', true},
    };
    for (const Case& c : cases) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kAppPathsKey, &key)) << c.what;
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, nullptr, 0, c.type,
                                                reinterpret_cast<const BYTE*>(c.data.data()),
                                                static_cast<DWORD>(c.data.size())))
            << c.what;
        RegCloseKey(key);
        const TInstallation installation = ReadInstallation();
        EXPECT_TRUE(installation.found) << c.what;
        EXPECT_EQ(c.shown ? c.data.substr(0, c.data.find('\0')) : std::string(), installation.path)
            << c.what;
    }
}

TEST_F(InstallPage, AKeyRemovedAfterTheDecisionGivesTheNotFoundVerdict) {
    SetRegString(HKEY_LOCAL_MACHINE, kt_test::kProductKey, nullptr, "6.4");
    // The dialog decided on an installed product; the key is gone when the
    // page looks.
    ASSERT_NE(nullptr, dialog.Build());
    DeleteRegTree(HKEY_LOCAL_MACHINE, kt_test::kProductKey);
    TConfigPage* made = NewInstallPage(dialog.Dialog(), 1);
    ASSERT_NE(nullptr, made);
    page = made->GetHandle();
    EXPECT_EQ(kNotFound, Text(IDC_INSTALL_VERDICT));
    EXPECT_EQ("-", Text(IDC_INSTALL_VERSION));
    EXPECT_EQ("-", Text(IDC_INSTALL_PATH));
    DestroyWindow(page);
}

TEST(InstallPageNotInstalled, GivesTheThreePageTreeAndTheNotFoundVerdict) {
    kt_test::PageWorld w(false);
    ASSERT_NE(nullptr, w.BuildAndFind(kTreeName));
    EXPECT_EQ(kNotFound, w.Text(IDC_INSTALL_VERDICT));
    EXPECT_EQ("-", w.Text(IDC_INSTALL_VERSION));
    EXPECT_EQ("-", w.Text(IDC_INSTALL_PATH));
    std::vector<std::string> expected = {"Channel files", "Network", "Korvane"};
    std::vector<std::string> names = w.dialog.TreeNames();
    // Pages not built into the program yet are not in the tree.
    std::vector<std::string> present;
    for (const std::string& name : expected)
        for (const std::string& shown : names)
            if (shown == name)
                present.push_back(name);
    EXPECT_EQ(present, names);
    EXPECT_EQ(kTreeName, names.back());
}

TEST_F(InstallPage, OkWritesNothing) {
    SetRegString(HKEY_LOCAL_MACHINE, kt_test::kProductKey, nullptr, "6.4");
    ASSERT_NE(nullptr, BuildAndFind(kTreeName));
    dialog.PressOk();
    EXPECT_FALSE(dialog.DialogAlive());
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
    std::string version;
    EXPECT_TRUE(kt_test::GetRegString(HKEY_LOCAL_MACHINE, kt_test::kProductKey, nullptr, &version));
    EXPECT_EQ("6.4", version);
}

}  // namespace
