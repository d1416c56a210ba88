// Answers for the shell's folder chooser, to hand to
// ModalAnswerer::ExpectAndDo with kFolderChooserCaption.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kt_test {

// The chooser window's caption (the title argument shows inside it).
extern const char kFolderChooserCaption[];

// Selects the directory in the chooser's tree, as a user's click does, and
// presses OK; fails the test when the chooser does not take the directory.
std::function<void(HWND)> ChooseFolder(const std::string& path);
// Presses Cancel.
std::function<void(HWND)> CancelChooser();

}  // namespace kt_test
