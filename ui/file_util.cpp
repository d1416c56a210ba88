#include "ui/file_util.h"

#include <cctype>
#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Full path name with a trailing separator removed (but not from a root).
bool Normalised(const char* path, char* out, DWORD size) {
    DWORD n = GetFullPathNameA(path, size, out, nullptr);
    if (n == 0 || n >= size)
        return false;
    size_t len = std::strlen(out);
    while (len > 3 && IsSeparator(out[len - 1]))
        out[--len] = '\0';
    for (char* p = out; *p; ++p)
        if (*p == '/')
            *p = '\\';
    return true;
}

}  // namespace

int FileExists(const char* path) {
    if (!path || !*path)
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int DirExists(const char* path) {
    if (!path || !*path)
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int FileEqual(const char* a, const char* b) {
    if (!a || !b)
        return 0;
    if (!*a || !*b)
        return !*a && !*b;
    char fullA[MAX_PATH], fullB[MAX_PATH];
    if (!Normalised(a, fullA, sizeof fullA) || !Normalised(b, fullB, sizeof fullB))
        return lstrcmpiA(a, b) == 0;
    return lstrcmpiA(fullA, fullB) == 0;
}

int StrEqual(const char* a, const char* b) {
    if (!a || !b)
        return a == b;
    return lstrcmpiA(a, b) == 0;
}

char* DirPlusFile(char* out, int size, const char* dir, const char* file) {
    if (!out || size <= 0)
        return out;
    if (!dir)
        dir = "";
    if (!file)
        file = "";
    size_t room = static_cast<size_t>(size) - 1;
    size_t dirLen = std::strlen(dir);
    size_t fileLen = std::strlen(file);
    bool separator = dirLen > 0 && !IsSeparator(dir[dirLen - 1]) && dir[dirLen - 1] != ':';
    // The file part is placed first, from its own place: dir may be out
    // itself, so it is moved only afterwards, and a file part inside out
    // must be read before the dir part lands on it.
    size_t dirPart = dirLen < room ? dirLen : room;
    size_t filePos = dirPart + (separator && dirPart < room ? 1 : 0);
    size_t filePart = fileLen < room - filePos ? fileLen : room - filePos;
    std::memmove(out + filePos, file, filePart);
    out[filePos + filePart] = '\0';
    if (dir != out)
        std::memmove(out, dir, dirPart);
    if (filePos > dirPart)
        out[dirPart] = '\\';
    return out;
}

int JoinPath(char* out, int size, const char* dir, const char* file) {
    if (!out || size <= 0)
        return 0;
    if (!dir)
        dir = "";
    if (!file)
        file = "";
    size_t dirLen = std::strlen(dir);
    bool separator = dirLen > 0 && !IsSeparator(dir[dirLen - 1]) && dir[dirLen - 1] != ':';
    if (dirLen + (separator ? 1 : 0) + std::strlen(file) >= static_cast<size_t>(size))
        return 0;
    DirPlusFile(out, size, dir, file);
    return 1;
}

char* GetFilePart(char* path) {
    return const_cast<char*>(GetFilePart(static_cast<const char*>(path)));
}

const char* GetFilePart(const char* path) {
    if (!path)
        return path;
    const char* part = path;
    for (const char* p = path; *p; ++p)
        if (IsSeparator(*p) || *p == ':')
            part = p + 1;
    return part;
}

int GetCmdLinePrm(const char* commandLine, const char* name, char* value) {
    if (value)
        value[0] = '\0';
    if (!commandLine || !name || !*name)
        return 0;
    size_t nameLen = std::strlen(name);
    bool inQuotes = false;
    for (const char* p = commandLine; *p; ++p) {
        if (*p == '"')
            inQuotes = !inQuotes;
        bool wordStart = p == commandLine || std::isspace(static_cast<unsigned char>(p[-1]));
        if (inQuotes || !wordStart || (*p != '/' && *p != '-'))
            continue;
        if (_strnicmp(p + 1, name, nameLen) != 0)
            continue;
        const char* v = p + 1 + nameLen;
        if (*v == ':' || *v == '=')
            ++v;
        size_t n = 0;
        bool quoted = false;
        for (; *v && (quoted || !std::isspace(static_cast<unsigned char>(*v))); ++v) {
            if (*v == '"') {
                quoted = !quoted;
                continue;
            }
            if (value && n < MAX_PATH - 1)
                value[n++] = *v;
        }
        if (value)
            value[n] = '\0';
        return 1;
    }
    return 0;
}
