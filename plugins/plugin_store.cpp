#include "plugins/plugin_store.h"

#include "plugins/help_contents.h"
#include "plugins/plugin_module.h"
#include "sheet/error_sink.h"
#include "ui/file_util.h"
#include "ui/reg_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kPluginsSubkey[] = "Plugins";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kAppPathsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths";
const char kModulePattern[] = "*.dll";
const char kKorvaneWindowClass[] = "KVMainWindow";

const char kCannotCreateKey[] =
    "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kCannotDeleteOld[] =
    "Cannot delete old registry keys from SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kCannotCreateSubkey[] =
    "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins\\%s";
const char kCannotWriteSubkey[] =
    "Cannot write to registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins\\%s";
const char kRestartKorvane[] = "Restart Korvane for the changes to take effect";

constexpr int kKindWarning = 0;
constexpr int kKindError = 1;
constexpr int kMessageSize = 2048;
constexpr int kRegisteredPathSize = 2048;
constexpr int kSubkeyNameSize = 256;
constexpr REGSAM kSaveAccess = KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_QUERY_VALUE;

// Whether text fits a field of size bytes whole: a cut name or path would
// install something else.
bool Fits(const char* text, size_t size) {
    return strnlen(text, size) < size;
}

// Whether text fits a field of size bytes whole and holds no control
// character: a line break in a help index would write lines of the
// module's choosing into the contents file, and no later save would find
// them again to take them out.
bool FitsClean(const char* text, size_t size) {
    if (!Fits(text, size))
        return false;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        if (*c < ' ')
            return false;
    }
    return true;
}

// The name becomes a subkey of the Plugins key: an empty one would be the
// key itself, and a "\" would make a path of keys.
bool CanNameKey(const char* name) {
    return *name && !std::strchr(name, '\\');
}

// A registry string into buffer; false when it is missing or longer than
// the buffer.
bool QueryString(HKEY key, const char* subkey, char* buffer, LONG size) {
    return QueryValueText(key, subkey, buffer, size) == ERROR_SUCCESS;
}

void ReportForPlugin(TErrorSink& errors, const char* format, const char* name) {
    char text[kMessageSize];
    std::snprintf(text, sizeof text, format, name);
    errors.Report(text, kKindError);
}

}  // namespace

TPluginStore::TPluginStore(TPluginRows* rows) : rows(rows) {}

TPluginStore::~TPluginStore() {
    while (plugins) {
        TPluginRec* next = plugins->next;
        std::free(plugins);
        plugins = next;
    }
}

int TPluginStore::AddPlugin(const char* name, const char* file, const char* helpIndex,
                            int registered) {
    if (!name || !file || !helpIndex || !FitsClean(name, kPluginNameSize) ||
        !FitsClean(file, kPluginFileSize) || !FitsClean(helpIndex, kHelpIndexSize) ||
        !CanNameKey(name))
        return 0;
    const int flags =
        registered ? kPluginListed | kPluginRegistered | kPluginChecked : kPluginListed;
    TPluginRec* rec = plugins;
    for (; rec; rec = rec->next) {
        if (!StrEqual(rec->name, name))
            continue;
        // The plug-in already on the list wins.
        if (rec->flags & kPluginListed)
            return 0;
        // A found one taken off the list is listed again in place; a
        // registered one keeps its record as it came from the registry.
        if (!(rec->flags & kPluginRegistered))
            break;
    }
    if (!rec) {
        rec = static_cast<TPluginRec*>(std::calloc(1, sizeof(TPluginRec)));
        // The chain keeps what it has; the plug-in is not shown.
        if (!rec)
            return 0;
        rec->next = plugins;
        plugins = rec;
    }
    lstrcpynA(rec->name, name, sizeof rec->name);
    lstrcpynA(rec->file, file, sizeof rec->file);
    lstrcpynA(rec->helpIndex, helpIndex, sizeof rec->helpIndex);
    rec->flags = flags;
    if (rows)
        rows->AppendRow(name, registered);
    return 1;
}

TPluginRec* TPluginStore::FindListedPlugin(const char* name) const {
    for (TPluginRec* rec = plugins; rec; rec = rec->next) {
        if ((rec->flags & kPluginListed) && StrEqual(rec->name, name))
            return rec;
    }
    return nullptr;
}

int TPluginStore::SetChecked(const char* name, int checked) {
    TPluginRec* rec = FindListedPlugin(name);
    if (!rec)
        return 0;
    if (checked)
        rec->flags |= kPluginChecked;
    else
        rec->flags &= ~kPluginChecked;
    return 1;
}

int TPluginStore::UnlistUnchecked() {
    int removed = 0;
    for (TPluginRec* rec = plugins; rec; rec = rec->next) {
        if ((rec->flags & (kPluginListed | kPluginChecked)) != kPluginListed)
            continue;
        rec->flags &= ~kPluginListed;
        if (!rows || rows->RemoveRow(rec->name))
            ++removed;
    }
    return removed;
}

void TPluginStore::LoadRegisteredPlugins() {
    HKEY product = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKey, &product) != ERROR_SUCCESS)
        return;
    HKEY pluginsKey = nullptr;
    if (RegOpenKeyA(product, kPluginsSubkey, &pluginsKey) != ERROR_SUCCESS) {
        RegCloseKey(product);
        return;
    }
    // The name shown is the one the module reports, not the subkey's.
    char subkey[kSubkeyNameSize];
    for (DWORD index = 0; RegEnumKeyA(pluginsKey, index, subkey, sizeof subkey) == ERROR_SUCCESS;
         ++index) {
        char path[kRegisteredPathSize];
        if (QueryString(pluginsKey, subkey, path, sizeof path))
            AddRegisteredPlugin(path);
    }
    RegCloseKey(pluginsKey);
    RegCloseKey(product);
}

int TPluginStore::AddRegisteredPlugin(const char* path) {
    if (!*path || !Fits(path, kPluginFileSize) || !FileExists(path) || !IsPluginModule(path))
        return 0;
    TPluginModule module(path);
    int added = module.valid && AddPlugin(module.Name(), path, module.HelpIndex(), 1);
    module.Free();
    return added;
}

int TPluginStore::InstalledDir(char* dir, size_t size) const {
    // The installed program file; the directory that holds it is scanned.
    char program[MAX_PATH];
    if (!QueryString(HKEY_LOCAL_MACHINE, kAppPathsKey, program, sizeof program))
        return 0;
    *GetFilePart(program) = '\0';
    // A bare file name leaves no directory: the working directory is not
    // the product's.
    if (!program[0] || !Fits(program, size))
        return 0;
    lstrcpynA(dir, program, static_cast<int>(size));
    return 1;
}

int TPluginStore::ScanDir(const char* dir) {
    int changed = UnlistUnchecked();
    if (!dir || !*dir)
        return changed;
    // Room for a directory and a file name of full length each: a path that
    // would not fit a record is passed over, not cut.
    char path[2 * MAX_PATH];
    DirPlusFile(path, sizeof path, dir, kModulePattern);
    char* filePart = GetFilePart(path);
    size_t room = sizeof path - static_cast<size_t>(filePart - path);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return changed;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        lstrcpynA(filePart, found.cFileName, static_cast<int>(room));
        if (!Fits(path, kPluginFileSize) || !IsPluginModule(path))
            continue;
        TPluginModule module(path);
        if (module.valid && AddPlugin(module.Name(), path, module.HelpIndex(), 0))
            ++changed;
        module.Free();
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return changed;
}

int TPluginStore::Save(TErrorSink& errors) {
    int saved = 0;
    // 1. The key, created when missing, and opened for all the save does
    // to it: a key that would take the deletions but not the new subkeys
    // would lose every installed plug-in.
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPluginsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kSaveAccess, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        errors.Report(kCannotCreateKey, kKindError);
    } else {
        // 2. The help lines of the plug-ins installed so far go.
        RemoveHelpIndexes();
        // 3. Every old subkey goes.
        saved = DeleteOldSubkeys(key);
        if (!saved)
            errors.Report(kCannotDeleteOld, kKindError);
        // 4. One subkey, and its help line, for each checked plug-in.
        if (!WriteCheckedPlugins(key, errors))
            saved = 0;
        // 5.
        RegCloseKey(key);
    }
    // 6. Korvane reads its plug-ins when it starts.
    if (FindWindowA(kKorvaneWindowClass, nullptr))
        errors.Report(kRestartKorvane, kKindWarning);
    return saved;
}

void TPluginStore::RemoveHelpIndexes() {
    char path[MAX_PATH];
    if (ContentsFilePath(path, sizeof path))
        RemoveHelpIndexesFrom(path, plugins);
}

// Nonzero when every subkey went. One that cannot be deleted (it has
// subkeys of its own) is passed over; the later ones move up to its index.
int TPluginStore::DeleteOldSubkeys(HKEY key) {
    int allDeleted = 1;
    char name[kSubkeyNameSize];
    DWORD index = 0;
    while (RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS) {
        if (RegDeleteKeyA(key, name) == ERROR_SUCCESS)
            continue;
        allDeleted = 0;
        ++index;
    }
    return allDeleted;
}

int TPluginStore::WriteCheckedPlugins(HKEY key, TErrorSink& errors) {
    const int wanted = kPluginListed | kPluginChecked;
    int allWritten = 1;
    for (TPluginRec* rec = plugins; rec; rec = rec->next) {
        if ((rec->flags & wanted) != wanted)
            continue;
        if (!WritePlugin(key, *rec, errors)) {
            allWritten = 0;
            continue;
        }
        // Installed now: a later save in this session takes its help line
        // out again before it decides anew.
        rec->flags |= kPluginRegistered;
        if (rec->helpIndex[0])
            AddHelpIndex(rec->helpIndex);
    }
    return allWritten;
}

int TPluginStore::WritePlugin(HKEY key, const TPluginRec& rec, TErrorSink& errors) {
    HKEY subkey = nullptr;
    if (RegCreateKeyA(key, rec.name, &subkey) != ERROR_SUCCESS) {
        ReportForPlugin(errors, kCannotCreateSubkey, rec.name);
        return 0;
    }
    LONG status = RegSetValueA(subkey, nullptr, REG_SZ, rec.file, lstrlenA(rec.file));
    RegCloseKey(subkey);
    if (status != ERROR_SUCCESS) {
        ReportForPlugin(errors, kCannotWriteSubkey, rec.name);
        return 0;
    }
    return 1;
}

bool KorvaneIsRunning() {
    return FindWindowA(kKorvaneWindowClass, nullptr) != nullptr;
}

const char* RestartKorvaneText() {
    return kRestartKorvane;
}
