// The help file and the F1 message filter.
#pragma once

#include <windows.h>

// The window property that marks a window whose F1 the filter turns into
// the main dialog's Help command.
constexpr char kHelpHookProp[] = "VLHelpHook";

// The program's own path with ".hlp" in place of its extension (appended
// when the file name has none). The buffer lives for the whole run; it is
// empty when the path does not fit.
const char* HelpFilePath(HINSTANCE instance);
// The same for a program at modulePath, into out (MAX_PATH bytes).
void HelpPathFor(const char* modulePath, char* out);

// Message-filter hook procedure, exported under its plain name for whoever
// installs it: F1 in a marked window posts IDHELP to the main window.
extern "C" LRESULT CALLBACK FilterF1(int code, WPARAM wParam, LPARAM msg);
