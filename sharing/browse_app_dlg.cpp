#include "sharing/browse_app_dlg.h"

#include "resources/share_tool_page_ids.h"
#include "sharing/command_line.h"
#include "sharing/tool_list_view.h"
#include "sharing/tool_store.h"

#include <cstdio>
#include <cstring>

namespace {

const char kTitle[] = "Select tool";
const char kTemplate[] = "BROWSEAPPDLG";
// Pairs of description and patterns; the literal's own terminator ends the
// list with an empty string.
const char kFilter[] = "Programs\0*.exe;*.pif;*.com;*.bat;*.lnk\0Any file (*.*)\0*.*\0";
// Only a file that exists can be a tool's program.
constexpr unsigned kFlags = OFN_FILEMUSTEXIST;

}  // namespace

TBrowseAppDlg::TBrowseAppDlg(TWin* parentWin, char* programBuffer, char* parametersBuffer,
                             char* nameBuffer, const TToolListView* toolList,
                             const TToolItem* ownTool)
    : TFileOpenDlg(parentWin, programBuffer, kTitle, kFlags, kProgramSize),
      parameters(parametersBuffer),
      name(nameBuffer),
      tools(toolList),
      own(ownTool) {
    SetTemplate(kTemplate);
    SetFilter(kFilter);
}

TBrowseAppDlg::~TBrowseAppDlg() = default;

int TBrowseAppDlg::GetSelectedPath(char* buffer) const {
    return GetFilePath(buffer, kProgramSize);
}

void TBrowseAppDlg::InitDone() {
    SendDlgItemMessageA(hwnd, IDC_BROWSEAPP_PARAMETERS, EM_LIMITTEXT, kParametersTypedLimit, 0);
    SendDlgItemMessageA(hwnd, IDC_BROWSEAPP_NAME, EM_LIMITTEXT, kNameTypedLimit, 0);
    SetDlgItemTextA(hwnd, IDC_BROWSEAPP_PARAMETERS, parameters);
    SetDlgItemTextA(hwnd, IDC_BROWSEAPP_NAME, name);
}

void TBrowseAppDlg::SelectionChanged() {
    char path[kProgramSize];
    if (!GetSelectedPath(path))
        return;
    // The selection the dialog opens with (the tool's own program) only sets
    // the start; each later change to another file proposes a name.
    if (!firstSelection && lstrcmpiA(path, lastPath) != 0) {
        char typed[kToolNameSize];
        GetDlgItemTextA(hwnd, IDC_BROWSEAPP_NAME, typed, sizeof typed);
        char proposed[kToolNameSize];
        lstrcpynA(proposed, typed, sizeof proposed);
        DeriveToolName(proposed, path);
        if (std::strcmp(proposed, typed) != 0)
            SetDlgItemTextA(hwnd, IDC_BROWSEAPP_NAME, proposed);
    }
    lstrcpynA(lastPath, path, sizeof lastPath);
    firstSelection = 0;
}

int TBrowseAppDlg::Refuse(int editId, const char* text) {
    MessageBoxA(SystemDialog(), text, kTitle, MB_OK | MB_ICONEXCLAMATION);
    if (HWND edit = GetDlgItem(editId)) {
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    }
    return 0;
}

int TBrowseAppDlg::FileOk(const OPENFILENAMEA* ofn) {
    char typedParameters[kParametersSize];
    char typedName[kToolNameSize];
    GetDlgItemTextA(hwnd, IDC_BROWSEAPP_PARAMETERS, typedParameters, sizeof typedParameters);
    GetDlgItemTextA(hwnd, IDC_BROWSEAPP_NAME, typedName, sizeof typedName);
    // The file being opened: the last selection seen is only the folder
    // when the user typed the path.
    const char* chosen = ofn && ofn->lpstrFile && *ofn->lpstrFile ? ofn->lpstrFile : lastPath;
    if (!typedName[0]) {
        DeriveToolName(typedName, chosen);
        SetDlgItemTextA(hwnd, IDC_BROWSEAPP_NAME, typedName);
    }
    // The name is a registry key's: a backslash would make a nested key.
    if (std::strchr(typedName, '\\'))
        return Refuse(IDC_BROWSEAPP_NAME, kToolNameHasBackslash);
    if (tools && tools->FindName(typedName, own)) {
        char text[2048];
        std::snprintf(text, sizeof text, kToolNameTaken, typedName);
        return Refuse(IDC_BROWSEAPP_NAME, text);
    }
    char commandLine[kCommandLineSize];
    if (!MakeCommandLine(commandLine, chosen, typedParameters))
        return Refuse(IDC_BROWSEAPP_PARAMETERS, kToolCommandTooLong);
    lstrcpynA(parameters, typedParameters, kParametersSize);
    lstrcpynA(name, typedName, kToolNameSize);
    return 1;
}

int TBrowseAppDlg::Notify(int id, NMHDR* header, LRESULT* result) {
    if (header && IsExplorer()) {
        switch (header->code) {
            case CDN_INITDONE:
                InitDone();
                break;
            case CDN_SELCHANGE:
                SelectionChanged();
                break;
            case CDN_FILEOK:
                if (!FileOk(reinterpret_cast<const OFNOTIFYA*>(header)->lpOFN)) {
                    *result = 1;
                    return 1;
                }
                break;
            default:
                break;
        }
    }
    return TFileOpenDlg::Notify(id, header, result);
}
