// The "Settings" page: where Korvane keeps the user's desktop file.
#pragma once

#include "sheet/config_page.h"

class TDesktopPage : public TConfigPage {
public:
    explicit TDesktopPage(TWin* parent);
    ~TDesktopPage() override;

    int Command(int id, unsigned code) override;
    int InitDlg(int focusId) override;
    int Apply() override;

private:
    void EnableOther(bool enable);
    void Browse();
    void StoreOther();
    void RemoveOther();
};

TConfigPage* NewDesktopPage(TWin* parent);
