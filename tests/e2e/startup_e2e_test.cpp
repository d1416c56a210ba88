#include "resources/chn_dir_page_ids.h"
#include "resources/share_tool_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/page_run.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

const char kErrorTitle[] = "KT&C Error";
// The static text of a message box.
constexpr int kMessageTextId = 0xFFFF;
const char kProgramDefaultsKey[] = "Software\\Wine\\AppDefaults\\ktconfig.exe";
const char kOverridesKey[] = "Software\\Wine\\AppDefaults\\ktconfig.exe\\DllOverrides";

using StartupProgram = kt_test::ProgramTest;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The file names of the modules that process has loaded, in lower case.
std::vector<std::string> LoadedModules(DWORD pid) {
    std::vector<std::string> names;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        ADD_FAILURE() << "cannot open the program's process (error " << GetLastError() << ")";
        return names;
    }
    HMODULE modules[512];
    DWORD bytes = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        DWORD count = std::min<DWORD>(bytes / sizeof modules[0], 512);
        for (DWORD index = 0; index < count; ++index) {
            char name[MAX_PATH];
            if (GetModuleBaseNameA(process, modules[index], name, sizeof name))
                names.push_back(Lower(name));
        }
    } else {
        ADD_FAILURE() << "cannot list the program's modules (error " << GetLastError() << ")";
    }
    CloseHandle(process);
    return names;
}

// Wine's own switch for one program, while the object lives: an empty load
// order for a system library of ktconfig.exe makes every load of it fail.
class DisabledDll {
public:
    explicit DisabledDll(const char* name) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kOverridesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot create the program's DLL overrides key";
            return;
        }
        EXPECT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1));
        RegCloseKey(key);
    }
    ~DisabledDll() { RegDeleteTreeA(HKEY_CURRENT_USER, kProgramDefaultsKey); }
    DisabledDll(const DisabledDll&) = delete;
    DisabledDll& operator=(const DisabledDll&) = delete;
};

TEST_F(StartupProgram, TheShownDialogHasLoadedNoChooserOrPrintingLibrary) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::PageRun program(ExePath(), IDC_SHARETOOL_LIST);
    ASSERT_NE(nullptr, program.page);

    std::vector<std::string> modules = LoadedModules(program.run.Pid());
    // The pages' own libraries are there: the list is real.
    EXPECT_NE(modules.end(), std::find(modules.begin(), modules.end(), "comctl32.dll"));
    for (const char* late : {"comdlg32.dll", "winspool.drv", "compstui.dll"})
        EXPECT_EQ(modules.end(), std::find(modules.begin(), modules.end(), late)) << late;
    EXPECT_EQ(0u, program.PressAndWait(IDCANCEL));
}

struct MissingLibraryCase {
    const char* library;
    int pageControl;  // a control of the page that holds the button
    int button;
    const char* action;
};

class MissingLibrary : public StartupProgram,
                       public ::testing::WithParamInterface<MissingLibraryCase> {};

TEST_P(MissingLibrary, ItsButtonSaysWhichLibraryIsMissingAndTheProgramGoesOn) {
    const MissingLibraryCase& param = GetParam();
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    DisabledDll disabled(param.library);
    kt_test::PageRun program(ExePath(), param.pageControl);
    ASSERT_NE(nullptr, program.page) << "the program did not start without " << param.library;

    ASSERT_TRUE(kt_test::PageRun::Click(program.page, param.button));
    HWND box = program.WaitShown(kErrorTitle);
    ASSERT_NE(nullptr, box) << "no message for the missing " << param.library;
    char text[512] = "";
    GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
    EXPECT_EQ(std::string(param.action) + " is not available: " + param.library +
                  ".dll could not be loaded.",
              text);
    ASSERT_TRUE(kt_test::PageRun::Click(box, IDOK));
    ASSERT_TRUE(kt_test::PageRun::WaitGone(box));

    // The dialog is still there and ends as usual.
    EXPECT_TRUE(IsWindowVisible(program.dialog));
    EXPECT_EQ(0u, program.PressAndWait(IDCANCEL));
}

INSTANTIATE_TEST_SUITE_P(
    Choosers, MissingLibrary,
    ::testing::Values(
        MissingLibraryCase{"comdlg32", IDC_SHARETOOL_LIST, IDC_SHARETOOL_ADD, "The file chooser"},
        MissingLibraryCase{"ole32", IDC_CHNDIR_BROWSE, IDC_CHNDIR_BROWSE, "The folder chooser"}));

}  // namespace
