#include "ui/text_file.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kCrLf[] = "\r\n";
const char kLf[] = "\n";

}  // namespace

TTextFile::~TTextFile() {
    Close();
    std::free(line);
}

void TTextFile::Reset() {
    writing = false;
    failed = 0;
    used = next = 0;
    lineLength = 0;
    lineEnd = firstLineEnd = "";
}

int TTextFile::Open(const char* path) {
    Close();
    Reset();
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file != INVALID_HANDLE_VALUE;
}

int TTextFile::Create(const char* path) {
    Close();
    Reset();
    file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    writing = file != INVALID_HANDLE_VALUE;
    return writing;
}

int TTextFile::Fill() {
    next = used = 0;
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
        failed = 1;
        return 0;
    }
    used = got;
    return got > 0;
}

int TTextFile::AppendToLine(const char* data, size_t length) {
    if (lineLength + length + 1 > lineCapacity) {
        size_t capacity = lineCapacity ? lineCapacity : 256;
        while (capacity < lineLength + length + 1)
            capacity *= 2;
        auto* grown = static_cast<char*>(std::realloc(line, capacity));
        if (!grown)
            return 0;
        line = grown;
        lineCapacity = capacity;
    }
    std::memcpy(line + lineLength, data, length);
    lineLength += length;
    line[lineLength] = '\0';
    return 1;
}

int TTextFile::ReadLn() {
    lineLength = 0;
    lineEnd = "";
    if (file == INVALID_HANDLE_VALUE || writing || failed)
        return -1;
    bool any = false;
    for (;;) {
        if (next == used && !Fill())
            break;
        const char* start = buffer + next;
        size_t left = used - next;
        auto* newline = static_cast<const char*>(std::memchr(start, '\n', left));
        size_t take = newline ? static_cast<size_t>(newline - start) : left;
        if (!AppendToLine(start, take)) {
            failed = 1;
            return -1;
        }
        any = true;
        next += take;
        if (newline) {
            ++next;
            lineEnd = kLf;
            // The CR may have come at the end of the buffer before.
            if (lineLength > 0 && line[lineLength - 1] == '\r') {
                line[--lineLength] = '\0';
                lineEnd = kCrLf;
            }
            if (!*firstLineEnd)
                firstLineEnd = lineEnd;
            break;
        }
    }
    if (failed || !any)
        return -1;
    return static_cast<int>(lineLength);
}

int TTextFile::Flush() {
    size_t done = 0;
    while (done < used) {
        DWORD wrote = 0;
        if (!WriteFile(file, buffer + done, static_cast<DWORD>(used - done), &wrote, nullptr) ||
            wrote == 0) {
            failed = 1;
            break;
        }
        done += wrote;
    }
    used = 0;
    return !failed;
}

int TTextFile::Write(const char* data, size_t length) {
    if (file == INVALID_HANDLE_VALUE || !writing) {
        failed = 1;
        return 0;
    }
    while (length > 0 && !failed) {
        if (used == sizeof buffer)
            Flush();
        size_t room = sizeof buffer - used;
        size_t part = length < room ? length : room;
        std::memcpy(buffer + used, data, part);
        used += part;
        data += part;
        length -= part;
    }
    return !failed;
}

int TTextFile::Write(const char* text) {
    return Write(text, std::strlen(text));
}

int TTextFile::WriteLn(const char* text, size_t length, const char* end) {
    return Write(text, length) && Write(end);
}

int TTextFile::Close() {
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (writing && !failed)
        Flush();
    if (!CloseHandle(file))
        failed = 1;
    file = INVALID_HANDLE_VALUE;
    writing = false;
    return !failed;
}
