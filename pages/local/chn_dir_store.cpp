#include "pages/local/chn_dir_store.h"

#include "pages/local/channel_file_mover.h"
#include "sheet/error_sink.h"
#include "ui/file_util.h"
#include "ui/reg_text.h"

#include <cstdio>

namespace {

// The tool-wide root is spelt this way by the tools that read it.
const char kDirKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kCannotCreateKey[] =
    "Cannot create registry key Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kCannotWriteKey[] =
    "Cannot write to registry key Software\\Tavrel\\Korvane Tools\\ChnFiles";
constexpr int kKindWarning = 0;
constexpr int kKindError = 1;
constexpr int kStoredSize = 2048;

const char kToolMapping[] = "sharedchanneldataV_1";
const char kNoDirectory[] = "You must specify a channel directory.";
const char kCreateFailed[] = "Failed to create the channel directory!";
const char kToolRunning[] = "Cannot change the channel file directory if any tool is still running";
const char kCannotMove[] = "Cannot move file '%s' to '%s'";
const char kNotAllMoved[] = "Not all files are moved";

const char kChannelFiles[] = "*.chn";
const char kCommandFiles[] = "*.txt";
const char kTemplateFiles[] = "*.tpl";
const char kAllFiles[] = "*.*";
const char kListCache[] = "listd*.cnf";
const char kTreeCache[] = "treed*.cnf";

void ReportMoveFailure(void* errors, const char* source, const char* target) {
    char text[2 * MAX_PATH + sizeof kCannotMove];
    std::snprintf(text, sizeof text, kCannotMove, source, target);
    static_cast<TErrorSink*>(errors)->Report(text, kKindError);
}

}  // namespace

TChannelDir ReadChannelDir() {
    TChannelDir result;
    // Enough to tell a value that does not fit dir from one that does.
    char stored[kStoredSize];
    if (QueryValueText(HKEY_LOCAL_MACHINE, kDirKey, stored, sizeof stored - 1) != ERROR_SUCCESS)
        return result;
    result.stored = true;
    result.cut = lstrlenA(stored) >= LONG{sizeof result.dir};
    lstrcpynA(result.dir, stored, sizeof result.dir);
    return result;
}

bool WriteChannelDir(const char* dir, TErrorSink& errors) {
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kDirKey, &key) != ERROR_SUCCESS) {
        errors.Report(kCannotCreateKey, kKindError);
        return false;
    }
    LONG status = RegSetValueA(key, nullptr, REG_SZ, dir, lstrlenA(dir));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        errors.Report(kCannotWriteKey, kKindError);
        return false;
    }
    return true;
}

int ToolIsRunning() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kToolMapping);
    if (!mapping)
        return 0;
    CloseHandle(mapping);
    return 1;
}

bool CheckChannelDirGiven(const char* dir, TErrorSink& errors) {
    if (dir && dir[0])
        return true;
    errors.Report(kNoDirectory, kKindError);
    return false;
}

bool CreateChannelDir(const char* dir, TErrorSink& errors) {
    if (CreateDirectoryA(dir, nullptr))
        return true;
    errors.Report(kCreateFailed, kKindError);
    return false;
}

bool SaveChannelDir(const char* dir, TErrorSink& errors) {
    if (!WriteChannelDir(dir, errors))
        return false;
    // A running tool keeps using the old directory until it restarts; the
    // change stands all the same.
    if (ToolIsRunning())
        errors.Report(kToolRunning, kKindWarning);
    return true;
}

int MoveChannelFiles(const char* fromDir, const char* toDir, const TChannelMoves& moves,
                     TErrorSink& errors) {
    // One folder under two names: every file is already where it should be,
    // and the caches still belong to the channel files beside them.
    if (!fromDir || !fromDir[0] || SameDirectory(fromDir, toDir))
        return 0;
    TChannelFileMover mover(fromDir, toDir, ReportMoveFailure, &errors);
    int failures = 0;
    if (moves.channels) {
        failures += mover.Move(kChannelFiles);
        // The list and tree caches describe the channel files of this
        // directory; the tools build them anew beside the moved files.
        mover.Delete(kListCache);
        mover.Delete(kTreeCache);
    }
    if (moves.commands)
        failures += mover.Move(kCommandFiles);
    if (moves.templates)
        failures += mover.Move(kTemplateFiles);
    if (moves.others)
        failures += mover.Move(kAllFiles);
    if (failures > 0)
        errors.Report(kNotAllMoved, kKindError);
    return failures;
}
