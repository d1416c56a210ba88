// Dialogs built from templates: modal (TDialog::Run) and modeless
// (TModelessDlg), the latter top-level (Create) or as a child page (Run(int)).
#pragma once

#include "ui/win.h"

class TControl;

// Binds a dialog item to a data object: when the dialog starts, create makes
// the control object for the item and SetData fills the control; GetData
// moves the control's content back into the data.
struct TControlMap {
    int id;
    TControl* (*create)(TWin* dialog, int id, void* data);
    void* data;
    int kind;
};

class TDialog : public TWin {
public:
    TDialog(HINSTANCE instance, const char* templateName, TWin* parent, TControlMap* controls);
    TDialog(const char* templateName, TWin* parent, TControlMap* controls = nullptr);
    ~TDialog() override;

    // Modal: returns the id that ended the dialog, or -1 when it could not
    // be created.
    int Run();

    int IsDialog() const override { return 1; }
    // Whether the dialog runs its own modal loop (Run) rather than living
    // beside the others.
    bool IsModal() const { return modal; }
    LRESULT MsgProc(TMsg& msg) override;
    // IDOK and IDCANCEL (clicked) end the dialog, IDHELP opens its help.
    int Command(int id, unsigned code) override;
    // PSN_HELP opens the dialog's help; nothing else is answered.
    int Notify(int id, NMHDR* header, LRESULT* result) override;

    // Called when the window exists and its table controls are filled. Gets
    // the id of the control the system would focus and returns the id of the
    // control to focus (0: leave the focus alone).
    virtual int InitDlg(int focusId) { return focusId; }
    virtual int GetData();
    virtual int SetData();
    // Opens the application's help file at this dialog's context number.
    virtual int Help();

    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd, id); }
    void EnableDlgItem(int id, int enable);
    void FocusDlgItem(int id);
    // Ends a modal dialog with the result, destroys a modeless one.
    void EndDlg(int result);

    // How help is opened; WinHelpA unless a test looks at the requests.
    using HelpHandler = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
    static HelpHandler SetHelpHandler(HelpHandler handler);

protected:
    static INT_PTR CALLBACK DlgProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR StartDialog(HWND window, HWND defaultFocus);
    HWND ParentWindow() const { return parent ? parent->GetHandle() : nullptr; }

    HINSTANCE instance;
    const char* templateName;
    TControlMap* controls;
    TControl* boundControls = nullptr;
    int helpContext = 0;
    bool modal = false;

private:
    int BindControls();
};

class TModelessDlg : public TDialog {
public:
    // x and y place the window; CW_USEDEFAULT (and the other values with the
    // top bit set) keep the template's position.
    TModelessDlg(HINSTANCE instance, const char* templateName, TWin* parent, TControlMap* controls,
                 int x, int y);
    TModelessDlg(const char* templateName, TWin* parent, TControlMap* controls, int x, int y);

    // A top-level dialog: created hidden; the application's Run shows its
    // main window.
    int Create() override;
    // A child page: the window is created inside the parent; number is the
    // page's own number (its help context).
    int Run(int number);

private:
    int CreateWindowFromTemplate();
    int x, y;
};
