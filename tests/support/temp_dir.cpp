#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace kt_test {

namespace {

int dirCounter = 0;

std::string Backslashed(std::string name) {
    for (char& c : name)
        if (c == '/')
            c = '\\';
    return name;
}

// Makes every directory of path that is missing; path is absolute.
bool MakeDirs(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        // Failing on an existing part is expected; only the last one counts.
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file's content into *content; false when it cannot be opened.
bool ReadAll(const std::string& path, std::string* content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content->clear();
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        content->append(chunk, got);
    CloseHandle(file);
    return true;
}

}  // namespace

TempDir::TempDir() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof base, base);
    if (n == 0 || n >= sizeof base) {
        ADD_FAILURE() << "no temporary directory (error " << GetLastError() << ")";
        return;
    }
    std::string root = base;
    if (!root.empty() && root.back() == '\\')
        root.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[80];
        std::snprintf(name, sizeof name, "\\kt-%lu-%d-%lu", GetCurrentProcessId(), ++dirCounter,
                      GetTickCount());
        std::string candidate = root + name;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    ADD_FAILURE() << "cannot create a temporary directory under " << root << " (error "
                  << GetLastError() << ")";
}

TempDir::~TempDir() {
    if (path.empty())
        return;
    // A child process that was just ended may still hold a file for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (RemoveTree(path))
            return;
        Sleep(50);
    }
}

void TempDir::Write(const std::string& name, const std::string& content) const {
    std::string full = File(Backslashed(name));
    size_t slash = full.rfind('\\');
    if (slash != std::string::npos && slash > path.size() && !MakeDirs(full.substr(0, slash))) {
        ADD_FAILURE() << "cannot create the directory of " << full;
        return;
    }
    HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot create " << full << " (error " << GetLastError() << ")";
        return;
    }
    DWORD written = 0;
    BOOL ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok || written != content.size())
        ADD_FAILURE() << "cannot write " << full << " (error " << error << ")";
}

std::string TempDir::Read(const std::string& name) const {
    std::string full = File(Backslashed(name));
    std::string content;
    if (!ReadAll(full, &content)) {
        ADD_FAILURE() << "cannot open " << full << " (error " << GetLastError() << ")";
        return std::string();
    }
    return content;
}

bool TempDir::Exists(const std::string& name) const {
    return PathExists(File(Backslashed(name)));
}

void TempDir::MakeDir(const std::string& name) const {
    std::string full = File(Backslashed(name));
    if (!MakeDirs(full))
        ADD_FAILURE() << "cannot create the directory " << full << " (error " << GetLastError()
                      << ")";
}

std::string ReadFileText(const std::string& path) {
    std::string content;
    return ReadAll(path, &content) ? content : "<missing>";
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Read-only, hidden and system entries refuse deletion until their
// attributes are cleared.
bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    bool ok = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ok = RemoveTree(full) && ok;
            else
                ok = DeleteFileA(full.c_str()) && ok;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(path.c_str()) && ok;
}

std::string WindowsDir() {
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_GT(length, 0u);
    return std::string(windows, length);
}

}  // namespace kt_test
