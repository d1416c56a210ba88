// The page host: a dialog with a page tree (160), a caption bar (161) and a
// placeholder (162) where the pages are shown one at a time.
#pragma once

#include "ui/dialog.h"
#include "ui/tree_view.h"

class TConfigPage;
class TPageCaption;

constexpr int kPageTreeId = 160;
constexpr int kCaptionId = 161;
constexpr int kPlaceholderId = 162;
constexpr int kPreviousPageCommand = 20;
constexpr int kNextPageCommand = 21;

class TPageTree : public TTreeView {
public:
    explicit TPageTree(TWin* parent);
    ~TPageTree() override;
};

class TTreeSheet : public TModelessDlg {
public:
    TTreeSheet(TWin* parent, const char* templateName, int x, int y);
    ~TTreeSheet() override;

    int InitDlg(int focusId) override;
    int Command(int id, unsigned code) override;
    int Notify(int id, NMHDR* header, LRESULT* result) override;

    virtual void AddPages() {}
    virtual int CanClose() { return 1; }
    // OK is about to ask the pages to apply, and a page has refused it.
    virtual void BeginApply() {}
    virtual void ApplyRefused() {}

    HTREEITEM AddPage(TConfigPage* page, HTREEITEM parentItem, HTREEITEM insertAfter,
                      const char* name, const char* description);
    int SelectPage(HTREEITEM item);
    int SelectPreviousPage();
    int SelectNextPage();
    LRESULT NotifyPage(HTREEITEM item, int code);
    LRESULT NotifyPages(HTREEITEM first, int code);
    int IsPageButton(int id);

    static TTreeSheet* FindSheet(HWND window);
    static LRESULT CALLBACK SheetMsgFilter(int code, WPARAM wParam, LPARAM msg);

    TPageTree* GetPageTree() const { return pageTree; }
    HWND GetCurPage() const { return curPage; }
    HTREEITEM GetCurItem() const { return curItem; }

protected:
    TPageTree* pageTree = nullptr;
    TPageCaption* caption = nullptr;
    HWND curPage = nullptr;
    HTREEITEM curItem = nullptr;
    POINT pageOrigin{0, 0};
    TTreeSheet* nextSheet = nullptr;
};
