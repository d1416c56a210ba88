#include "network/string_util.h"

#include <cstdlib>

namespace {

const char kNoMemory[] = "Memory allocation error";
const char kNoMemoryCaption[] = "KT&C Error";
const char kCopyFailed[] = "KT&C: StrDup: lstrcpy error";
const char kUnknownCode[] = "KT&C: GetLastError %d";
constexpr SIZE_T kUnknownCodeSize = 256;

}  // namespace

char* StrDup(const char* text) {
    if (!text)
        return nullptr;
    int size = lstrlenA(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (!copy) {
        // Not the fatal exit: the field stays empty and the program goes on.
        MessageBoxA(GetActiveWindow(), kNoMemory, kNoMemoryCaption, MB_OK);
        return nullptr;
    }
    // lstrcpyn reports a text it cannot read (null) instead of crashing.
    if (!lstrcpynA(copy, text, size)) {
        DWORD code = GetLastError();
        std::free(copy);
        ShowLastError(GetActiveWindow(), kCopyFailed, code);
        return nullptr;
    }
    return copy;
}

void ShowLastError(HWND owner, const char* caption, DWORD code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<char*>(&text), 0, nullptr);
    if (length == 0) {
        text = static_cast<char*>(LocalAlloc(LMEM_FIXED, kUnknownCodeSize));
        // 256 bytes hold the format with any 32-bit number.
        if (text)
            wsprintfA(text, kUnknownCode, static_cast<int>(code));
    }
    MessageBoxA(owner, text ? text : kNoMemory, caption, MB_OK);
    if (text)
        LocalFree(text);
}
