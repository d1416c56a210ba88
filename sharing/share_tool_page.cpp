#include "sharing/share_tool_page.h"

#include "resources/share_tool_page_ids.h"
#include "sharing/browse_app_dlg.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"

#include <cstdio>

namespace {

const char kTemplate[] = "SHARETOOLDLG";
constexpr int kPageNumber = 576;
constexpr int kSelectionHelpNumber = 577;

const char kNewParameters[] = "%1";
const char kDeleteQuestion[] = "Are you sure you want to delete the item '%s'?";
const char kDeleteCaption[] = "Confirm tool delete";
const char kNoMemory[] = "Memory allocation error";
const char kNoMemoryCaption[] = "KT&C: TShareToolPage::NewTool";

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
    if (tools) {
        // While the rows go in, the list neither repaints nor sets its
        // scroll bars row by row. A fatal error may take the list with it;
        // its handle then names nothing.
        HWND list = tools->GetHandle();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        ReadTools(*this);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    }
    UpdateAddButton();
}

TToolSink::TTake TShareToolPage::TakeTool(const char* name, const char* commandLine) {
    TToolItem* record = NewTool(name, commandLine);
    if (!record)
        return kStop;
    if (tools->InsertItem(record, 0) < 0) {
        TToolItem::Free(record);
        return kRefused;
    }
    return kTaken;
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
        if (MessageBoxA(hwnd, question, kDeleteCaption, MB_YESNO) == IDYES) {
            // Sorting moves rows without telling the page: the row is the
            // record's, wherever it stands now.
            int index = FindItemByData(tools->GetHandle(), selected);
            if (index >= 0) {
                // The record goes with its row: nothing may hold it from here on.
                OnSelectionChanged(nullptr, -1);
                if (tools->DeleteItem(index))
                    dirty = 1;
            }
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

int TShareToolPage::ToolCount() {
    return tools ? tools->GetItemCount() : 0;
}

int TShareToolPage::GetTool(int index, const char** name, const char** commandLine) {
    auto* record = static_cast<const TToolItem*>(GetItemData(*tools, index));
    if (!record)
        return 0;
    *name = record->name;
    *commandLine = record->commandLine;
    return 1;
}

void TShareToolPage::SaveTools() {
    // Nothing changed: the key is left alone, Dirty too.
    if (!dirty || !tools)
        return;
    TPageErrors errors(this);
    WriteTools(*this, errors);
}

int TShareToolPage::Apply() {
    SaveTools();
    return 1;
}

TConfigPage* NewShareToolPage(TWin* parent) {
    return NewConfigPage<TShareToolPage>(parent);
}
