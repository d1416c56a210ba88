#include "pages/local/chn_dir_page.h"

#include "pages/local/channel_file_mover.h"
#include "pages/local/chn_dir_store.h"
#include "resources/chn_dir_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"
#include "ui/dir_dialog.h"
#include "ui/file_util.h"

#include <cstdio>

namespace {

const char kTemplate[] = "CHNDIRDLG";
constexpr int kPageNumber = 272;

const char kToolMapping[] = "sharedchanneldataV_1";

const char kNoDirectory[] = "You must specify a channel directory.";
const char kCreateQuestion[] =
    "The channel file directory does not exist. Do you want to create it?";
const char kQuestionCaption[] = "Korvane & Tools Configuration";
const char kCreateFailed[] = "Failed to create the channel directory!";
const char kToolRunning[] = "Cannot change the channel file directory if any tool is still running";
const char kCannotMove[] = "Cannot move file '%s' to '%s'";
const char kNotAllMoved[] = "Not all files are moved";
const char kBrowseTitle[] = "New channel file directory";

const char kChannelFiles[] = "*.chn";
const char kCommandFiles[] = "*.txt";
const char kTemplateFiles[] = "*.tpl";
const char kAllFiles[] = "*.*";
const char kListCache[] = "listd*.cnf";
const char kTreeCache[] = "treed*.cnf";

constexpr UINT kToolTestDelayMs = 50;
constexpr int kKindWarning = 0;
constexpr int kKindError = 1;

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

int ToolIsRunning() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kToolMapping);
    if (!mapping)
        return 0;
    CloseHandle(mapping);
    return 1;
}

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
    if (!WriteChannelDir(directory, errors))
        return 0;
    lstrcpynA(targetDir, directory, sizeof targetDir);
    if (ToolIsRunning())
        AddError(this, kToolRunning, kKindWarning);
    return 1;
}

void TChnDirPage::ReportMoveFailure(void* page, const char* source, const char* target) {
    char text[2 * kDirSize + sizeof kCannotMove];
    std::snprintf(text, sizeof text, kCannotMove, source, target);
    AddError(static_cast<TChnDirPage*>(page), text, kKindError);
}

int TChnDirPage::MoveFiles() {
    // One folder under two names: every file is already where it should be,
    // and the caches still belong to the channel files beside them.
    if (!HasOldDirectory() || SameDirectory(currentDir, targetDir))
        return 0;

    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    TChannelFileMover mover(currentDir, targetDir, ReportMoveFailure, this);
    int failures = 0;
    if (IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_CHANNELS) == BST_CHECKED) {
        failures += mover.Move(kChannelFiles);
        // The list and tree caches describe the channel files of this
        // directory; the tools build them anew beside the moved files.
        mover.Delete(kListCache);
        mover.Delete(kTreeCache);
    }
    if (IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_COMMANDS) == BST_CHECKED)
        failures += mover.Move(kCommandFiles);
    if (IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_TEMPLATES) == BST_CHECKED)
        failures += mover.Move(kTemplateFiles);
    if (IsDlgButtonChecked(hwnd, IDC_CHNDIR_MOVE_OTHERS) == BST_CHECKED)
        failures += mover.Move(kAllFiles);
    SetCursor(previous);
    return failures;
}

int TChnDirPage::Apply() {
    // 1. What the page shows as current, and the new directory.
    char shown[kDirSize], newDir[kDirSize];
    GetDlgItemTextA(hwnd, IDC_CHNDIR_CURRENT, shown, sizeof shown);
    GetDlgItemTextA(hwnd, IDC_CHNDIR_NEW, newDir, sizeof newDir);

    // 2. A directory is required.
    if (!newDir[0]) {
        AddError(this, kNoDirectory, kKindError);
        return 0;
    }

    // 3. A missing directory is created only when the user agrees.
    if (!DirExists(newDir)) {
        if (MessageBoxA(hwnd, kCreateQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return 0;
        if (!CreateDirectoryA(newDir, nullptr)) {
            AddError(this, kCreateFailed, kKindError);
            return 0;
        }
    }

    // 4. Unchanged: nothing to write or move.
    if (FileEqual(newDir, shown))
        return 1;

    // 5. The registry first: files move only once the tools will look for
    // them in the new place.
    if (!SaveDirectory(newDir))
        return 1;

    // 6., 7. The moves, with one summary of whatever could not be moved.
    if (MoveFiles() > 0)
        AddError(this, kNotAllMoved, kKindError);
    return 1;
}

TConfigPage* NewChnDirPage(TWin* parent) {
    return NewConfigPage<TChnDirPage>(parent);
}
