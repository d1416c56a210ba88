#include "sharing/share_tool_page.h"

#include "resources/share_tool_page_ids.h"
#include "sharing/browse_app_dlg.h"
#include "sheet/config_dlg.h"

#include <cstdio>

namespace {

const char kTemplate[] = "SHARETOOLDLG";
constexpr int kPageNumber = 576;
constexpr int kSelectionHelpNumber = 577;

const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kDirtyValue[] = "Dirty";
constexpr DWORD kDirty = 1;
// Old subkeys may have names longer than any tool's.
constexpr int kOldNameSize = 2048;

const char kNewParameters[] = "%1";
const char kDeleteQuestion[] = "Are you sure you want to delete the item '%s'?";
const char kDeleteCaption[] = "Confirm tool delete";
const char kCannotCreateLaunch[] =
    "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kCannotDeleteOld[] =
    "Cannot delete old registry keys from SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kCannotCreateTool[] =
    "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch\\%s";
const char kCannotWriteTool[] =
    "Cannot write to registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch\\%s";
const char kNoMemory[] = "Memory allocation error";
const char kNoMemoryCaption[] = "KT&C: TShareToolPage::NewTool";
constexpr int kKindError = 1;
constexpr REGSAM kSaveAccess =
    KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_QUERY_VALUE | KEY_SET_VALUE;

}  // namespace

TShareToolPage::TShareToolPage(TWin* parentWin) : TConfigPage(kTemplate, parentWin, nullptr) {
    Run(kPageNumber);
}

TShareToolPage::~TShareToolPage() {
    // The list outlives the page while their windows are destroyed (the
    // page's goes first); it must not report to a page that is gone.
    if (tools)
        tools->ForgetOwner();
}

int TShareToolPage::InitDlg(int focusId) {
    tools = NewWindowObject<TToolListView>(this, this);
    if (tools)
        tools->LinkIdentifiers(IDC_SHARETOOL_MODIFY, IDC_SHARETOOL_ADD, IDC_SHARETOOL_DELETE, 0);
    LoadTools();
    OnSelectionChanged(nullptr, -1);
    return focusId;
}

void TShareToolPage::ToolListGone() {
    tools = nullptr;
    selected = nullptr;
    selectedIndex = -1;
}

void TShareToolPage::OnSelectionChanged(TToolItem* record, int index) {
    selected = record;
    selectedIndex = record ? index : -1;
    EnableDlgItem(IDC_SHARETOOL_MODIFY, record != nullptr);
    EnableDlgItem(IDC_SHARETOOL_DELETE, record != nullptr);
}

TToolItem* TShareToolPage::NewTool(const char* name, const char* commandLine) {
    TToolItem* record = TToolItem::New(name, commandLine);
    if (!record)
        MessageBoxA(hwnd, kNoMemory, kNoMemoryCaption, MB_OK);
    return record;
}

void TShareToolPage::UpdateAddButton() {
    EnableDlgItem(IDC_SHARETOOL_ADD, tools && tools->GetItemCount() < kMaxTools);
}

void TShareToolPage::LoadTools() {
    HKEY key;
    if (tools && RegOpenKeyA(HKEY_LOCAL_MACHINE, kLaunchKey, &key) == ERROR_SUCCESS) {
        int loaded = 0;
        char name[kToolNameSize];
        // Enumeration ends at the last subkey, or at one whose name does not
        // fit a tool's.
        for (DWORD index = 0;
             loaded < kMaxTools && RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS;
             ++index) {
            char commandLine[kCommandLineSize] = "";
            LONG size = sizeof commandLine;
            if (RegQueryValueA(key, name, commandLine, &size) != ERROR_SUCCESS)
                continue;
            // A value need not end in a terminator, nor be text at all.
            if (size >= 0 && size < kCommandLineSize)
                commandLine[size] = '\0';
            commandLine[kCommandLineSize - 1] = '\0';
            TToolItem* record = NewTool(name, commandLine);
            if (!record)
                break;
            if (tools->InsertItem(record, 0) < 0) {
                TToolItem::Free(record);
                continue;
            }
            ++loaded;
        }
        RegCloseKey(key);
    }
    UpdateAddButton();
}

void TShareToolPage::BackToList() {
    FocusDlgItem(IDC_SHARETOOL_LIST);
    SendMessageA(hwnd, DM_SETDEFID, IDOK, 0);
    UpdateAddButton();
}

int TShareToolPage::AddTool() {
    // The Insert key of the list asks for it even while the button is
    // disabled: a full list takes no more.
    if (tools && tools->GetItemCount() < kMaxTools) {
        char program[kProgramSize] = "";
        char parameters[kParametersSize];
        char name[kToolNameSize] = "";
        lstrcpynA(parameters, kNewParameters, sizeof parameters);
        TBrowseAppDlg chooser(this, program, parameters, name, tools, nullptr);
        if (chooser.Run(kSelectionHelpNumber) == 1 && program[0]) {
            if (TToolItem* record = NewTool(name, nullptr)) {
                MakeCommandLine(record->commandLine, program, parameters);
                int index = tools->InsertItem(record, 1);
                if (index < 0) {
                    TToolItem::Free(record);
                } else {
                    // The new row is the selected one, whatever the list
                    // reported while it was inserted.
                    OnSelectionChanged(record, index);
                    dirty = 1;
                }
            }
        }
    }
    BackToList();
    return 1;
}

int TShareToolPage::ModifyTool() {
    if (tools && selected) {
        TToolItem* record = selected;
        char program[kProgramSize];
        char parameters[kParametersSize];
        lstrcpynA(parameters, SplitCommandLine(program, record->commandLine), sizeof parameters);
        TBrowseAppDlg chooser(this, program, parameters, record->name, tools, record);
        if (chooser.Run(kSelectionHelpNumber) == 1 && program[0]) {
            MakeCommandLine(record->commandLine, program, parameters);
            tools->UpdateItem(record);
            dirty = 1;
        }
    }
    BackToList();
    return 1;
}

int TShareToolPage::DeleteTool() {
    if (tools && selected) {
        char question[sizeof kDeleteQuestion + kToolNameSize];
        std::snprintf(question, sizeof question, kDeleteQuestion, selected->name);
        if (MessageBoxA(hwnd, question, kDeleteCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            int index = selectedIndex;
            // The record goes with its row: nothing may hold it from here on.
            OnSelectionChanged(nullptr, -1);
            tools->DeleteItem(index);
            dirty = 1;
        }
    }
    BackToList();
    return 1;
}

int TShareToolPage::Command(int id, unsigned code) {
    if (code == BN_CLICKED) {
        switch (id) {
            case IDC_SHARETOOL_ADD:
                return AddTool();
            case IDC_SHARETOOL_MODIFY:
                return ModifyTool();
            case IDC_SHARETOOL_DELETE:
                return DeleteTool();
            default:
                break;
        }
    }
    return TConfigPage::Command(id, code);
}

int TShareToolPage::Notify(int id, NMHDR* header, LRESULT* result) {
    if (id != IDC_SHARETOOL_LIST || !header)
        return TConfigPage::Notify(id, header, result);
    if (header->code == static_cast<UINT>(NM_DBLCLK)) {
        ModifyTool();
        return 0;
    }
    if (tools)
        tools->HandleNotify(header);
    return 0;
}

int TShareToolPage::RemoveOldTools(HKEY launch) {
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

void TShareToolPage::WriteTool(HKEY launch, const TToolItem* record) {
    char text[sizeof kCannotWriteTool + kToolNameSize];
    HKEY subkey;
    if (RegCreateKeyA(launch, record->name, &subkey) != ERROR_SUCCESS) {
        std::snprintf(text, sizeof text, kCannotCreateTool, record->name);
        AddError(this, text, kKindError);
        return;
    }
    if (RegSetValueA(subkey, nullptr, REG_SZ, record->commandLine,
                     static_cast<DWORD>(lstrlenA(record->commandLine))) != ERROR_SUCCESS) {
        std::snprintf(text, sizeof text, kCannotWriteTool, record->name);
        AddError(this, text, kKindError);
    }
    RegCloseKey(subkey);
}

void TShareToolPage::SaveTools() {
    // 1. Nothing changed: the key is left alone, Dirty too.
    if (!dirty || !tools)
        return;
    // 2. The key, opened for all the save does to it: a key that would take
    // the deletions but not the new subkeys would lose every tool.
    HKEY launch;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLaunchKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kSaveAccess, nullptr, &launch, nullptr) != ERROR_SUCCESS) {
        AddError(this, kCannotCreateLaunch, kKindError);
        return;
    }
    // 3. The old tools go, reported once if any stays.
    if (!RemoveOldTools(launch))
        AddError(this, kCannotDeleteOld, kKindError);
    // 4. Every row, in the list's order.
    int count = tools->GetItemCount();
    for (int index = 0; index < count; ++index) {
        if (auto* record = static_cast<const TToolItem*>(GetItemData(*tools, index)))
            WriteTool(launch, record);
    }
    // 5. Whoever starts the tools reads the list again.
    RegSetValueExA(launch, kDirtyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kDirty),
                   sizeof kDirty);
    RegCloseKey(launch);
}

int TShareToolPage::Apply() {
    SaveTools();
    return 1;
}

TConfigPage* NewShareToolPage(TWin* parent) {
    return NewConfigPage<TShareToolPage>(parent);
}
