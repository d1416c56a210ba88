// ktstartmark.exe PROGRAM: starts PROGRAM as its own process, waits until
// its configuration dialog is visible, then ends it with Cancel. Before the
// start and once the dialog is seen it opens an event of a marking name,
// which a tracing wineserver writes into its log: the requests that the
// started process made in between are its start-up's round trips
// (scripts/startup-requests.sh counts them). Exit code 0 when the dialog
// appeared, 1 otherwise.
#include <windows.h>

#include <string>

namespace {

const char kTitle[] = "Korvane & Tools Configuration";
constexpr DWORD kTimeoutMs = 30000;

void Mark(const char* name) {
    // The event does not exist: only its name in the server's log counts.
    if (HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name))
        CloseHandle(event);
}

HWND VisibleDialog(DWORD process) {
    HWND window = FindWindowA(nullptr, kTitle);
    DWORD owner = 0;
    if (window)
        GetWindowThreadProcessId(window, &owner);
    return window && owner == process && IsWindowVisible(window) ? window : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 1;
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Mark("ktmark begin");
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    DWORD started = GetTickCount();
    HWND window = nullptr;
    while (!(window = VisibleDialog(process.dwProcessId))) {
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0 ||
            GetTickCount() - started > kTimeoutMs) {
            TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            return 1;
        }
    }
    Mark("ktmark shown");
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return 0;
}
