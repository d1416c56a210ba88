// The "Channel files" page: the channel file directory of the whole tool
// suite, moving the files of the old directory to the new one, and the
// warning while a tool of the suite is running.
#pragma once

#include "pages/local/chn_dir_store.h"
#include "sheet/config_page.h"

class TChnDirPage : public TConfigPage {
public:
    explicit TChnDirPage(TWin* parent);
    ~TChnDirPage() override;

    int Timer(UINT_PTR id) override;
    int Command(int id, unsigned code) override;
    int InitDlg(int focusId) override;
    int Apply() override;

private:
    void ShowToolWarning();
    void UpdateMoveBoxes();
    void Browse();
    // The registry write of a save; 0 when it failed.
    int SaveDirectory(const char* directory);
    // Moves the files of the checked boxes, reporting what could not move.
    void MoveFiles();
    // Whether there is an old directory whose files may be moved.
    bool HasOldDirectory() const;

    char currentDir[260];
    char targetDir[260];
    // The stored value did not fit currentDir: it names no directory here.
    int currentCut;
    int channelFilesExist;
    int templateFilesExist;
    int commandFilesExist;
};
