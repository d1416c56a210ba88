// A system library loaded the first time a user's action calls into it,
// not at start-up: the system's file and folder choosers and what they pull
// in (printing, COM) cost a start nothing when the user never opens them.
// A library that cannot be loaded, or lacks the routine, leaves the action
// with a message to the user instead of a crash.
#pragma once

#include <windows.h>

class TSystemDll {
public:
    // fileName: a library of the system directory, e.g. "comdlg32.dll".
    explicit constexpr TSystemDll(const char* fileName) : name(fileName) {}
    TSystemDll(const TSystemDll&) = delete;
    TSystemDll& operator=(const TSystemDll&) = delete;

    // The exported routine, loading the library on first use; null when the
    // library or the routine is missing. The library stays loaded for the
    // rest of the run, so that what it handed out stays valid.
    FARPROC GetProc(const char* procName);
    template <class Function>
    Function* Get(const char* procName) {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProc(procName)));
    }
    const char* FileName() const { return name; }

private:
    const char* name;
    HMODULE module = nullptr;
};

// The message box that tells the user an action cannot be done because a
// system library is missing: "<action> is not available: <file> could not
// be loaded."
void ReportMissingSystemDll(HWND owner, const char* action, const TSystemDll& library);
