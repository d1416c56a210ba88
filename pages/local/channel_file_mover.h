// Moves the files of one pattern from the old channel file directory to the
// new one: copy, then delete the source, never losing a file.
#pragma once

// Whether the two paths name one and the same existing file or directory,
// whatever their spelling (case, separators, links, another drive letter).
// 0 when either does not exist or cannot be asked.
int SameFile(const char* a, const char* b);

// Whether the two directories are one directory under two names. Besides
// the identity test, a probe file made in one is looked for in the other,
// which also finds aliases whose identity the file system does not tell.
int SameDirectory(const char* a, const char* b);

class TChannelFileMover {
public:
    // Told of each file that could not be copied (full source and target).
    using FailureFn = void (*)(void* context, const char* source, const char* target);

    TChannelFileMover(const char* fromDir, const char* toDir, FailureFn onFailure, void* context);

    // Moves every file (not directory) of the old directory that matches
    // pattern, hidden and system files included; an existing target is
    // overwritten. Returns the number of files that could not be copied.
    int Move(const char* pattern);
    // Deletes every file of the old directory that matches pattern.
    void Delete(const char* pattern);

private:
    // Copies source onto target and deletes the source; 0 when the copy
    // failed. A target that is the source itself is left alone. idsKnown:
    // the old directory's file system tells identities.
    int MoveOne(const char* source, const char* target, bool idsKnown);

    char fromDir[260];
    char toDir[260];
    FailureFn onFailure;
    void* context;
};
