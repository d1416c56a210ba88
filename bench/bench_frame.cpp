#include "bench/bench.h"

#include "ui/win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kt_bench {

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    if (values.size() % 2)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

double TimeOne(TBenchCase& benchCase, bool program) {
    benchCase.Prepare(program);
    Pump();
    double start = Now();
    if (program)
        benchCase.Program();
    else
        benchCase.Raw();
    double took = Now() - start;
    benchCase.Finish(program);
    Pump();
    return took;
}

}  // namespace

bool verbose = false;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // A dialog's end may leave a quit request; this run has no loop to end.
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TResult Measure(TBenchCase& benchCase, int runs) {
    TimeOne(benchCase, true);
    TimeOne(benchCase, false);
    std::vector<double> program, raw;
    for (int round = 0; round < runs; ++round) {
        bool programFirst = round % 2 == 0;
        double first = TimeOne(benchCase, programFirst);
        double second = TimeOne(benchCase, !programFirst);
        program.push_back(programFirst ? first : second);
        raw.push_back(programFirst ? second : first);
    }
    if (verbose) {
        std::fprintf(stderr, "%s\n  program:", benchCase.Name().c_str());
        for (double t : program)
            std::fprintf(stderr, " %.1f", t);
        std::fprintf(stderr, "\n  raw:    ");
        for (double t : raw)
            std::fprintf(stderr, " %.1f", t);
        std::fprintf(stderr, "\n");
    }
    return TResult{benchCase.Name(), Median(program), Median(raw), benchCase.Goal()};
}

void Die(const std::string& what) {
    std::fprintf(stderr, "ktbench: %s (error %lu)\n", what.c_str(),
                 static_cast<unsigned long>(GetLastError()));
    std::fflush(stderr);
    std::exit(2);
}

void MakeDir(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Die("cannot create " + path);
}

bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Die("cannot create " + path);
    DWORD wrote = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    CloseHandle(file);
    if (!ok || wrote != text.size())
        Die("cannot write " + path);
}

void CopyOrDie(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        Die("cannot copy " + from + " to " + to);
}

std::string BesideProgram(const char* name) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        Die("cannot find ktbench.exe's own path");
    std::string own(path, length);
    return own.substr(0, own.find_last_of('\\') + 1) + name;
}

void SetString(HKEY root, const char* subkey, const char* valueName, const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        Die(std::string("cannot create key ") + subkey);
    LONG status =
        RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        Die(std::string("cannot set a value of ") + subkey);
}

void DeleteTree(HKEY root, const char* subkey) {
    LONG status = RegDeleteTreeA(root, subkey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Die(std::string("cannot delete key ") + subkey);
}

THost::THost() : win(new TWin("KtBenchHost", nullptr, 0)) {
    if (!win)
        Die("no memory for the host window");
    win->wca.style = WS_OVERLAPPEDWINDOW;
    win->wca.x = win->wca.y = 0;
    win->wca.w = 800;
    win->wca.h = 600;
    if (!win->Create())
        Die("cannot create the host window");
    handle = win->GetHandle();
}

THost::~THost() {
    // The object goes with its window.
    if (handle && IsWindow(handle))
        DestroyWindow(handle);
}

}  // namespace kt_bench
