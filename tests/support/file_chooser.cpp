#include "tests/support/file_chooser.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace kt_test {

namespace {

// The file name box is an edit inside a combo box inside a ComboBoxEx, all
// three with this id; the file list and the Open button share IDOK.
constexpr int kFileNameId = 1148;
const char kShellViewClass[] = "SHELLDLL_DefView";

struct ClassSearch {
    const char* className;
    int id;  // -1: any
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    char className[64];
    if (!GetClassNameA(window, className, sizeof className) ||
        lstrcmpiA(className, search->className) != 0)
        return TRUE;
    if (search->id != -1 && GetDlgCtrlID(window) != search->id)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The descendant of top (at any depth) of that class, and that id unless -1.
HWND FindByClass(HWND top, const char* className, int id) {
    ClassSearch search{className, id, nullptr};
    if (top)
        EnumChildWindows(top, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The direct child of dialog with this id and class.
HWND ChildButton(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32];
        if (GetDlgCtrlID(child) == id && GetClassNameA(child, className, sizeof className) &&
            lstrcmpiA(className, "Button") == 0)
            return child;
    }
    return nullptr;
}

std::string WindowText(HWND window) {
    char text[2048] = "";
    if (window)
        SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void Press(HWND dialog, int id) {
    HWND button = ChildButton(dialog, id);
    if (!button) {
        ADD_FAILURE() << "the file dialog has no button " << id;
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace

bool FileChooser::IsOpen() const {
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

HWND FileChooser::FileNameEdit() const {
    return FindByClass(dialog, "Edit", kFileNameId);
}

void FileChooser::TypeFileName(const std::string& text) const {
    HWND edit = FileNameEdit();
    if (!edit) {
        ADD_FAILURE() << "the file dialog has no file name box";
        return;
    }
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string FileChooser::FileName() const {
    return WindowText(FileNameEdit());
}

HWND FileChooser::TemplateItem(int id) const {
    // The system dialog's own controls are its direct children; the
    // template's are children of the template dialog inside it.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32];
        if (GetClassNameA(child, className, sizeof className) &&
            lstrcmpA(className, "#32770") == 0) {
            if (HWND item = GetDlgItem(child, id))
                return item;
        }
    }
    return nullptr;
}

void FileChooser::Type(int id, const std::string& text) const {
    HWND edit = TemplateItem(id);
    if (!edit) {
        ADD_FAILURE() << "the file dialog's template has no control " << id;
        return;
    }
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string FileChooser::Text(int id) const {
    HWND item = TemplateItem(id);
    if (!item) {
        ADD_FAILURE() << "the file dialog's template has no control " << id;
        return std::string();
    }
    return WindowText(item);
}

void FileChooser::PressOpen() const {
    Press(dialog, IDOK);
}

void FileChooser::Cancel() const {
    Press(dialog, IDCANCEL);
}

void FileChooser::OpenFolder(const std::string& path) const {
    TypeFileName(path);
    PressOpen();
}

bool FileChooser::ClickFile(const std::string& name) const {
    HWND list = FindByClass(FindByClass(dialog, kShellViewClass, -1), WC_LISTVIEWA, -1);
    if (!list)
        return false;
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    int index = static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(&find)));
    if (index < 0)
        return false;
    // A click: the others lose the selection, the file gets it and the focus.
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&state));
    return true;
}

std::function<void(HWND)> ChooseFile(const std::string& path,
                                     const std::vector<TemplateTyping>& typed) {
    return [path, typed](HWND dialog) {
        FileChooser chooser(dialog);
        for (const TemplateTyping& t : typed)
            chooser.Type(t.id, t.text);
        chooser.TypeFileName(path);
        chooser.PressOpen();
        if (chooser.IsOpen()) {
            ADD_FAILURE() << "the file dialog did not take " << path;
            chooser.Cancel();
        }
    };
}

std::function<void(HWND)> CancelFileChooser() {
    return [](HWND dialog) { FileChooser(dialog).Cancel(); };
}

}  // namespace kt_test
