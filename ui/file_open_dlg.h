// The system's file-open dialog in the Explorer style, optionally extended
// by a child template of the program's own. The object is linked to the
// template's dialog (the hook's child window) while the system dialog runs,
// so that the file dialog's CDN_ notifications reach Notify and the
// template's buttons reach Command.
#pragma once

#include "ui/dialog.h"

#include <commdlg.h>

class TFileOpenDlg : public TDialog {
public:
    // file: the caller's buffer of fileSize bytes; what it holds names the
    // file the dialog starts with, and on OK it holds the chosen file.
    // flags: OFN_ flags added to those the layer always sets.
    TFileOpenDlg(TWin* parent, char* file, const char* title, unsigned flags,
                 int fileSize = MAX_PATH);
    ~TFileOpenDlg() override;

    // Description and pattern pairs, each ending in a zero byte, the list
    // ending in an empty string. Not copied: it must outlive Run.
    void SetFilter(const char* pairs) { filter = pairs; }
    // The child template (a dialog resource of the application) added below
    // the system dialog's own controls; null for none.
    void SetTemplate(const char* name) { templateName = name; }

    // Runs the dialog modally; number is its help context. 1 when the user
    // chose a file, 0 when he cancelled, -1 when the dialog could not run
    // (a missing comdlg32.dll has been reported to the user).
    int Run(int number);

    int IsExplorer() const { return (flags & OFN_EXPLORER) != 0; }
    // The system dialog itself (the template dialog's parent); null unless
    // the dialog runs.
    HWND SystemDialog() const { return hwnd ? ::GetParent(hwnd) : nullptr; }
    // CDM_GETFILEPATH: the full path of the current selection into buffer;
    // nonzero when it fitted whole.
    int GetFilePath(char* buffer, int size) const;

    LRESULT MsgProc(TMsg& msg) override;
    // The template's Help button; the system dialog handles OK and Cancel.
    int Command(int id, unsigned code) override;

private:
    static UINT_PTR CALLBACK HookProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

    char* file;
    int fileSize;
    const char* title;
    unsigned flags;
    const char* filter = nullptr;
};
