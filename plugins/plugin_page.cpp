#include "plugins/plugin_page.h"

#include "plugins/help_contents.h"
#include "plugins/plugin_list_box.h"
#include "plugins/plugin_module.h"
#include "resources/plugin_page_ids.h"
#include "sheet/config_dlg.h"
#include "ui/dir_dialog.h"
#include "ui/file_static.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char kTemplate[] = "PLUGINDLG";
constexpr int kPageNumber = 528;

const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kKorvaneWindowClass[] = "KVMainWindow";
const char kChooserTitle[] = "Scan plug-in modules from";

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
constexpr int kSubkeyNameSize = 256;
constexpr REGSAM kSaveAccess = KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_QUERY_VALUE;

}  // namespace

TPluginPage::TPluginPage(TWin* parentWin) : TConfigPage(kTemplate, parentWin, nullptr) {
    scanDir[0] = '\0';
    fileName[0] = '\0';
    Run(kPageNumber);
}

TPluginPage::~TPluginPage() {
    FreePlugins();
}

void TPluginPage::FreePlugins() {
    while (plugins) {
        TPluginRec* next = plugins->next;
        std::free(plugins);
        plugins = next;
    }
}

int TPluginPage::InitDlg(int focusId) {
    checkList = NewWindowObject<TPluginListBox>(this, IDC_PLUGIN_LIST);
    if (checkList)
        checkList->SetItemHeight(TPluginListBox::kRowHeight);
    fileStatic = NewWindowObject<TFileStatic>(this, IDC_PLUGIN_FILE);
    if (fileStatic) {
        fileStatic->SetDataLink(fileName);
        fileStatic->SetData();
    }
    LoadRegisteredPlugins();
    ScanDefaultDir();
    return focusId;
}

int TPluginPage::Command(int id, unsigned code) {
    switch (id) {
        case IDOK:
            SaveIfChanged();
            break;
        case IDC_PLUGIN_LIST:
            if (!checkList)
                break;
            if (code == kCheckChanged && OnCheckChanged())
                dirty = true;
            else if (code == LBN_SELCHANGE)
                OnSelChange();
            break;
        case IDC_PLUGIN_SCAN:
            OnScan();
            return 1;
        default:
            break;
    }
    return TConfigPage::Command(id, code);
}

int TPluginPage::OnScan() {
    if (OpenDirDlg(this, scanDir, nullptr, kChooserTitle, 0, sizeof scanDir) && ScanDir(scanDir))
        dirty = true;
    return 1;
}

int TPluginPage::Apply() {
    SaveIfChanged();
    return 1;
}

// An untouched page writes nothing: a registered plug-in whose module could
// not be read just now (a share offline, a file locked) keeps its key. One
// OK saves once, whether it comes as the apply notification, as IDOK, or
// as both.
void TPluginPage::SaveIfChanged() {
    if (dirty)
        SavePlugins();
}

void TPluginPage::SavePlugins() {
    dirty = false;
    // 1. The key, created when missing, and opened for all the save does
    // to it: a key that would take the deletions but not the new subkeys
    // would lose every installed plug-in.
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPluginsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kSaveAccess, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        AddError(this, kCannotCreateKey, kKindError);
    } else {
        // 2. The help lines of the plug-ins installed so far go.
        RemoveHelpIndexes();
        // 3. Every old subkey goes.
        if (!DeleteOldSubkeys(key))
            AddError(this, kCannotDeleteOld, kKindError);
        // 4. One subkey, and its help line, for each checked row.
        WriteCheckedPlugins(key);
        // 5.
        RegCloseKey(key);
    }
    // 6. Korvane reads its plug-ins when it starts.
    if (FindWindowA(kKorvaneWindowClass, nullptr))
        AddError(this, kRestartKorvane, kKindWarning);
}

void TPluginPage::RemoveHelpIndexes() {
    char path[MAX_PATH];
    if (ContentsFilePath(path, sizeof path))
        RemoveHelpIndexesFrom(path, plugins);
}

// Nonzero when every subkey went. One that cannot be deleted (it has
// subkeys of its own) is passed over; the later ones move up to its index.
int TPluginPage::DeleteOldSubkeys(HKEY key) {
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

void TPluginPage::WriteCheckedPlugins(HKEY key) {
    const int wanted = kPluginListed | kPluginChecked;
    for (TPluginRec* rec = plugins; rec; rec = rec->next) {
        if ((rec->flags & wanted) != wanted || !WritePlugin(key, *rec))
            continue;
        // Installed now: a later save in this session takes its help line
        // out again before it decides anew.
        rec->flags |= kPluginRegistered;
        if (rec->helpIndex[0])
            AddHelpIndex(rec->helpIndex);
    }
}

int TPluginPage::WritePlugin(HKEY key, const TPluginRec& rec) {
    HKEY subkey = nullptr;
    if (RegCreateKeyA(key, rec.name, &subkey) != ERROR_SUCCESS) {
        ReportForPlugin(kCannotCreateSubkey, rec.name);
        return 0;
    }
    LONG status = RegSetValueA(subkey, nullptr, REG_SZ, rec.file, lstrlenA(rec.file));
    RegCloseKey(subkey);
    if (status != ERROR_SUCCESS) {
        ReportForPlugin(kCannotWriteSubkey, rec.name);
        return 0;
    }
    return 1;
}

void TPluginPage::ReportForPlugin(const char* format, const char* name) {
    char text[kMessageSize];
    std::snprintf(text, sizeof text, format, name);
    AddError(this, text, kKindError);
}

TConfigPage* NewPluginPage(TWin* parent) {
    return NewConfigPage<TPluginPage>(parent);
}
