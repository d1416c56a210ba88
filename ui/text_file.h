// A text file read or written line by line, byte for byte: a line is read
// whole whatever its length, and its own line end (CR LF, LF, or none on a
// last line) is kept apart from it, so that a copy can write each line back
// exactly as it was.
#pragma once

#include <windows.h>

#include <cstddef>

class TTextFile {
public:
    TTextFile() = default;
    ~TTextFile();  // closes what is still open
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    // An existing file for reading (others may read it meanwhile, not
    // write it); nonzero on success.
    int Open(const char* path);
    // A new, empty file for writing, replacing any file of that name;
    // nonzero on success.
    int Create(const char* path);

    // Reads the next line; its length, or -1 when there is none (the end of
    // the file, or a failure: see Failed).
    int ReadLn();
    // The line last read, without its line end and terminated; valid until
    // the next ReadLn. A line may hold NUL bytes: LineLength counts them.
    const char* Line() const { return line ? line : ""; }
    int LineLength() const { return static_cast<int>(lineLength); }
    // The end of the line last read: "\r\n", "\n", or "" for a last line
    // without one.
    const char* LineEnd() const { return lineEnd; }
    // The first line end the file used, "" while none has been read.
    const char* FirstLineEnd() const { return firstLineEnd; }

    // Writes bytes as they are; nonzero while nothing has failed.
    int Write(const char* data, size_t length);
    int Write(const char* text);
    // A line and the line end given.
    int WriteLn(const char* text, size_t length, const char* end);

    // Whether a read, a write or an allocation failed since opening.
    int Failed() const { return failed; }
    // Writes what is buffered and closes; nonzero when everything read or
    // written since opening went right, closing included.
    int Close();

private:
    int Fill();
    int Flush();
    int AppendToLine(const char* data, size_t length);
    void Reset();

    static constexpr size_t kBufferSize = 4096;

    HANDLE file = INVALID_HANDLE_VALUE;
    bool writing = false;
    int failed = 0;
    char buffer[kBufferSize];
    size_t used = 0;  // bytes in buffer (read: filled; write: pending)
    size_t next = 0;  // read position in buffer
    char* line = nullptr;
    size_t lineLength = 0;
    size_t lineCapacity = 0;
    const char* lineEnd = "";
    const char* firstLineEnd = "";
};
