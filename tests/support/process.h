// Runs a built program of the product as its own process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kt_test {

class ProgramRun {
public:
    // Starts exePath (a Windows or Unix path) with the arguments; fails the
    // test when it cannot.
    explicit ProgramRun(const std::string& exePath, const std::string& arguments = "");
    ~ProgramRun();  // ends the process if it still runs
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return process != nullptr; }
    DWORD Pid() const { return pid; }
    // The top-level window of this process with that exact title, or null
    // after timeoutMs.
    HWND WaitForWindow(const std::string& title, DWORD timeoutMs = 15000) const;
    // Whether the process ended within timeoutMs; its exit code into *code.
    bool WaitForExit(DWORD timeoutMs, DWORD* code);

private:
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// The child window of top (at any depth) that holds a control with this id,
// e.g. the page that owns control 561; null if none.
HWND FindWindowHolding(HWND top, int controlId);

// The lines of a list box, also one of another process.
std::vector<std::string> ListBoxLines(HWND list);

// Runs a console command line to its end with its output (standard output
// and standard error) into *output; fails the test and returns false when it
// cannot start or does not end within timeoutMs.
bool RunAndCapture(const std::string& commandLine, std::string* output, DWORD* exitCode = nullptr,
                   DWORD timeoutMs = 15000);

}  // namespace kt_test
