#include "tests/plugins/plugin_world.h"

#include "plugins/plugin_page.h"
#include "resources/plugin_page_ids.h"
#include "tests/support/folder_chooser.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/unix_host.h"
#include "ui/file_util.h"

#include <tlhelp32.h>

namespace kt_test {

namespace {

const char kKorvaneClass[] = "KVMainWindow";
const char kChooserTitle[] = "Scan plug-in modules from";
constexpr int kRowHeight = 15;

std::string ProgramDirectory() {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    EXPECT_GT(length, 0u);
    *GetFilePart(module) = '\0';
    return module;
}

}  // namespace

std::string TestModule(const std::string& name) {
#ifdef KT_TEST_MODULE_DIR
    return WindowsPath(KT_TEST_MODULE_DIR) + "\\" + name + ".dll";
#else
    ADD_FAILURE() << "this test program was built without the test modules' directory";
    return std::string();
#endif
}

std::string CopyModule(const TempDir& dir, const std::string& name, const std::string& fileName) {
    std::string target = dir.File(fileName.empty() ? name + ".dll" : fileName);
    EXPECT_TRUE(CopyFileA(TestModule(name).c_str(), target.c_str(), FALSE))
        << "cannot copy " << TestModule(name) << " to " << target << " (error " << GetLastError()
        << ")";
    return target;
}

namespace {

// The loader's notification records (winternl.h of the platform SDK).
struct TUnicodeString {
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};
struct TDllLoadedData {
    ULONG flags;
    const TUnicodeString* fullDllName;
    const TUnicodeString* baseDllName;
    void* dllBase;
    ULONG sizeOfImage;
};
constexpr ULONG kDllLoaded = 1;
using TRegister = LONG(NTAPI*)(ULONG, void(CALLBACK*)(ULONG, const void*, void*), void*, void**);
using TUnregister = LONG(NTAPI*)(void*);

FARPROC NtdllProc(const char* name) {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
}

}  // namespace

LoadWatcher::LoadWatcher() {
    auto enroll = reinterpret_cast<TRegister>(
        reinterpret_cast<void (*)()>(NtdllProc("LdrRegisterDllNotification")));
    if (!enroll) {
        ADD_FAILURE() << "the loader gives no DLL notifications";
        return;
    }
    EXPECT_EQ(0, enroll(0, Notified, this, &cookie));
}

LoadWatcher::~LoadWatcher() {
    auto leave = reinterpret_cast<TUnregister>(
        reinterpret_cast<void (*)()>(NtdllProc("LdrUnregisterDllNotification")));
    if (cookie && leave)
        leave(cookie);
}

void CALLBACK LoadWatcher::Notified(ULONG reason, const void* data, void* context) {
    auto* watcher = static_cast<LoadWatcher*>(context);
    auto* loadedData = static_cast<const TDllLoadedData*>(data);
    if (reason != kDllLoaded || !loadedData || !loadedData->baseDllName)
        return;
    const TUnicodeString& name = *loadedData->baseDllName;
    char text[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, name.buffer, name.length / 2, text, sizeof text - 1, nullptr,
                        nullptr);
    watcher->loaded.push_back(text);
}

bool LoadWatcher::Saw(const std::string& fileName) const {
    for (const std::string& name : loaded)
        if (lstrcmpiA(name.c_str(), fileName.c_str()) == 0)
            return true;
    return false;
}

std::string LoadWatcher::List() const {
    std::string list;
    for (const std::string& name : loaded)
        list += name + ";";
    return list;
}

std::vector<std::string> ProcessModules() {
    std::vector<std::string> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "no module snapshot (error " << GetLastError() << ")";
        return modules;
    }
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        modules.push_back(entry.szExePath);
    CloseHandle(snapshot);
    return modules;
}

ContentsFile::ContentsFile() : path(ProgramDirectory() + "korvane.cnt") {
    Remove();
}

ContentsFile::~ContentsFile() {
    Remove();
    EXPECT_FALSE(PathExists(path)) << path << " is left behind";
    EXPECT_FALSE(PathExists(TempPath())) << TempPath() << " is left behind";
}

std::string ContentsFile::TempPath() const {
    return path.substr(0, path.size() - 3) + "new";
}

void ContentsFile::Remove() const {
    for (const std::string& file : {path, TempPath()}) {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(file.c_str()))
            RemoveTree(file);  // a test may have made a directory of that name
    }
}

void ContentsFile::Write(const std::string& content) const {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "cannot create " << path;
    DWORD written = 0;
    EXPECT_TRUE(
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    CloseHandle(file);
}

std::string ContentsFile::Read() const {
    return ReadFileText(path);
}

bool ContentsFile::Exists() const {
    return PathExists(path);
}

PluginWorld::PluginWorld() {
    SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths", nullptr,
                 productDir.File("korvane.exe").c_str());
}

void PluginWorld::Register(const std::string& subkey, const std::string& path) const {
    SetRegString(HKEY_LOCAL_MACHINE, (std::string(kPluginsKey) + "\\" + subkey).c_str(), nullptr,
                 path.c_str());
}

TPluginPage* PluginWorld::Build() {
    if (!BuildAndFind(kPluginsTreeName))
        return nullptr;
    return Page();
}

TPluginPage* PluginWorld::Page() const {
    auto* found = dynamic_cast<TPluginPage*>(dialog.Page(kPluginsTreeName));
    EXPECT_NE(nullptr, found) << "the Plug-ins page is not a TPluginPage";
    return found;
}

HWND PluginWorld::List() const {
    return GetDlgItem(page, IDC_PLUGIN_LIST);
}

std::vector<std::string> PluginWorld::Rows() const {
    std::vector<std::string> rows;
    LRESULT count = SendMessageA(List(), LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        char text[2048] = "";
        SendMessageA(List(), LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

std::vector<bool> PluginWorld::Checks() const {
    std::vector<bool> checks;
    LRESULT count = SendMessageA(List(), LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        checks.push_back(SendMessageA(List(), LB_GETITEMDATA, static_cast<WPARAM>(row), 0) != 0);
    return checks;
}

int PluginWorld::Selection() const {
    return static_cast<int>(SendMessageA(List(), LB_GETCURSEL, 0, 0));
}

int PluginWorld::RowOf(const std::string& text) const {
    std::vector<std::string> rows = Rows();
    for (size_t row = 0; row < rows.size(); ++row)
        if (rows[row] == text)
            return static_cast<int>(row);
    return -1;
}

void PluginWorld::ClickRow(int row, int x) const {
    int top = static_cast<int>(SendMessageA(List(), LB_GETTOPINDEX, 0, 0));
    LPARAM at = MAKELPARAM(x, (row - top) * kRowHeight + kRowHeight / 2);
    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
}

void PluginWorld::PressSpace() const {
    SendMessageA(List(), WM_KEYDOWN, VK_SPACE, 1);
    SendMessageA(List(), WM_CHAR, ' ', 1);
    SendMessageA(List(), WM_KEYUP, VK_SPACE, 0xC0000001);
}

std::string PluginWorld::ShownFile() const {
    return Text(IDC_PLUGIN_FILE);
}

void PluginWorld::Scan(const std::string& dir) const {
    ModalAnswerer answerer;
    answerer.ExpectAndDo(kFolderChooserCaption, kChooserTitle,
                         dir.empty() ? CancelChooser() : ChooseFolder(dir));
    PressButton(page, IDC_PLUGIN_SCAN);
    answerer.Verify();
}

KorvaneWindow::KorvaneWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kKorvaneClass;
    // Registered by an earlier test of this program already, that is fine.
    RegisterClassA(&wc);
    window = CreateWindowA(kKorvaneClass, "Korvane", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(nullptr, window) << "cannot create a window of class " << kKorvaneClass;
}

KorvaneWindow::~KorvaneWindow() {
    if (window)
        DestroyWindow(window);
}

}  // namespace kt_test
