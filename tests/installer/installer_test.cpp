// The installer package on a machine that has never seen the build: this
// program runs inside a fresh Wine prefix (scripts/test-installer.sh) and
// installs, upgrades and removes the package with Wine's own msiexec, as an
// administrator's script does, then looks at what is left on the machine.
#include "ktconfig_version.h"
#include "resources/plugin_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/page_run.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
const char kPublisher[] = "Tavrel";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kSampleName[] = "Korvane Sample";
const char kContents[] = ":Base korvane.hlp>main\r\n:Index Korvane Help=korvane.hlp\r\n1 Start\r\n";
// The files of the release archive, relative to the installation folder.
const char* const kPackageFiles[] = {
    "ktconfig.exe",
    "README.txt",
    "plugin-kit\\korvane_plugin.h",
    "plugin-kit\\BUILDING.txt",
    "plugin-kit\\sample\\sample_plugin.c",
    "plugin-kit\\sample\\sample_plugin.rc",
    "plugin-kit\\sample\\sample_plugin.def",
    "plugin-kit\\sample\\ktsample.dll",
};
constexpr DWORD kMsiexecTimeoutMs = 180000;
constexpr DWORD kWindowTimeoutMs = 30000;
const char kDowngradeMessage[] =
    "A newer version of Korvane & Tools Configuration is already installed.";
constexpr UINT kFatalError = 1603;  // ERROR_INSTALL_FAILURE
constexpr int kRowHeight = 15;

// A package path handed over by the script.
std::string Package(const char* variable) {
    const char* path = std::getenv(variable);
    return path ? path : "";
}

std::string KnownFolder(int csidl) {
    char path[MAX_PATH] = "";
    EXPECT_EQ(S_OK, SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) << csidl;
    return path;
}

// The package installs for this program's platform: a 64-bit test program
// tests the 64-bit package.
std::string InstallDir() {
    return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Korvane Tools\\Configuration";
}

// A per-machine package puts its shortcuts into the Start menu of all
// users; Wine's installer takes the installing user's Start menu for it even
// then. The shortcut is looked for in both.
std::vector<std::string> MenuDirs() {
    return {KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Korvane Tools",
            KnownFolder(CSIDL_PROGRAMS) + "\\Korvane Tools"};
}

const char kShortcutName[] = "\\Korvane & Tools Configuration.lnk";

// The shortcut's path, empty when there is none.
std::string ShortcutPath() {
    for (const std::string& dir : MenuDirs())
        if (kt_test::PathExists(dir + kShortcutName))
            return dir + kShortcutName;
    return "";
}

std::string MsiexecPath() {
    char system[MAX_PATH] = "";
    EXPECT_NE(0u, GetSystemDirectoryA(system, MAX_PATH));
    return std::string(system) + "\\msiexec.exe";
}

// Runs msiexec silently with the arguments, as a deployment script does;
// its exit code.
DWORD Msiexec(const std::string& arguments) {
    std::string output;
    DWORD code = STILL_ACTIVE;
    kt_test::RunAndCapture("\"" + MsiexecPath() + "\" " + arguments + " /qn", &output, &code,
                           kMsiexecTimeoutMs);
    return code;
}

struct WindowSearch {
    DWORD pid;
    const char* text;
    HWND found;
};

std::string WindowText(HWND window) {
    char text[512] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    return text;
}

BOOL CALLBACK FindChildSaying(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (WindowText(child).find(search->text) == std::string::npos)
        return TRUE;
    search->found = child;
    return FALSE;
}

BOOL CALLBACK FindTopSaying(HWND top, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    if (pid != search->pid || !IsWindowVisible(top))
        return TRUE;
    HWND before = search->found;
    EnumChildWindows(top, FindChildSaying, param);
    if (search->found == before)
        return TRUE;
    search->found = top;
    return FALSE;
}

// The visible window of process pid that shows text in one of its
// controls, once it is there; null after the usual wait.
HWND WaitForWindowSaying(DWORD pid, const char* text) {
    const DWORD start = GetTickCount();
    do {
        WindowSearch search{pid, text, nullptr};
        EnumWindows(FindTopSaying, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(100);
    } while (GetTickCount() - start < kWindowTimeoutMs);
    return nullptr;
}

DWORD Install(const std::string& package) {
    return Msiexec("/i \"" + package + "\"");
}

// The product codes installed with the package's upgrade code.
std::vector<std::string> InstalledProducts() {
    std::vector<std::string> codes;
    char code[39];
    for (DWORD i = 0; MsiEnumRelatedProductsA(KT_UPGRADE_CODE, 0, i, code) == ERROR_SUCCESS; ++i)
        codes.push_back(code);
    return codes;
}

std::string ProductInfo(const std::string& code, const char* property) {
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    if (MsiGetProductInfoA(code.c_str(), property, value, &size) != ERROR_SUCCESS)
        return "<none>";
    return value;
}

// The uninstall entries that Programs and Features shows under the
// product's name, by subkey.
std::vector<std::string> UninstallEntries() {
    std::vector<std::string> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return entries;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        std::string display;
        if (kt_test::GetRegString(HKEY_LOCAL_MACHINE,
                                  (std::string(kUninstallKey) + "\\" + name).c_str(), "DisplayName",
                                  &display) &&
            display == kTitle)
            entries.push_back(name);
    }
    RegCloseKey(key);
    return entries;
}

std::string UninstallValue(const std::string& entry, const char* value) {
    std::string text = "<missing>";
    kt_test::GetRegString(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + entry).c_str(),
                          value, &text);
    return text;
}

struct Shortcut {
    std::string target, workingDir, iconFile;
};

// The shortcut as the shell reads it; false when it cannot be loaded.
bool ReadShortcut(const std::string& path, Shortcut* shortcut) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool loaded = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) > 0 &&
            SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = "";
            int index = 0;
            loaded = SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0));
            shortcut->target = text;
            text[0] = '\0';
            loaded = loaded && SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH));
            shortcut->workingDir = text;
            text[0] = '\0';
            loaded = loaded && SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &index));
            shortcut->iconFile = text;
        }
        file->Release();
    }
    link->Release();
    return loaded;
}

// The files and folders below dir, relative to it, folders with a
// trailing backslash.
void ListTree(const std::string& dir, const std::string& prefix, std::vector<std::string>* names) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            names->push_back(prefix + name + "\\");
            ListTree(dir + "\\" + name, prefix + name + "\\", names);
        } else {
            names->push_back(prefix + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<std::string> Tree(const std::string& dir) {
    std::vector<std::string> names;
    ListTree(dir, "", &names);
    return names;
}

class Installer : public kt_test::ProgramTest {
protected:
    void SetUp() override {
        kt_test::ProgramTest::SetUp();
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        ASSERT_TRUE(kt_test::PathExists(Package("KT_PACKAGE"))) << Package("KT_PACKAGE");
        ASSERT_TRUE(kt_test::PathExists(Package("KT_OLDER_PACKAGE")))
            << Package("KT_OLDER_PACKAGE");
        ASSERT_TRUE(InstalledProducts().empty()) << "the package is installed before the test";
        ASSERT_FALSE(kt_test::PathExists(InstallDir())) << InstallDir();
    }

    // Whatever a failed test left installed goes, so that the next one
    // starts on a machine without the package.
    void TearDown() override {
        for (const std::string& code : InstalledProducts())
            EXPECT_EQ(0u, Msiexec("/x " + code)) << code;
        kt_test::RemoveTree(KnownFolder(CSIDL_PROGRAM_FILES) + "\\Korvane Tools");
        CoUninitialize();
        kt_test::ProgramTest::TearDown();
    }

    static void ExpectInstalled(const char* version) {
        for (const char* file : kPackageFiles)
            EXPECT_TRUE(kt_test::PathExists(InstallDir() + "\\" + file)) << file;
        std::vector<std::string> products = InstalledProducts();
        ASSERT_EQ(1u, products.size()) << "one installation";
        EXPECT_EQ(version, ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING));
        std::vector<std::string> entries = UninstallEntries();
        ASSERT_EQ(1u, entries.size()) << "one entry in Programs and Features";
        EXPECT_EQ(products[0], entries[0]);
        EXPECT_EQ(version, UninstallValue(entries[0], "DisplayVersion"));
    }

    // Nothing of the package is left, save the files listed.
    static void ExpectRemoved(const std::vector<std::string>& kept) {
        EXPECT_TRUE(InstalledProducts().empty());
        EXPECT_TRUE(UninstallEntries().empty());
        for (const std::string& dir : MenuDirs())
            EXPECT_FALSE(kt_test::PathExists(dir)) << dir;
        EXPECT_EQ(kept, Tree(InstallDir()));
        if (kept.empty()) {
            EXPECT_FALSE(kt_test::PathExists(KnownFolder(CSIDL_PROGRAM_FILES) + "\\Korvane Tools"));
        }
    }
};

// The plug-in kit's sample installed with the program's Plug-ins page: the
// page adds its help line to the korvane.cnt beside the program.
void InstallSamplePlugin(const std::string& exe, const std::string& productDir) {
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths", nullptr,
                          (productDir + "\\korvane.exe").c_str());
    kt_test::PageRun run(exe, IDC_PLUGIN_LIST);
    ASSERT_NE(nullptr, run.page) << "no Plug-ins page";
    HWND list = run.Item(IDC_PLUGIN_LIST);
    ASSERT_EQ(1, SendMessageA(list, LB_GETCOUNT, 0, 0));
    LPARAM box = MAKELPARAM(5, kRowHeight / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, box);
    SendMessageA(list, WM_LBUTTONUP, 0, box);
    ASSERT_EQ(1, SendMessageA(list, LB_GETITEMDATA, 0, 0)) << "the row is not checked";
    EXPECT_EQ(0u, run.PressAndWait(IDOK));
}

TEST_F(Installer, InstallsPerMachineRunsAndUninstallsAllItInstalled) {
    ASSERT_EQ(0u, Install(Package("KT_PACKAGE")));
    ExpectInstalled(KT_VERSION_TEXT);

    // Programs and Features.
    const std::string entry = UninstallEntries().at(0);
    EXPECT_EQ(kPublisher, UninstallValue(entry, "Publisher"));
    // The icon that Programs and Features shows for the product: the
    // installer keeps a copy of the program's.
    const std::string icon = ProductInfo(entry, INSTALLPROPERTY_PRODUCTICON);
    EXPECT_TRUE(kt_test::PathExists(icon)) << "product icon " << icon;
    EXPECT_LT(0u, ExtractIconExA(icon.c_str(), -1, nullptr, nullptr, 0)) << icon;

    // The Start menu shortcut leads to the installed program.
    Shortcut shortcut;
    ASSERT_FALSE(ShortcutPath().empty()) << "no shortcut in the Start menu";
    ASSERT_TRUE(ReadShortcut(ShortcutPath(), &shortcut)) << ShortcutPath();
    const std::string exe = InstallDir() + "\\ktconfig.exe";
    EXPECT_EQ(0, lstrcmpiA(exe.c_str(), shortcut.target.c_str())) << shortcut.target;
    EXPECT_EQ(0, lstrcmpiA((InstallDir() + "\\").c_str(), shortcut.workingDir.c_str()))
        << shortcut.workingDir;
    EXPECT_EQ(icon, shortcut.iconFile) << "the shortcut shows the program's icon";

    // The settings are the program's to write: the package wrote none.
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel"));
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Tavrel"));

    // Started from where the shortcut leads, Cancel ends it with zero.
    ASSERT_EQ(0u, kt_test::StartAndCancel(shortcut.target, kTitle));

    // The program writes its korvane.cnt beside itself, and a settings key.
    kt_test::TempDir product;
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    ASSERT_TRUE(CopyFileA((InstallDir() + "\\plugin-kit\\sample\\ktsample.dll").c_str(),
                          product.File("ktsample.dll").c_str(), FALSE));
    const std::string contents = InstallDir() + "\\korvane.cnt";
    {
        HANDLE file = CreateFileA(contents.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << GetLastError();
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, kContents, sizeof kContents - 1, &written, nullptr));
        CloseHandle(file);
    }
    InstallSamplePlugin(exe, product.Path());
    const std::string written = kt_test::ReadFileText(contents);
    ASSERT_NE(std::string::npos, written.find(":Index Korvane Sample=ktsample.hlp")) << written;

    ASSERT_EQ(0u, Msiexec("/x \"" + Package("KT_PACKAGE") + "\""));
    ExpectRemoved({"korvane.cnt"});
    EXPECT_EQ(written, kt_test::ReadFileText(contents));
    EXPECT_TRUE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE,
                                      (std::string(kPluginsKey) + "\\" + kSampleName).c_str()));
    // Nor is the icon that Programs and Features showed left behind.
    EXPECT_FALSE(kt_test::PathExists(icon)) << icon;
}

TEST_F(Installer, ANewerPackageReplacesTheOlderInstallation) {
    ASSERT_EQ(0u, Install(Package("KT_OLDER_PACKAGE")));
    const std::vector<std::string> older = InstalledProducts();
    ASSERT_EQ(1u, older.size());
    const std::string olderVersion = ProductInfo(older[0], INSTALLPROPERTY_VERSIONSTRING);
    ASSERT_NE(KT_VERSION_TEXT, olderVersion);

    ASSERT_EQ(0u, Install(Package("KT_PACKAGE")));
    ExpectInstalled(KT_VERSION_TEXT);
    EXPECT_NE(older[0], InstalledProducts().at(0)) << "a new product code for the new version";
    EXPECT_FALSE(ShortcutPath().empty());

    ASSERT_EQ(0u, Msiexec("/x \"" + Package("KT_PACKAGE") + "\""));
    ExpectRemoved({});
}

TEST_F(Installer, AnOlderPackageOverANewerIsRefusedWithAMessageAndChangesNothing) {
    ASSERT_EQ(0u, Install(Package("KT_PACKAGE")));
    const std::vector<std::string> before = InstalledProducts();

    // Silently: the exit code says it failed.
    EXPECT_EQ(kFatalError, Install(Package("KT_OLDER_PACKAGE")));
    ExpectInstalled(KT_VERSION_TEXT);
    EXPECT_EQ(before, InstalledProducts());

    // With the basic interface, the user reads why.
    {
        kt_test::ProgramRun run(MsiexecPath(), "/i \"" + Package("KT_OLDER_PACKAGE") + "\" /qb");
        ASSERT_TRUE(run.Started());
        HWND box = WaitForWindowSaying(run.Pid(), kDowngradeMessage);
        ASSERT_NE(nullptr, box) << "no window says: " << kDowngradeMessage;
        ASSERT_TRUE(kt_test::PageRun::Click(box, IDOK));
        DWORD code = STILL_ACTIVE;
        ASSERT_TRUE(run.WaitForExit(kMsiexecTimeoutMs, &code));
        EXPECT_EQ(kFatalError, code);
    }
    ExpectInstalled(KT_VERSION_TEXT);
    EXPECT_EQ(before, InstalledProducts());

    ASSERT_EQ(0u, Msiexec("/x \"" + Package("KT_PACKAGE") + "\""));
    ExpectRemoved({});
}

}  // namespace
