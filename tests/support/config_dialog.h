// The configuration dialog built as the program builds it, for tests of the
// sheet and the pages: an application object, the dialog with its pages
// created and loaded, then the dialog made the application's main window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TApp;
class TConfigDlg;
class TConfigPage;

namespace kt_test {

class ConfigDialogFixture {
public:
    ConfigDialogFixture();   // the application object only
    ~ConfigDialogFixture();  // destroys whatever windows are left
    ConfigDialogFixture(const ConfigDialogFixture&) = delete;
    ConfigDialogFixture& operator=(const ConfigDialogFixture&) = delete;

    // Constructs the dialog (the pages load now, against the registry as the
    // test left it) and stores it as the main window; fails the test and
    // returns null when it cannot.
    TConfigDlg* Build();
    TConfigDlg* Dialog() const;
    HWND DialogWindow() const;
    // Whether the dialog window still exists (OK or Cancel end it).
    bool DialogAlive() const;
    bool DialogVisible() const;

    // Tree item names in tree order (depth first).
    std::vector<std::string> TreeNames() const;
    TConfigPage* Page(const std::string& treeName) const;
    HWND PageWindow(const std::string& treeName) const;
    bool Select(const std::string& treeName);

    // What the buttons send: WM_COMMAND with BN_CLICKED.
    void PressOk();
    void PressCancel();

    // The error window, null when none exists; its caption and lines.
    HWND ErrorWindow() const;
    std::string ErrorCaption() const;
    std::vector<std::string> ErrorLines() const;

private:
    TApp* app;
    HWND dialog = nullptr;
};

}  // namespace kt_test
