#include "sharing/command_line.h"

#include "ui/file_util.h"

#include <cstdio>
#include <cstring>

namespace {

// Only the blank separates program and parameters; a tab is part of a name.
constexpr char kBlank = ' ';
constexpr char kQuote = '"';
constexpr int kNameLimit = kToolNameSize - 1;

bool HasBlank(const char* text) {
    return std::strchr(text, kBlank) != nullptr;
}

// Equal but for the case of A to Z: the system's own comparison would also
// fold letters of the code page that the user may mean to keep apart.
bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 'a' + 'A') : *a;
        char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

}  // namespace

int MakeCommandLine(char* out, const char* program, const char* parameters) {
    const int programLength = lstrlenA(program);
    if (parameters && *parameters) {
        if (programLength + lstrlenA(parameters) + 3 < kCommandLineSize) {
            std::snprintf(out, kCommandLineSize, "\"%s\" %s", program, parameters);
            return 1;
        }
    } else if (HasBlank(program)) {
        // Bare, the blank would cut the path when the line is split again.
        if (programLength + 2 < kCommandLineSize) {
            std::snprintf(out, kCommandLineSize, "\"%s\"", program);
            return 1;
        }
    } else if (programLength < kCommandLineSize) {
        lstrcpynA(out, program, kCommandLineSize);
        return 1;
    }
    lstrcpynA(out, program, kCommandLineSize);
    return 0;
}

const char* SplitCommandLine(char* program, const char* commandLine) {
    const char* p = commandLine;
    int length = 0;
    auto take = [&](char c) {
        if (length < kProgramSize - 1)
            program[length++] = c;
    };
    if (*p == kQuote) {
        for (++p; *p && *p != kQuote; ++p)
            take(*p);
        if (*p == kQuote)
            ++p;
    } else if (HasBlank(p) && FileExists(p)) {
        // Written bare by an older version: the blanks belong to the path.
        for (; *p; ++p)
            take(*p);
    } else {
        for (; *p && *p != kBlank; ++p)
            take(*p);
    }
    program[length] = '\0';
    while (*p == kBlank)
        ++p;
    return p;
}

void DeriveToolName(char* name, const char* path) {
    const char* start = std::strrchr(path, '\\');
    start = start ? start + 1 : path;
    char derived[kToolNameSize];
    int length = 0;
    if (*start) {
        // The first character is taken whatever it is (a leading '.' too).
        derived[length++] = *start;
        for (const char* p = start + 1; *p && *p != '.' && *p != kQuote && length < kNameLimit; ++p)
            derived[length++] = *p;
    }
    derived[length] = '\0';
    if (length > 0)
        CharUpperBuffA(derived, 1);
    if (length > 1)
        CharLowerBuffA(derived + 1, static_cast<DWORD>(length - 1));
    if (!EqualIgnoringAsciiCase(derived, name))
        lstrcpynA(name, derived, kToolNameSize);
}
