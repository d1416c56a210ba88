// The list of the Plug-ins page: the registered plug-ins, checked, then
// those found by scanning, unchecked.
#include "plugins/plugin_list_box.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_page.h"
#include "ui/reg_text.h"
#include "ui/file_static.h"
#include "ui/file_util.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kPluginsSubkey[] = "Plugins";
const char kAppPathsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths";
const char kModulePattern[] = "*.dll";
constexpr int kRegisteredPathSize = 2048;
constexpr int kSubkeyNameSize = 256;

// Whether text fits a field of size bytes whole: a cut name or path would
// install something else.
bool Fits(const char* text, size_t size) {
    return strnlen(text, size) < size;
}

// The name becomes a subkey of the Plugins key: an empty one would be the
// key itself, and a "\" would make a path of keys.
bool CanNameKey(const char* name) {
    return *name && !std::strchr(name, '\\');
}

// The wait cursor for as long as the object lives, whichever way the scope
// is left.
class TWaitCursor {
public:
    TWaitCursor() : previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) { ShowCursor(TRUE); }
    ~TWaitCursor() {
        ShowCursor(FALSE);
        SetCursor(previous);
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    HCURSOR previous;
};

// A registry string into buffer; false when it is missing or longer than
// the buffer.
bool QueryString(HKEY key, const char* subkey, char* buffer, LONG size) {
    return QueryValueText(key, subkey, buffer, size) == ERROR_SUCCESS;
}

}  // namespace

void TPluginPage::AppendRow(const char* name, int checked) {
    if (checkList)
        checkList->AppendCheck(name, checked);
}

int TPluginPage::AddPlugin(const char* name, const char* file, const char* helpIndex,
                           int registered) {
    if (!name || !file || !helpIndex || !Fits(name, kPluginNameSize) ||
        !Fits(file, kPluginFileSize) || !Fits(helpIndex, kHelpIndexSize) || !CanNameKey(name))
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
    AppendRow(name, registered);
    return 1;
}

TPluginRec* TPluginPage::FindListedPlugin(const char* name) const {
    for (TPluginRec* rec = plugins; rec; rec = rec->next) {
        if ((rec->flags & kPluginListed) && StrEqual(rec->name, name))
            return rec;
    }
    return nullptr;
}

int TPluginPage::UnlistUnchecked() {
    int removed = 0;
    for (TPluginRec* rec = plugins; rec; rec = rec->next) {
        if ((rec->flags & (kPluginListed | kPluginChecked)) != kPluginListed)
            continue;
        rec->flags &= ~kPluginListed;
        int row = checkList ? checkList->FindStringExact(rec->name) : LB_ERR;
        if (row >= 0 && checkList->DeleteString(row) != LB_ERR)
            ++removed;
    }
    return removed;
}

void TPluginPage::LoadRegisteredPlugins() {
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

int TPluginPage::AddRegisteredPlugin(const char* path) {
    if (!*path || !Fits(path, kPluginFileSize) || !FileExists(path) || !IsPluginModule(path))
        return 0;
    TPluginModule module(path);
    int added = module.valid && AddPlugin(module.Name(), path, module.HelpIndex(), 1);
    module.Free();
    return added;
}

int TPluginPage::ScanDefaultDir() {
    // The installed program file; the directory that holds it is scanned.
    char dir[MAX_PATH];
    if (!QueryString(HKEY_LOCAL_MACHINE, kAppPathsKey, dir, sizeof dir))
        return 0;
    *GetFilePart(dir) = '\0';
    // A bare file name leaves no directory: the working directory is not
    // the product's.
    if (!dir[0])
        return 0;
    if (Fits(dir, sizeof scanDir))
        lstrcpynA(scanDir, dir, sizeof scanDir);
    return ScanDir(dir);
}

int TPluginPage::ScanDir(const char* dir) {
    TWaitCursor wait;
    int changed = UnlistUnchecked();
    if (dir && *dir) {
        // Room for a directory and a file name of full length each: a path
        // that would not fit a record is passed over, not cut.
        char path[2 * MAX_PATH];
        DirPlusFile(path, sizeof path, dir, kModulePattern);
        char* filePart = GetFilePart(path);
        size_t room = sizeof path - static_cast<size_t>(filePart - path);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path, &found);
        if (search != INVALID_HANDLE_VALUE) {
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
        }
    }
    // A removed row may have been the selected one.
    if (changed)
        OnSelChange();
    return changed;
}

int TPluginPage::OnCheckChanged() {
    int row = checkList ? checkList->GetCurSel() : LB_ERR;
    if (row == LB_ERR)
        return 0;
    char name[kPluginNameSize];
    if (checkList->GetString(row, name, sizeof name) < 0)
        return 0;
    TPluginRec* rec = FindListedPlugin(name);
    if (!rec)
        return 0;
    if (checkList->GetCheck(row))
        rec->flags |= kPluginChecked;
    else
        rec->flags &= ~kPluginChecked;
    return 1;
}

void TPluginPage::OnSelChange() {
    fileName[0] = '\0';
    int row = checkList ? checkList->GetCurSel() : LB_ERR;
    char name[kPluginNameSize];
    if (row != LB_ERR && checkList->GetString(row, name, sizeof name) >= 0) {
        if (const TPluginRec* rec = FindListedPlugin(name))
            lstrcpynA(fileName, rec->file, sizeof fileName);
    }
    if (fileStatic)
        fileStatic->SetData();
}
