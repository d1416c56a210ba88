#include "deploy/report.h"

#include <cstdio>

namespace {

const char kErrorMark[] = "error: ";
const char kWarningMark[] = "warning: ";
const char kLineEnd[] = "\r\n";
// Many machines may append to one log on a share at the same time.
constexpr int kLogOpenAttempts = 20;
constexpr DWORD kLogRetryMs = 100;

bool Usable(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void WriteAll(HANDLE handle, const std::string& text) {
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        DWORD written = 0;
        DWORD chunk = left > 65536 ? 65536 : static_cast<DWORD>(left);
        if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0)
            return;  // nowhere else to say it
        data += written;
        left -= written;
    }
}

std::string Stamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof computer;
    if (!GetComputerNameA(computer, &size))
        computer[0] = '\0';
    char text[128];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u %s", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, computer);
    return text;
}

}  // namespace

TReport::TReport(bool quiet) : consoleOpened(quiet) {}

TReport::~TReport() {
    if (log)
        CloseHandle(log);
    if (ownsConsoleHandle)
        CloseHandle(console);
}

// A GUI program has no console of its own. Output that the starter
// redirected (a pipe or a file) is used as it is; otherwise the console of
// the program that started this one, when it has one.
void TReport::OpenConsole() {
    consoleOpened = true;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (Usable(out)) {
        console = out;
        return;
    }
    // Access denied: this process has a console already (Wine gives a GUI
    // program its starter's), which is the one to write to.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return;
    HANDLE attached =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (attached == INVALID_HANDLE_VALUE)
        return;
    console = attached;
    ownsConsoleHandle = true;
    // The prompt was printed before this program wrote anything.
    WriteAll(console, kLineEnd);
}

bool TReport::OpenLog(const char* path, const char* commandLine) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kLogOpenAttempts; ++attempt) {
        file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(kLogRetryMs);
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    log = file;
    // One heading per run tells the runs of many machines apart.
    WriteAll(log, "--- " + Stamp() + ": ktconfig " + commandLine + kLineEnd);
    return true;
}

void TReport::Emit(const std::string& line) {
    if (!consoleOpened)
        OpenConsole();
    lines.push_back(line);
    const std::string whole = line + kLineEnd;
    if (console)
        WriteAll(console, whole);
    if (log)
        WriteAll(log, whole);
}

void TReport::Problem(const char* page, const std::string& text, int kind, int line) {
    std::string out = kind ? kErrorMark : kWarningMark;
    if (page)
        out += std::string(page) + ":  ";
    out += text;
    if (line > 0) {
        char where[32];
        std::snprintf(where, sizeof where, "line %d", line);
        out += " (" + (fileName.empty() ? std::string() : fileName + ", ") + where + ")";
    }
    Emit(out);
    if (kind)
        ++errors;
    else
        ++warnings;
}

void TReport::Note(const std::string& text) {
    Emit(text);
}

void TPageReports::Report(const char* text, int kind) {
    report.Problem(page, text ? text : "", asKind >= 0 ? asKind : kind, line);
}
