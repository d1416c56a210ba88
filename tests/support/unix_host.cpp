#include "tests/support/unix_host.h"

#include <windows.h>

#include <vector>

namespace kt_test {

std::string WindowsPath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    std::string windows = "Z:" + unixPath;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

std::string UnixPath(const std::string& windowsPath) {
    // Wine's own export, absent on Windows.
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unix = toUnix(wide);
    if (!unix)
        return std::string();
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

bool StartUnixProgram(const std::string& program, const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // For a Unix program Wine fills in no usable handles: none are closed.
    return CreateProcessA(WindowsPath(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process) != FALSE;
}

}  // namespace kt_test
