#include "tests/support/process.h"

#include "tests/support/pump.h"
#include "tests/support/unix_host.h"

#include <gtest/gtest.h>

#include <vector>

namespace kt_test {

namespace {

struct WindowSearch {
    DWORD pid;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid)
        return TRUE;
    char text[512];
    int n = GetWindowTextA(window, text, sizeof text);
    if (n >= 0 && *search->title == std::string(text, static_cast<size_t>(n))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct HolderSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchHolder(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<HolderSearch*>(data);
    if (GetDlgItem(window, search->id)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for the process while this thread's own windows keep being served:
// a program that broadcasts a message would otherwise wait for us.
bool WaitPumping(HANDLE handle, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return false;
        PumpFor(0);
    }
}

}  // namespace

ProgramRun::ProgramRun(const std::string& exePath, const std::string& arguments) {
    std::string exe = WindowsPath(exePath);
    std::string line = "\"" + exe + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // No application name: the quoted first word is looked up as a command
    // line's program is, so "notepad.exe" works as well as a full path.
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start " << line << " (error " << GetLastError() << ")";
        return;
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
    pid = info.dwProcessId;
}

ProgramRun::~ProgramRun() {
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

HWND ProgramRun::WaitForWindow(const std::string& title, DWORD timeoutMs) const {
    if (!process)
        return nullptr;
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search{pid, &title, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        PumpFor(50);
    }
}

bool ProgramRun::WaitForExit(DWORD timeoutMs, DWORD* code) {
    if (code)
        *code = STILL_ACTIVE;
    if (!process || !WaitPumping(process, timeoutMs))
        return false;
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode))
        return false;
    if (code)
        *code = exitCode;
    return true;
}

HWND FindWindowHolding(HWND top, int controlId) {
    if (!top)
        return nullptr;
    HolderSearch search{controlId, nullptr};
    EnumChildWindows(top, MatchHolder, reinterpret_cast<LPARAM>(&search));
    if (search.found)
        return search.found;
    return GetDlgItem(top, controlId) ? top : nullptr;
}

std::vector<std::string> ListBoxLines(HWND list) {
    // Wine hands LB_GETTEXT across processes in Unicode whichever way it was
    // asked, so it is asked so.
    std::vector<std::string> lines;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0)
            break;
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(wide.data()));
        int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> line(size > 0 ? static_cast<size_t>(size) : 1, '\0');
        if (size > 0)
            WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, line.data(), size, nullptr, nullptr);
        lines.emplace_back(line.data());
    }
    return lines;
}

bool RunAndCapture(const std::string& commandLine, std::string* output, DWORD* exitCode,
                   DWORD timeoutMs) {
    if (output)
        output->clear();
    if (exitCode)
        *exitCode = STILL_ACTIVE;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        ADD_FAILURE() << "cannot create a pipe (error " << GetLastError() << ")";
        return false;
    }
    // Only the writing end belongs to the child.
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                  nullptr, nullptr, &startup, &info);
    DWORD error = GetLastError();
    // Our copy of the writing end must go, or the pipe never reports its end.
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        ADD_FAILURE() << "cannot run " << commandLine << " (error " << error << ")";
        return false;
    }
    CloseHandle(info.hThread);
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    DWORD start = GetTickCount();
    bool timedOut = false;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr))
            break;  // the child has closed its end
        if (available > 0) {
            if (!ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) || got == 0)
                break;
            text.append(chunk, got);
            continue;
        }
        if (GetTickCount() - start >= timeoutMs) {
            timedOut = true;
            break;
        }
        Sleep(10);
    }
    CloseHandle(readEnd);
    if (timedOut || WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        ADD_FAILURE() << commandLine << " did not end within " << timeoutMs << " ms";
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    if (exitCode)
        *exitCode = code;
    if (output)
        *output = text;
    return true;
}

}  // namespace kt_test
