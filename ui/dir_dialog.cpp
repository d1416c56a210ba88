#include "ui/dir_dialog.h"

#include "ui/system_dll.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

namespace {

// COM is started for the chooser alone, when the user first opens it.
TSystemDll ole32("ole32.dll");
const char kChooserAction[] = "The folder chooser";

// The three COM calls of the chooser; all null when ole32.dll is missing.
struct TComCalls {
    decltype(&OleInitialize) initialize;
    decltype(&OleUninitialize) uninitialize;
    decltype(&CoTaskMemFree) freeMemory;
    bool Found() const { return initialize && uninitialize && freeMemory; }
};

TComCalls FindComCalls() {
    TComCalls calls{};
    calls.initialize = ole32.Get<decltype(OleInitialize)>("OleInitialize");
    calls.uninitialize = ole32.Get<decltype(OleUninitialize)>("OleUninitialize");
    calls.freeMemory = ole32.Get<decltype(CoTaskMemFree)>("CoTaskMemFree");
    return calls;
}

// The chooser's own tree starts at the desktop; the start directory is
// selected once its window exists, which only the callback can know.
int CALLBACK SelectStart(HWND chooser, UINT message, LPARAM, LPARAM data) {
    const char* start = reinterpret_cast<const char*>(data);
    if (message == BFFM_INITIALIZED && start && *start)
        SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start));
    return 0;
}

// The item list of a directory, or null when the shell does not know it.
PIDLIST_ABSOLUTE ParseDirectory(const char* path) {
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return nullptr;
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHParseDisplayName(wide, nullptr, &list, 0, nullptr)))
        return nullptr;
    return list;
}

// Copies text into a buffer of size bytes; false (buffer untouched) when it
// does not fit whole.
bool CopyWhole(char* out, int size, const char* text) {
    size_t length = std::strlen(text);
    if (size <= 0 || length >= static_cast<size_t>(size))
        return false;
    std::memcpy(out, text, length + 1);
    return true;
}

}  // namespace

int OpenDirDlg(TWin* owner, char* directory, const char* root, const char* title, int, int size) {
    if (!directory || size <= 0)
        return 0;
    // The caller's text may not end inside its buffer; start from a bounded copy.
    char start[MAX_PATH];
    lstrcpynA(start, directory, size < MAX_PATH ? size : MAX_PATH);

    HWND ownerWindow = owner ? owner->GetHandle() : nullptr;
    TComCalls com = FindComCalls();
    if (!com.Found()) {
        ReportMissingSystemDll(ownerWindow, kChooserAction, ole32);
        return 0;
    }
    // The new-style chooser hosts OLE controls; the thread may not have
    // started OLE itself (a nested start only counts up and is undone below).
    HRESULT ole = com.initialize(nullptr);

    PIDLIST_ABSOLUTE rootList = (root && *root) ? ParseDirectory(root) : nullptr;
    char display[MAX_PATH] = "";
    BROWSEINFOA info{};
    info.hwndOwner = ownerWindow;
    info.pidlRoot = rootList;
    info.pszDisplayName = display;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = SelectStart;
    info.lParam = reinterpret_cast<LPARAM>(start);

    int chosen = 0;
    PIDLIST_ABSOLUTE result = SHBrowseForFolderA(&info);
    if (result) {
        char path[MAX_PATH];
        // A virtual folder (no file-system path) or a path longer than the
        // caller's buffer would leave a wrong directory behind: refuse both.
        if (SHGetPathFromIDListA(result, path) && path[0])
            chosen = CopyWhole(directory, size, path) ? 1 : 0;
        com.freeMemory(result);
    }
    if (rootList)
        com.freeMemory(rootList);
    if (SUCCEEDED(ole))
        com.uninitialize();
    return chosen;
}
