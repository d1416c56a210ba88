// A dynamic-link library loaded for as long as the object lives (or until
// Free).
#pragma once

#include <windows.h>

class TLib {
public:
    // Loads the library file; the handle is null when loading failed. The
    // system shows no error box of its own for a file that is not a usable
    // library, and the library's own dependencies are looked for beside it.
    explicit TLib(const char* path);
    ~TLib();
    TLib(const TLib&) = delete;
    TLib& operator=(const TLib&) = delete;

    HMODULE GetHandle() const { return module; }
    // The exported routine, or null.
    FARPROC GetProc(const char* name) const;
    // Unloads the library now; nothing it handed out may be used afterwards.
    void Free();

private:
    HMODULE module;
};
