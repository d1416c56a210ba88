#include "ui/file_open_dlg.h"

#include "ui/system_dll.h"

namespace {

// Loaded when the user first opens the chooser, with the printing libraries
// that it imports.
TSystemDll comdlg32("comdlg32.dll");
const char kChooserAction[] = "The file chooser";

// Always set: the Explorer style (the only one that sends CDN_
// notifications and hosts a child template), the hook that links the object,
// and a process directory left where it was, whatever folder the user
// visited.
constexpr DWORD kLayerFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;

}  // namespace

TFileOpenDlg::TFileOpenDlg(TWin* parentWin, char* fileBuffer, const char* dialogTitle,
                           unsigned openFlags, int size)
    : TDialog(nullptr, parentWin, nullptr),
      file(fileBuffer),
      fileSize(size),
      title(dialogTitle),
      flags(openFlags | kLayerFlags) {
    // The window goes before the system dialog returns; the object must
    // outlive it, wherever it was allocated.
    SetDeleteWithWindow(false);
}

TFileOpenDlg::~TFileOpenDlg() = default;

UINT_PTR CALLBACK TFileOpenDlg::HookProc(HWND child, UINT message, WPARAM, LPARAM lParam) {
    // Everything after WM_INITDIALOG reaches MsgProc through the subclass.
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
    auto* dialog = ofn ? reinterpret_cast<TFileOpenDlg*>(ofn->lCustData) : nullptr;
    if (dialog)
        dialog->LinkWindow(child);
    // The system dialog puts the focus into its file name box itself.
    return FALSE;
}

int TFileOpenDlg::Run(int number) {
    if (!file || fileSize <= 0)
        return -1;
    helpContext = number;
    modal = true;
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ParentWindow();
    ofn.hInstance = instance;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = filter ? 1 : 0;
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(fileSize);
    ofn.lpstrTitle = title;
    ofn.Flags = flags | (templateName ? OFN_ENABLETEMPLATE : 0);
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    ofn.lpfnHook = HookProc;
    ofn.lpTemplateName = templateName;
    auto* getOpenFileName = comdlg32.Get<decltype(GetOpenFileNameA)>("GetOpenFileNameA");
    auto* extendedError = comdlg32.Get<decltype(CommDlgExtendedError)>("CommDlgExtendedError");
    if (!getOpenFileName || !extendedError) {
        modal = false;
        ReportMissingSystemDll(ofn.hwndOwner, kChooserAction, comdlg32);
        return -1;
    }
    BOOL chosen = getOpenFileName(&ofn);
    // The child window is gone by now; unlinking twice does nothing.
    UnlinkWindow();
    modal = false;
    if (chosen)
        return 1;
    return extendedError() ? -1 : 0;
}

int TFileOpenDlg::GetFilePath(char* buffer, int size) const {
    HWND system = SystemDialog();
    if (!buffer || size <= 0 || !system)
        return 0;
    // The answer is the length the path needs, terminator included; a path
    // that does not fit is not copied.
    LRESULT needed = SendMessageA(system, CDM_GETFILEPATH, static_cast<WPARAM>(size),
                                  reinterpret_cast<LPARAM>(buffer));
    return needed > 0 && needed <= size;
}

LRESULT TFileOpenDlg::MsgProc(TMsg& msg) {
    if (msg.message != WM_NOTIFY)
        return TDialog::MsgProc(msg);
    auto* header = reinterpret_cast<NMHDR*>(msg.lParam);
    LRESULT result = 0;
    int handled = header ? Notify(static_cast<int>(header->idFrom), header, &result) : 0;
    // The system dialog reads a hook's answer (a refused CDN_FILEOK) from the
    // dialog's message result, as a dialog procedure leaves it.
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, handled ? result : 0);
    return handled ? TRUE : FALSE;
}

int TFileOpenDlg::Command(int id, unsigned code) {
    if (id == IDHELP && code == BN_CLICKED) {
        Help();
        return 1;
    }
    return 0;
}
