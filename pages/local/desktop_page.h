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

    // The stored value is longer than the edit can hold; it is kept as it
    // is unless the user edits or unchecks it.
    bool storedTooLong = false;
};

TConfigPage* NewDesktopPage(TWin* parent);
