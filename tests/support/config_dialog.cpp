#include "tests/support/config_dialog.h"

#include "sheet/config_dlg.h"
#include "sheet/config_page.h"
#include "sheet/error_win.h"
#include "tests/support/tree_items.h"
#include "ui/app.h"

#include <gtest/gtest.h>

namespace kt_test {

namespace {

constexpr int kErrorListId = 256;
constexpr int kTextSize = 2048;

// A quit request left by the dialog's end would end the next modal loop
// (a message box of a later test) at once.
void DropQuitRequests() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace

ConfigDialogFixture::ConfigDialogFixture()
    : app(new TApp(GetModuleHandleA(nullptr), TWin::StdWndProc)) {}

ConfigDialogFixture::~ConfigDialogFixture() {
    if (TErrorWin* errors = TErrorWin::Current()) {
        if (errors->GetHandle())
            DestroyWindow(errors->GetHandle());
        TErrorWin::SetCurrent(nullptr);
    }
    if (DialogAlive())
        DestroyWindow(dialog);
    DropQuitRequests();
    if (app->mainWin && !DialogAlive())
        app->mainWin = nullptr;
    delete app;
}

TConfigDlg* ConfigDialogFixture::Build() {
    if (DialogAlive()) {
        ADD_FAILURE() << "the dialog was built already";
        return Dialog();
    }
    auto* built = new TConfigDlg;
    if (!built) {
        ADD_FAILURE() << "the dialog object could not be allocated";
        return nullptr;
    }
    if (!built->GetHandle()) {
        ADD_FAILURE() << "the dialog window could not be created (template CONFIGDLG?)";
        delete built;
        return nullptr;
    }
    dialog = built->GetHandle();
    app->mainWin = built;
    return built;
}

TConfigDlg* ConfigDialogFixture::Dialog() const {
    if (!DialogAlive())
        return nullptr;
    return static_cast<TConfigDlg*>(TWin::GetWin(dialog));
}

HWND ConfigDialogFixture::DialogWindow() const {
    return DialogAlive() ? dialog : nullptr;
}

bool ConfigDialogFixture::DialogAlive() const {
    return dialog && IsWindow(dialog) && TWin::GetWin(dialog);
}

bool ConfigDialogFixture::DialogVisible() const {
    return DialogAlive() && IsWindowVisible(dialog);
}

std::vector<std::string> ConfigDialogFixture::TreeNames() const {
    std::vector<std::string> names;
    HWND tree = DialogAlive() ? GetDlgItem(dialog, kPageTreeId) : nullptr;
    if (!tree)
        return names;
    for (HTREEITEM item : TreeItems(tree))
        names.push_back(TreeItemText(tree, item));
    return names;
}

HWND ConfigDialogFixture::PageWindow(const std::string& treeName) const {
    HWND tree = DialogAlive() ? GetDlgItem(dialog, kPageTreeId) : nullptr;
    if (!tree)
        return nullptr;
    for (HTREEITEM item : TreeItems(tree)) {
        if (TreeItemText(tree, item) != treeName)
            continue;
        TVITEMA request{};
        request.mask = TVIF_PARAM;
        request.hItem = item;
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)))
            return nullptr;
        return reinterpret_cast<HWND>(request.lParam);
    }
    return nullptr;
}

TConfigPage* ConfigDialogFixture::Page(const std::string& treeName) const {
    HWND window = PageWindow(treeName);
    return window ? static_cast<TConfigPage*>(TWin::GetWin(window)) : nullptr;
}

bool ConfigDialogFixture::Select(const std::string& treeName) {
    TConfigDlg* sheet = Dialog();
    HWND page = PageWindow(treeName);
    if (!sheet || !page) {
        ADD_FAILURE() << "no page \"" << treeName << "\" to select";
        return false;
    }
    auto item = static_cast<HTREEITEM>(GetPropA(page, "HPAGEPROP"));
    return sheet->SelectPage(item) && sheet->GetCurPage() == page;
}

void ConfigDialogFixture::PressOk() {
    if (!DialogAlive()) {
        ADD_FAILURE() << "OK pressed without a dialog";
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void ConfigDialogFixture::PressCancel() {
    if (!DialogAlive()) {
        ADD_FAILURE() << "Cancel pressed without a dialog";
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

HWND ConfigDialogFixture::ErrorWindow() const {
    TErrorWin* errors = TErrorWin::Current();
    return errors ? errors->GetHandle() : nullptr;
}

std::string ConfigDialogFixture::ErrorCaption() const {
    HWND window = ErrorWindow();
    if (!window)
        return std::string();
    char caption[kTextSize];
    caption[0] = '\0';
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

std::vector<std::string> ConfigDialogFixture::ErrorLines() const {
    std::vector<std::string> lines;
    HWND list = ErrorWindow() ? GetDlgItem(ErrorWindow(), kErrorListId) : nullptr;
    if (!list)
        return lines;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == LB_ERR)
            continue;
        std::string line(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&line[0]));
        line.resize(static_cast<size_t>(length));
        lines.push_back(line);
    }
    return lines;
}

}  // namespace kt_test
