// The system's file-open dialog worked as a user works it: typing into its
// file name box and into the edits of a program's template below it,
// clicking a file in its list, pressing Open or Cancel. For actions handed to
// ModalAnswerer::ExpectAndDo with the dialog's title as the caption; the
// typing and the buttons also work on a dialog of another process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kt_test {

class FileChooser {
public:
    explicit FileChooser(HWND window) : dialog(window) {}

    HWND Window() const { return dialog; }
    // Whether the dialog is still up (an accepted Open hides it at once).
    bool IsOpen() const;

    // The file name box: the edit that the system dialog reads on Open.
    HWND FileNameEdit() const;
    void TypeFileName(const std::string& text) const;
    std::string FileName() const;

    // An edit (or any control) of the program's template.
    HWND TemplateItem(int id) const;
    void Type(int id, const std::string& text) const;
    std::string Text(int id) const;

    // Open: the file in the name box, or the folder typed there is opened.
    void PressOpen() const;
    void Cancel() const;
    // Shows a folder's files, as typing its path and pressing Open does.
    void OpenFolder(const std::string& path) const;
    // Clicks the file of the folder shown; false when the list does not
    // hold it. Only in this process.
    bool ClickFile(const std::string& name) const;

private:
    HWND dialog;
};

// Typing into a template edit.
struct TemplateTyping {
    int id;
    std::string text;
};

// Types the template's edits, then path into the name box, and presses
// Open; fails the test when the dialog stays open (and then cancels it).
std::function<void(HWND)> ChooseFile(const std::string& path,
                                     const std::vector<TemplateTyping>& typed = {});
// Presses Cancel.
std::function<void(HWND)> CancelFileChooser();

}  // namespace kt_test
