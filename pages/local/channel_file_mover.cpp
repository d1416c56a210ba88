#include "pages/local/channel_file_mover.h"

#include "ui/file_util.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct TFileId {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

// No access is asked for, so a file that someone holds open without sharing
// can still be identified; backup semantics let directories be opened too.
bool GetFileId(const char* path, TFileId* id) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    BOOL ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!ok)
        return false;
    id->volume = info.dwVolumeSerialNumber;
    id->indexHigh = info.nFileIndexHigh;
    id->indexLow = info.nFileIndexLow;
    return true;
}

bool SameId(const TFileId& a, const TFileId& b) {
    return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

bool IsFile(const WIN32_FIND_DATAA& data) {
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int SameFile(const char* a, const char* b) {
    TFileId idA, idB;
    return GetFileId(a, &idA) && GetFileId(b, &idB) && SameId(idA, idB);
}

int SameDirectory(const char* a, const char* b) {
    if (SameFile(a, b))
        return 1;
    // A probe that cannot be made proves nothing; the file-by-file identity
    // test still keeps every source.
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 16; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "~ktc%08lx.tmp",
                      static_cast<unsigned long>(seed + attempt));
        char inA[MAX_PATH], inB[MAX_PATH];
        if (!JoinPath(inA, sizeof inA, a, name) || !JoinPath(inB, sizeof inB, b, name))
            return 0;
        if (GetFileAttributesA(inA) != INVALID_FILE_ATTRIBUTES ||
            GetFileAttributesA(inB) != INVALID_FILE_ATTRIBUTES)
            continue;
        HANDLE probe = CreateFileA(
            inB, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return 0;
        int same = GetFileAttributesA(inA) != INVALID_FILE_ATTRIBUTES;
        CloseHandle(probe);
        return same;
    }
    return 0;
}

TChannelFileMover::TChannelFileMover(const char* from, const char* to, FailureFn failureFn,
                                     void* failureContext)
    : onFailure(failureFn), context(failureContext) {
    lstrcpynA(fromDir, from ? from : "", sizeof fromDir);
    lstrcpynA(toDir, to ? to : "", sizeof toDir);
}

namespace {

// Whether nothing at all is at path, as far as the file system tells.
bool Absent(const char* path) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

int TChannelFileMover::MoveOne(const char* source, const char* target, bool idsKnown) {
    // The usual case, a target not there yet: a copy that may only create
    // a new file makes one that cannot be the source, so no identity needs
    // asking for. Should something turn up there meanwhile, the copy fails
    // and the checks below decide.
    if (idsKnown && Absent(target) && CopyFileA(source, target, TRUE)) {
        DeleteFileA(source);  // a source that stays is not lost
        return 1;
    }
    // Copying a file onto itself may truncate it or fail, and deleting the
    // "source" afterwards would delete the only copy.
    TFileId sourceId, targetId;
    bool sourceKnown = GetFileId(source, &sourceId);
    if (sourceKnown && GetFileId(target, &targetId) && SameId(sourceId, targetId))
        return 1;
    if (!CopyFileA(source, target, FALSE))
        return 0;
    if (sourceKnown && GetFileId(target, &targetId) && !SameId(sourceId, targetId))
        DeleteFileA(source);  // a source that stays is not lost
    return 1;
}

int TChannelFileMover::Move(const char* pattern) {
    char source[MAX_PATH];
    if (!JoinPath(source, sizeof source, fromDir, pattern))
        return 0;
    char* filePart = GetFilePart(source);
    int room = static_cast<int>(sizeof source - (filePart - source));
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(source, &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    // A source is deleted only where the file system tells identities (the
    // copy is known to be another file): asked once, of the old directory,
    // as each file would cost an open and, under Wine, a volume query.
    TFileId dirId;
    const bool idsKnown = GetFileId(fromDir, &dirId);
    int failures = 0;
    do {
        if (!IsFile(data))
            continue;
        bool fits = static_cast<int>(std::strlen(data.cFileName)) < room;
        lstrcpynA(filePart, data.cFileName, room);
        char target[MAX_PATH];
        if (!JoinPath(target, sizeof target, toDir, data.cFileName)) {
            fits = false;
            DirPlusFile(target, sizeof target, toDir, data.cFileName);  // for the report only
        }
        if (!fits || !MoveOne(source, target, idsKnown)) {
            ++failures;
            if (onFailure)
                onFailure(context, source, target);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return failures;
}

void TChannelFileMover::Delete(const char* pattern) {
    char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, fromDir, pattern))
        return;
    char* filePart = GetFilePart(path);
    int room = static_cast<int>(sizeof path - (filePart - path));
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!IsFile(data) || static_cast<int>(std::strlen(data.cFileName)) >= room)
            continue;
        lstrcpynA(filePart, data.cFileName, room);
        DeleteFileA(path);  // a cache file that stays does no harm
    } while (FindNextFileA(search, &data));
    FindClose(search);
}
