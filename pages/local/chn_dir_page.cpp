#include "pages/local/chn_dir_page.h"

#include "pages/local/chn_dir_store.h"
#include "resources/chn_dir_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"
#include "ui/dir_dialog.h"
#include "ui/file_util.h"

namespace {

const char kTemplate[] = "CHNDIRDLG";
constexpr int kPageNumber = 272;

const char kCreateQuestion[] =
    "The channel file directory does not exist. Do you want to create it?";
const char kQuestionCaption[] = "Korvane & Tools Configuration";
const char kBrowseTitle[] = "New channel file directory";

const char kChannelFiles[] = "*.chn";
const char kCommandFiles[] = "*.txt";
const char kTemplateFiles[] = "*.tpl";

constexpr UINT kToolTestDelayMs = 50;

// A directory names at most MAX_PATH - 1 characters; reading the boxes into
// anything shorter would silently turn a long path into another one.
constexpr int kDirSize = MAX_PATH;

// Whether anything (a directory counts too) in dir matches pattern. A
// pattern cut to fit would look at another directory, or at dir itself.
int FilesExist(const char* dir, const char* pattern) {
    char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, dir, pattern))
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

}  // namespace

TChnDirPage::TChnDirPage(TWin* parentWin)
    : TConfigPage(kTemplate, parentWin, nullptr),
      currentDir{},
      targetDir{},
      currentCut(0),
      channelFilesExist(0),
      templateFilesExist(0),
      commandFilesExist(0) {
    Run(kPageNumber);
}

TChnDirPage::~TChnDirPage() = default;

bool TChnDirPage::HasOldDirectory() const {
    return currentDir[0] && !currentCut;
}

void TChnDirPage::ShowToolWarning() {
    if (HWND warning = GetDlgItem(IDC_CHNDIR_TOOL_WARNING))
        ShowWindow(warning, ToolIsRunning() ? SW_SHOW : SW_HIDE);
}

int TChnDirPage::InitDlg(int focusId) {
    ShowToolWarning();

    // The edit takes no more than a directory can hold.
    SendDlgItemMessageA(hwnd, IDC_CHNDIR_NEW, EM_LIMITTEXT, kDirSize - 1, 0);

    const TChannelDir stored = ReadChannelDir();
    if (stored.stored) {
        currentCut = stored.cut;
        lstrcpynA(currentDir, stored.dir, sizeof currentDir);
        SetDlgItemTextA(hwnd, IDC_CHNDIR_CURRENT, currentDir);
        SetDlgItemTextA(hwnd, IDC_CHNDIR_NEW, currentDir);
    }

    // Without a stored directory there is nothing to look into: an empty one
    // would mean the process's working directory.
    if (HasOldDirectory()) {
        channelFilesExist = FilesExist(currentDir, kChannelFiles);
        templateFilesExist = FilesExist(currentDir, kTemplateFiles);
        commandFilesExist = FilesExist(currentDir, kCommandFiles);
    }

    EnableDlgItem(IDC_CHNDIR_MOVE_CHANNELS, 0);
    EnableDlgItem(IDC_CHNDIR_MOVE_TEMPLATES, 0);
    EnableDlgItem(IDC_CHNDIR_MOVE_COMMANDS, 0);
    EnableDlgItem(IDC_CHNDIR_MOVE_OTHERS, 0);
    return focusId;
}

void TChnDirPage::UpdateMoveBoxes() {
    char shown[kDirSize], typed[kDirSize];
    GetDlgItemTextA(hwnd, IDC_CHNDIR_CURRENT, shown, sizeof shown);
    GetDlgItemTextA(hwnd, IDC_CHNDIR_NEW, typed, sizeof typed);
    int differs = !FileEqual(typed, shown) && HasOldDirectory();
    EnableDlgItem(IDC_CHNDIR_MOVE_CHANNELS, differs && channelFilesExist);
    EnableDlgItem(IDC_CHNDIR_MOVE_TEMPLATES, differs && templateFilesExist);
    EnableDlgItem(IDC_CHNDIR_MOVE_COMMANDS, differs && commandFilesExist);
    EnableDlgItem(IDC_CHNDIR_MOVE_OTHERS, differs);
}

void TChnDirPage::Browse() {
    char directory[kDirSize];
    GetDlgItemTextA(hwnd, IDC_CHNDIR_NEW, directory, sizeof directory);
    if (OpenDirDlg(this, directory, nullptr, kBrowseTitle, 0, sizeof directory))
        SetDlgItemTextA(hwnd, IDC_CHNDIR_NEW, directory);
}

int TChnDirPage::Command(int id, unsigned code) {
    switch (id) {
        case IDC_CHNDIR_NEW:
            if (code == EN_CHANGE)
                UpdateMoveBoxes();
            break;
        case IDC_CHNDIR_BROWSE:
            if (code == BN_CLICKED) {
                Browse();
                return 1;
            }
            break;
        case kActivationNoticeId:
            // The activation change is still under way now; whether a tool
            // holds its mapping is asked once things have settled.
            if (!SetTimer(hwnd, kActivationNoticeId, kToolTestDelayMs, nullptr))
                ShowToolWarning();
            break;
        default:
            break;
    }
    return TConfigPage::Command(id, code);
}

int TChnDirPage::Timer(UINT_PTR id) {
    KillTimer(hwnd, id);
    ShowToolWarning();
    return 0;
}

int TChnDirPage::SaveDirectory(const char* directory) {
    TPageErrors errors(this);
    if (!SaveChannelDir(directory, errors))
        return 0;
    lstrcpynA(targetDir, directory, sizeof targetDir);
    return 1;
}

void TChnDirPage::MoveFiles() {
    if (!HasOldDirectory())
        return;
    TChannelMoves moves;
    moves.channels = IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_CHANNELS) == BST_CHECKED;
    moves.commands = IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_COMMANDS) == BST_CHECKED;
    moves.templates = IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_TEMPLATES) == BST_CHECKED;
    moves.others = IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_OTHERS) == BST_CHECKED;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    TPageErrors errors(this);
    MoveChannelFiles(currentDir, targetDir, moves, errors);
    SetCursor(previous);
}

int TChnDirPage::Apply() {
    // 1. What the page shows as current, and the new directory.
    char shown[kDirSize], newDir[kDirSize];
    GetDlgItemTextA(hwnd, IDC_CHNDIR_CURRENT, shown, sizeof shown);
    GetDlgItemTextA(hwnd, IDC_CHNDIR_NEW, newDir, sizeof newDir);

    // 2. A directory is required.
    TPageErrors errors(this);
    if (!CheckChannelDirGiven(newDir, errors))
        return 0;

    // 3. A missing directory is created only when the user agrees.
    if (!DirExists(newDir)) {
        if (MessageBoxA(hwnd, kCreateQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return 0;
        if (!CreateChannelDir(newDir, errors))
            return 0;
    }

    // 4. Unchanged: nothing to write or move.
    if (FileEqual(newDir, shown))
        return 1;

    // 5. The registry first: files move only once the tools will look for
    // them in the new place.
    if (!SaveDirectory(newDir))
        return 1;

    // 6., 7. The moves, with one summary of whatever could not be moved.
    MoveFiles();
    return 1;
}

TConfigPage* NewChnDirPage(TWin* parent) {
    return NewConfigPage<TChnDirPage>(parent);
}
