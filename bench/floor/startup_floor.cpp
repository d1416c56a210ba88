// ktfloor.exe: the start-up floor of ktconfig.exe. It shows the same screens
// from the same compiled resources (manifest, icons, the main template and
// the seven page templates) and reads no data: the dialog, its seven pages
// placed where the program places them, the tree with the seven names, the
// first page shown. The benchmark starts it and ktconfig.exe in turns and
// waits for the visible dialog. Cancel or closing ends it.
#include "bench/floor/screens.h"

#include <windows.h>

#include <commctrl.h>

namespace {

constexpr int kCaptionId = 161;
constexpr int kPlaceholderId = 162;
constexpr int kLargeIcon = 1;
constexpr int kSmallIcon = 2;
using kt_floor::kPageCount;

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)
                DestroyWindow(window);
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(window);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

void SetIcons(HWND window, HINSTANCE instance) {
    if (HICON big = LoadIconA(instance, MAKEINTRESOURCEA(kLargeIcon)))
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = LoadIconA(instance, MAKEINTRESOURCEA(kSmallIcon)))
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

// The pages at the placeholder's place, hidden; false when one cannot be
// built.
bool MakePages(HWND window, HINSTANCE instance, HWND* pages) {
    POINT origin{0, 0};
    if (HWND placeholder = GetDlgItem(window, kPlaceholderId)) {
        ShowWindow(placeholder, SW_HIDE);
        MapWindowPoints(placeholder, window, &origin, 1);
    }
    for (int page = 0; page < kPageCount; ++page) {
        pages[page] =
            CreateDialogParamA(instance, kt_floor::kPageTemplates[page], window, PageProc, 0);
        if (!pages[page])
            return false;
        SetWindowPos(pages[page], nullptr, origin.x, origin.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

void ShowFirstPage(HWND window, const HWND* pages) {
    kt_floor::FillPageTree(window, pages);
    SetDlgItemTextA(window, kCaptionId, "Define channel file directory");
    ShowWindow(pages[0], SW_SHOW);
}

int ShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    HWND window = CreateDialogParamA(instance, "CONFIGDLG", nullptr, MainProc, 0);
    if (!window)
        return 1;
    SetIcons(window, instance);
    HWND pages[kPageCount] = {};
    if (!MakePages(window, instance, pages)) {
        DestroyWindow(window);
        return 1;
    }
    ShowFirstPage(window, pages);
    ShowWindow(window, ShowCommand());
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
