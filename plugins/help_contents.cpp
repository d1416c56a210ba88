#include "plugins/help_contents.h"

#include "plugins/plugin_module.h"
#include "ui/app.h"
#include "ui/file_util.h"
#include "ui/text_file.h"

#include <algorithm>
#include <cstring>

namespace {

const char kContentsFileName[] = "korvane.cnt";
const char kTempExtension[] = "new";
const char kIndexCommand[] = ":Index ";
// A file that has shown no line end yet gets the one of DOS text.
const char kDefaultLineEnd[] = "\r\n";

bool IsHeader(const TTextFile& in) {
    return in.LineLength() > 0 && in.Line()[0] == ':';
}

bool Holds(const TTextFile& in, const char* key) {
    const char* line = in.Line();
    const char* end = line + in.LineLength();
    return std::search(line, end, key, key + std::strlen(key)) != end;
}

// The help file part of a help index ("=file.hlp"), null when it has none.
const char* KeyOf(const char* helpIndex) {
    return std::strchr(helpIndex, '=');
}

// What one rewrite does with each line it reads.
class TLineCopier {
public:
    virtual ~TLineCopier() = default;
    virtual void Copy(const TTextFile& in, TTextFile& out) = 0;
};

void Rewrite(const char* contentsPath, TLineCopier& copier) {
    char tempPath[MAX_PATH];
    size_t length = std::strlen(contentsPath);
    if (length < sizeof kTempExtension - 1 || length >= sizeof tempPath)
        return;
    std::memcpy(tempPath, contentsPath, length + 1);
    std::memcpy(tempPath + length - (sizeof kTempExtension - 1), kTempExtension,
                sizeof kTempExtension - 1);

    TTextFile in;
    if (!in.Open(contentsPath))
        return;
    TTextFile out;
    if (!out.Create(tempPath))
        return;
    while (in.ReadLn() >= 0)
        copier.Copy(in, out);
    // A read that failed midway leaves a copy that lacks lines.
    const bool readWhole = in.Close() != 0;
    const bool written = out.Close() != 0;
    // One step: whatever happens, either the old or the new file is there.
    if (readWhole && written && MoveFileExA(tempPath, contentsPath, MOVEFILE_REPLACE_EXISTING))
        return;
    DeleteFileA(tempPath);  // nothing more to do when it fails
}

class TIndexAdder : public TLineCopier {
public:
    TIndexAdder(const char* helpIndex, const char* key) : index(helpIndex), key(key) {}

    void Copy(const TTextFile& in, TTextFile& out) override {
        if (!written && IsHeader(in) && Holds(in, key)) {
            // The old line of this help file goes; the new one ends as it did.
            WriteIndex(out, in.LineEnd());
            return;
        }
        if (!written && !IsHeader(in))
            WriteIndex(out, LineEndLike(in));
        out.WriteLn(in.Line(), static_cast<size_t>(in.LineLength()), in.LineEnd());
    }

private:
    // A line put before an entry ends like that entry, or, before a last
    // line without an end, like the file's other lines.
    static const char* LineEndLike(const TTextFile& in) {
        if (*in.LineEnd())
            return in.LineEnd();
        return *in.FirstLineEnd() ? in.FirstLineEnd() : kDefaultLineEnd;
    }

    void WriteIndex(TTextFile& out, const char* lineEnd) {
        out.Write(kIndexCommand);
        out.Write(index);
        out.Write(lineEnd);
        written = true;
    }

    const char* index;
    const char* key;
    bool written = false;
};

class TIndexRemover : public TLineCopier {
public:
    explicit TIndexRemover(const TPluginRec* chain) : chain(chain) {}

    void Copy(const TTextFile& in, TTextFile& out) override {
        if (IsHeader(in) && NamesRegisteredPlugin(in))
            return;
        out.WriteLn(in.Line(), static_cast<size_t>(in.LineLength()), in.LineEnd());
    }

    static bool AnyKey(const TPluginRec* chain) {
        for (const TPluginRec* rec = chain; rec; rec = rec->next) {
            if ((rec->flags & kPluginRegistered) && KeyOf(rec->helpIndex))
                return true;
        }
        return false;
    }

private:
    bool NamesRegisteredPlugin(const TTextFile& in) const {
        for (const TPluginRec* rec = chain; rec; rec = rec->next) {
            const char* key = (rec->flags & kPluginRegistered) ? KeyOf(rec->helpIndex) : nullptr;
            if (key && Holds(in, key))
                return true;
        }
        return false;
    }

    const TPluginRec* chain;
};

}  // namespace

int ContentsFilePath(char* path, int size) {
    if (!path || size <= 0)
        return 0;
    path[0] = '\0';
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(AppInstance(), module, sizeof module);
    // A cut name (length == size) need not be terminated and names no file.
    if (length == 0 || length >= sizeof module)
        return 0;
    char* filePart = GetFilePart(module);
    if (!*filePart)
        return 0;
    size_t dirLength = static_cast<size_t>(filePart - module);
    if (dirLength + sizeof kContentsFileName > static_cast<size_t>(size))
        return 0;
    std::memcpy(path, module, dirLength);
    std::memcpy(path + dirLength, kContentsFileName, sizeof kContentsFileName);
    return 1;
}

void AddHelpIndexTo(const char* contentsPath, const char* helpIndex) {
    const char* key = helpIndex ? KeyOf(helpIndex) : nullptr;
    if (!key)
        return;
    TIndexAdder adder(helpIndex, key);
    Rewrite(contentsPath, adder);
}

void AddHelpIndex(const char* helpIndex) {
    char path[MAX_PATH];
    if (ContentsFilePath(path, sizeof path))
        AddHelpIndexTo(path, helpIndex);
}

void RemoveHelpIndexesFrom(const char* contentsPath, const TPluginRec* chain) {
    if (!TIndexRemover::AnyKey(chain))
        return;
    TIndexRemover remover(chain);
    Rewrite(contentsPath, remover);
}
