// The "Korvane" page: whether the product is installed, its version and path.
#pragma once

#include "sheet/config_page.h"

#include <windows.h>

class TFileStatic;

class TInstallPage : public TConfigPage {
public:
    // installed: the configuration dialog found the product key.
    TInstallPage(TWin* parent, int installed);
    ~TInstallPage() override;

    int Command(int id, unsigned code) override;
    int InitDlg(int focusId) override;
    int Apply() override { return 1; }

private:
    void ShowNotFound();

    int installed;
    TFileStatic* pathControl = nullptr;
    char installPath[MAX_PATH] = "";
};

TConfigPage* NewInstallPage(TWin* parent, int installed);
