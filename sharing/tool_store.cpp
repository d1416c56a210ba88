#include "sharing/tool_store.h"

#include "sheet/error_sink.h"
#include "ui/reg_text.h"

#include <cstdio>

const char kToolNameHasBackslash[] =
    "A tool name cannot contain a backslash (\\). Type another name.";
const char kToolNameTaken[] = "There is already a tool named '%s'. Type another name.";
const char kToolCommandTooLong[] =
    "The command line would be longer than 259 characters. Shorten the parameters or choose "
    "a program with a shorter path.";

namespace {

const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kDirtyValue[] = "Dirty";
constexpr DWORD kDirty = 1;
// Old subkeys may have names longer than any tool's.
constexpr int kOldNameSize = 2048;

const char kCannotCreateLaunch[] =
    "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kCannotDeleteOld[] =
    "Cannot delete old registry keys from SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kCannotCreateTool[] =
    "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch\\%s";
const char kCannotWriteTool[] =
    "Cannot write to registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch\\%s";
constexpr int kKindError = 1;
constexpr REGSAM kSaveAccess =
    KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_QUERY_VALUE | KEY_SET_VALUE;

// Deletes every subkey of the Launch key that can be deleted; 0 when one
// could not be.
int RemoveOldTools(HKEY launch) {
    int allDeleted = 1;
    // A deleted subkey moves the later ones up; one that cannot be deleted
    // (it has subkeys of its own) is passed over.
    DWORD index = 0;
    char name[kOldNameSize];
    while (RegEnumKeyA(launch, index, name, sizeof name) == ERROR_SUCCESS) {
        if (RegDeleteKeyA(launch, name) != ERROR_SUCCESS) {
            allDeleted = 0;
            ++index;
        }
    }
    return allDeleted;
}

void WriteTool(HKEY launch, const char* name, const char* commandLine, TErrorSink& errors) {
    char text[sizeof kCannotWriteTool + kToolNameSize];
    HKEY subkey;
    if (RegCreateKeyA(launch, name, &subkey) != ERROR_SUCCESS) {
        std::snprintf(text, sizeof text, kCannotCreateTool, name);
        errors.Report(text, kKindError);
        return;
    }
    if (RegSetValueA(subkey, nullptr, REG_SZ, commandLine,
                     static_cast<DWORD>(lstrlenA(commandLine))) != ERROR_SUCCESS) {
        std::snprintf(text, sizeof text, kCannotWriteTool, name);
        errors.Report(text, kKindError);
    }
    RegCloseKey(subkey);
}

}  // namespace

void ReadTools(TToolSink& sink) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kLaunchKey, &key) != ERROR_SUCCESS)
        return;
    int taken = 0;
    char name[kToolNameSize];
    // Enumeration ends at the last subkey, or at one whose name does not fit
    // a tool's.
    for (DWORD index = 0;
         taken < kMaxTools && RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS;
         ++index) {
        char commandLine[kCommandLineSize];
        if (QueryValueText(key, name, commandLine, sizeof commandLine) != ERROR_SUCCESS)
            continue;
        TToolSink::TTake take = sink.TakeTool(name, commandLine);
        if (take == TToolSink::kStop)
            break;
        if (take == TToolSink::kTaken)
            ++taken;
    }
    RegCloseKey(key);
}

void WriteTools(TToolSource& source, TErrorSink& errors) {
    // 1. The key, opened for all the save does to it: a key that would take the
    // deletions but not the new subkeys would lose every tool.
    HKEY launch;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLaunchKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kSaveAccess, nullptr, &launch, nullptr) != ERROR_SUCCESS) {
        errors.Report(kCannotCreateLaunch, kKindError);
        return;
    }
    // 2. The old tools go, reported once if any stays.
    if (!RemoveOldTools(launch))
        errors.Report(kCannotDeleteOld, kKindError);
    // 3. Every tool, in the source's order.
    int count = source.ToolCount();
    for (int index = 0; index < count; ++index) {
        const char* name = nullptr;
        const char* commandLine = nullptr;
        if (source.GetTool(index, &name, &commandLine) && name && commandLine)
            WriteTool(launch, name, commandLine, errors);
    }
    // 4. Whoever starts the tools reads the list again; nothing here depends
    // on whether it could be set.
    RegSetValueExA(launch, kDirtyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kDirty),
                   sizeof kDirty);
    RegCloseKey(launch);
}
