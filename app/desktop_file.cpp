#include "app/desktop_file.h"

#include "ui/reg_text.h"
#include "ui/app.h"
#include "ui/file_util.h"

#include <windows.h>

namespace {

const char* AppCmdLine() {
    return TApp::TheApp ? TApp::TheApp->GetCmdLine() : "";
}

// The Windows directory, or empty when it does not fit.
void WindowsDirectory(char* out) {
    UINT length = GetWindowsDirectoryA(out, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        out[0] = '\0';
}

// The default value of HKEY_CURRENT_USER\userKey into path; nonzero when it
// holds a directory.
int UserDirectory(const char* userKey, char* path) {
    if (QueryValueText(HKEY_CURRENT_USER, userKey, path, MAX_PATH) != ERROR_SUCCESS)
        return 0;
    // A key without a directory in it would turn the path into a relative
    // name, found wherever the current directory happens to be.
    return path[0] != '\0';
}

// The application module's full file name with its file part replaced by
// fileName; empty when it does not fit.
void BesideModule(const char* fileName, char* out) {
    DWORD length = GetModuleFileNameA(AppInstance(), out, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        out[0] = '\0';
        return;
    }
    char* filePart = GetFilePart(out);
    int room = MAX_PATH - static_cast<int>(filePart - out);
    lstrcpynA(filePart, fileName, room);
}

}  // namespace

void LocateDesktopFile(char* path, const char* parameterName, const char* fileName,
                       int noNetworkFallback, const char* userKey, char* directory, int* notFound) {
    path[0] = '\0';
    directory[0] = '\0';
    *notFound = 0;
    if (!fileName)
        fileName = "";

    if (GetCmdLinePrm(AppCmdLine(), parameterName, directory)) {
        if (!directory[0])
            WindowsDirectory(directory);
        DirPlusFile(path, MAX_PATH, directory, fileName);
        return;
    }

    if (userKey && UserDirectory(userKey, path)) {
        DirPlusFile(path, MAX_PATH, path, fileName);
        lstrcpynA(directory, path, MAX_PATH);
        return;
    }

    BesideModule(fileName, directory);

    // A program started from a network share keeps the user's file on the
    // local machine instead. A UNC path gives no drive letter here, so its
    // "root" is no drive and the program directory stays.
    char root[] = "X:\\";
    root[0] = directory[0];
    if (directory[0] && GetDriveTypeA(root) == DRIVE_REMOTE && !noNetworkFallback) {
        char windows[MAX_PATH];
        char local[MAX_PATH];
        WindowsDirectory(windows);
        DirPlusFile(local, sizeof local, windows, fileName);
        if (FileExists(local)) {
            lstrcpynA(directory, local, MAX_PATH);
        } else {
            *notFound = 1;
        }
        lstrcpynA(path, local, MAX_PATH);
        return;
    }
    lstrcpynA(path, directory, MAX_PATH);
}
