// The "Max. channels" page: how many channels Korvane may keep open at once.
#pragma once

#include "sheet/config_page.h"
#include "ui/spin_edit.h"

class TMaxChnlPage : public TConfigPage {
public:
    explicit TMaxChnlPage(TWin* parent);
    ~TMaxChnlPage() override;

    int Command(int id, unsigned code) override;
    int InitDlg(int focusId) override;
    int Apply() override;

private:
    void Load();

    long count;
    int useOther;
    TControlMap controlMap[2];
    TSpinData spinData;
};

TConfigPage* NewMaxChnlPage(TWin* parent);
