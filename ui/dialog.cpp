#include "ui/dialog.h"

#include "ui/app.h"
#include "ui/control.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

TDialog::HelpHandler helpHandler = WinHelpA;

}  // namespace

TDialog::TDialog(HINSTANCE inst, const char* name, TWin* parentWin, TControlMap* table)
    : TWin("#32770", parentWin, 0),
      instance(inst ? inst : AppInstance()),
      templateName(name),
      controls(table) {}

TDialog::TDialog(const char* name, TWin* parentWin, TControlMap* table)
    : TDialog(nullptr, name, parentWin, table) {}

// The control objects of the table go with their windows.
TDialog::~TDialog() = default;

TDialog::HelpHandler TDialog::SetHelpHandler(HelpHandler handler) {
    HelpHandler old = helpHandler;
    helpHandler = handler ? handler : WinHelpA;
    return old;
}

INT_PTR CALLBACK TDialog::DlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Everything after WM_INITDIALOG reaches MsgProc through the subclass.
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = reinterpret_cast<TDialog*>(lParam);
    if (!dialog)
        return TRUE;
    return dialog->StartDialog(window, reinterpret_cast<HWND>(wParam));
}

INT_PTR TDialog::StartDialog(HWND window, HWND defaultFocus) {
    if (!LinkWindow(window))
        return TRUE;
    BindControls();
    SetData();
    int focusId = InitDlg(defaultFocus ? GetDlgCtrlID(defaultFocus) : 0);
    // The page may have been destroyed inside InitDlg; then nothing is ours.
    if (!IsWindow(window))
        return FALSE;
    // As the dialog manager does for a control dialog: a hidden child takes
    // no focus while it is made. Focus there would activate the top-level
    // window behind it early, and the sheet gives the focus to its tree once
    // every page exists.
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (focusId && ((style & WS_VISIBLE) || !(style & WS_CHILD))) {
        if (HWND focus = ::GetDlgItem(window, focusId))
            SetFocus(focus);
    }
    return FALSE;
}

int TDialog::BindControls() {
    if (!controls)
        return 1;
    TControl** tail = &boundControls;
    for (TControlMap* entry = controls; entry->id || entry->create; ++entry) {
        if (!entry->create)
            continue;
        TControl* control = entry->create(this, entry->id, entry->data);
        if (!control)
            return 0;
        *tail = control;
        tail = &control->nextBound;
    }
    return 1;
}

int TDialog::GetData() {
    for (TControl* control = boundControls; control; control = control->nextBound)
        control->GetData();
    return 1;
}

int TDialog::SetData() {
    for (TControl* control = boundControls; control; control = control->nextBound)
        control->SetData();
    return 1;
}

int TDialog::Run() {
    modal = true;
    INT_PTR result = DialogBoxParamA(instance, templateName, ParentWindow(), DlgProc,
                                     reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

void TDialog::EndDlg(int result) {
    if (!hwnd)
        return;
    if (modal)
        EndDialog(hwnd, result);
    else
        DestroyWindow(hwnd);  // may delete this object: touch nothing after it
}

LRESULT TDialog::MsgProc(TMsg& msg) {
    switch (msg.message) {
        case WM_CLOSE:
            // The close box is Cancel, handled before the sender goes on.
            Command(IDCANCEL, 0);
            return 0;
        case WM_HELP:
            if (bEatHelpMessage) {
                bEatHelpMessage = 0;
                return TRUE;
            }
            Help();
            return TRUE;
        default:
            return TWin::MsgProc(msg);
    }
}

int TDialog::Command(int id, unsigned code) {
    if (code != 0)
        return 0;
    switch (id) {
        case IDOK:
        case IDCANCEL:
            EndDlg(id);
            return 1;
        case IDHELP:
            Help();
            return 1;
        default:
            return 0;
    }
}

int TDialog::Notify(int, NMHDR* header, LRESULT*) {
    if (header && header->code == static_cast<UINT>(PSN_HELP))
        Help();
    return 0;
}

int TDialog::Help() {
    const char* file = TApp::TheApp ? TApp::TheApp->helpFile : nullptr;
    if (!file || !*file)
        return 0;
    if (helpContext)
        return helpHandler(hwnd, file, HELP_CONTEXT, static_cast<ULONG_PTR>(helpContext)) != 0;
    return helpHandler(hwnd, file, HELP_FINDER, 0) != 0;
}

void TDialog::EnableDlgItem(int id, int enable) {
    HWND item = GetDlgItem(id);
    // Asking for the state it has sends the control nothing, yet costs
    // trips to the window server under Wine; pages ask for it often.
    if (item && !IsWindowEnabled(item) != !enable)
        EnableWindow(item, enable ? TRUE : FALSE);
}

void TDialog::FocusDlgItem(int id) {
    if (HWND item = GetDlgItem(id))
        SetFocus(item);
}

TModelessDlg::TModelessDlg(HINSTANCE inst, const char* name, TWin* parentWin, TControlMap* table,
                           int px, int py)
    : TDialog(inst, name, parentWin, table), x(px), y(py) {}

TModelessDlg::TModelessDlg(const char* name, TWin* parentWin, TControlMap* table, int px, int py)
    : TModelessDlg(nullptr, name, parentWin, table, px, py) {}

int TModelessDlg::CreateWindowFromTemplate() {
    if (hwnd)
        return 1;
    modal = false;
    HWND window = CreateDialogParamA(instance, templateName, ParentWindow(), DlgProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window)
        return 0;
    // Positions with the top bit set ask for the template's own place.
    if (x >= 0 && y >= 0)
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

int TModelessDlg::Create() {
    return CreateWindowFromTemplate();
}

int TModelessDlg::Run(int number) {
    helpContext = number;
    return CreateWindowFromTemplate();
}
