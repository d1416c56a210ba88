// The program's main dialog: the one tree sheet with the seven pages.
#pragma once

#include "sheet/tree_sheet.h"

class TChnDirPage;
class TConfigPage;

// The command that tells the Channel files page the application was
// activated or deactivated.
constexpr int kActivationNoticeId = 0x3000;

class TConfigDlg : public TTreeSheet {
public:
    TConfigDlg();
    ~TConfigDlg() override;

    int Other(TMsg& msg) override;
    void AddPages() override;
    int CanClose() override;
    void BeginApply() override;
    void ApplyRefused() override;

    static int ProductKeyExists();

    TChnDirPage* chnDirPage = nullptr;
    // The "Channel files" page whatever class made it: the activation notice
    // goes to its window.
    TConfigPage* chnDirWin = nullptr;

private:
    // The logo at the screen's scale, null while the template's own serves.
    HBITMAP logo = nullptr;
};

// Reports a problem of a page: kind 0 is a warning, any other value an error.
void AddError(TWin* page, const char* text, int kind);

// Page factories; each returns null when the page cannot be allocated. A
// factory that is null in the page table is a page not built into the program.
using PageFactory = TConfigPage* (*)(TWin* parent);
TConfigPage* NewChnDirPage(TWin* parent);
TConfigPage* NewNetworkPage(TWin* parent);
TConfigPage* NewInstallPage(TWin* parent, int installed);
TConfigPage* NewDesktopPage(TWin* parent);
TConfigPage* NewPluginPage(TWin* parent);
TConfigPage* NewMaxChnlPage(TWin* parent);
TConfigPage* NewShareToolPage(TWin* parent);
using InstallPageFactory = TConfigPage* (*)(TWin* parent, int installed);

// Test seam: while it lives, the page table's row named treeName makes its
// page with factory instead (null: the page is not created).
class TPageFactorySwap {
public:
    TPageFactorySwap(const char* treeName, PageFactory factory);
    ~TPageFactorySwap();
    TPageFactorySwap(const TPageFactorySwap&) = delete;
    TPageFactorySwap& operator=(const TPageFactorySwap&) = delete;

private:
    int row;
    bool wasSwapped;
    PageFactory previous;
};
