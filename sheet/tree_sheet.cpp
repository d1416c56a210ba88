#include "sheet/tree_sheet.h"

#include "app/fatal_error.h"
#include "sheet/config_page.h"
#include "sheet/page_caption.h"
#include "ui/app.h"

#include <cstring>

namespace {

const char kPageItemProp[] = "HPAGEPROP";
constexpr int kClassNameSize = 31;

TTreeSheet* liveSheets = nullptr;
HHOOK msgFilterHook = nullptr;

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

// The tree view answers in ANSI or Unicode as its parent asked when it was
// created; the NMTREEVIEW fields used here sit at the same place in both.
bool IsSelChanging(UINT code) {
    return code == static_cast<UINT>(TVN_SELCHANGINGA) ||
           code == static_cast<UINT>(TVN_SELCHANGINGW);
}

bool IsSelChanged(UINT code) {
    return code == static_cast<UINT>(TVN_SELCHANGEDA) || code == static_cast<UINT>(TVN_SELCHANGEDW);
}

}  // namespace

TPageTree::TPageTree(TWin* parentWin) : TTreeView(parentWin, kPageTreeId, 0) {}

TPageTree::~TPageTree() {
    // Only while the window outlives the object; a destroyed tree has
    // already let go of its items.
    if (hwnd)
        DeleteAllItems();
}

TTreeSheet::TTreeSheet(TWin* parentWin, const char* templateName, int x, int y)
    : TModelessDlg(AppInstance(), templateName, parentWin, nullptr, x, y), nextSheet(liveSheets) {}

TTreeSheet::~TTreeSheet() {
    for (TTreeSheet** link = &liveSheets; *link; link = &(*link)->nextSheet) {
        if (*link == this) {
            *link = nextSheet;
            break;
        }
    }
    if (!liveSheets && msgFilterHook) {
        UnhookWindowsHookEx(msgFilterHook);
        msgFilterHook = nullptr;
    }
}

int TTreeSheet::InitDlg(int) {
    if (!liveSheets && !msgFilterHook) {
        // Without the hook the sheet still works, only without its keys.
        msgFilterHook =
            SetWindowsHookExA(WH_MSGFILTER, SheetMsgFilter, AppInstance(), GetCurrentThreadId());
    }
    nextSheet = liveSheets;
    liveSheets = this;

    pageTree = new TPageTree(this);
    caption = pageTree ? new TPageCaption(this, kCaptionId) : nullptr;
    if (!pageTree || !caption) {
        FatalMemoryError();
        return kPageTreeId;
    }

    HWND placeholder = GetDlgItem(kPlaceholderId);
    pageOrigin = POINT{0, 0};
    if (placeholder) {
        ShowWindow(placeholder, SW_HIDE);
        MapWindowPoints(placeholder, hwnd, &pageOrigin, 1);
    }

    AddPages();

    if (HTREEITEM first = pageTree->GetRoot())
        pageTree->SelectItem(first);
    SetFocus(pageTree->GetHandle());
    return kPageTreeId;
}

HTREEITEM TTreeSheet::AddPage(TConfigPage* page, HTREEITEM parentItem, HTREEITEM insertAfter,
                              const char* name, const char* description) {
    if (parentItem == TVI_FIRST || parentItem == TVI_LAST)
        return nullptr;
    if (!page || !page->GetHandle() || !pageTree)
        return nullptr;
    HWND pageWindow = page->GetHandle();
    ShowWindow(pageWindow, SW_HIDE);
    SetWindowPos(pageWindow, nullptr, pageOrigin.x, pageOrigin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Tab and the mnemonics walk from the tree into the page's controls only
    // when the dialog manager may look inside the page.
    LONG_PTR exStyle = GetWindowLongPtrA(pageWindow, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_CONTROLPARENT))
        SetWindowLongPtrA(pageWindow, GWL_EXSTYLE, exStyle | WS_EX_CONTROLPARENT);
    SetWindowTextA(pageWindow, description ? description : "");
    HTREEITEM item =
        pageTree->InsertItem(parentItem, insertAfter, name, reinterpret_cast<LPARAM>(pageWindow));
    if (!item)
        return nullptr;
    if (!SetPropA(pageWindow, kPageItemProp, item)) {
        pageTree->DeleteItem(item);
        return nullptr;
    }
    return item;
}

int TTreeSheet::Notify(int id, NMHDR* header, LRESULT* result) {
    if (id != kPageTreeId || !header)
        return 0;
    auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
    if (IsSelChanging(header->code)) {
        if (curPage && NotifyPage(curItem, PSN_KILLACTIVE)) {
            *result = 1;
            return 1;
        }
        return 0;
    }
    if (!IsSelChanged(header->code))
        return 0;

    if (curPage)
        ShowWindow(curPage, SW_HIDE);
    curItem = change->itemNew.hItem;
    curPage = curItem ? reinterpret_cast<HWND>(pageTree->GetItemData(curItem)) : nullptr;
    if (!curPage || !caption)
        return 0;
    NotifyPage(curItem, PSN_SETACTIVE);
    caption->SetDescriptionFrom(curPage);
    pageTree->GetItemText(curItem, caption->title, TPageCaption::kTextSize - 1);
    InvalidateRect(caption->GetHandle(), nullptr, TRUE);
    ShowWindow(curPage, SW_SHOW);
    return 0;
}

int TTreeSheet::Command(int id, unsigned code) {
    if ((id == IDOK || id == IDCANCEL) && code == 0) {
        HTREEITEM first = pageTree ? pageTree->GetRoot() : nullptr;
        if (id == IDOK)
            BeginApply();
        if (first && NotifyPages(first, id == IDOK ? PSN_APPLY : PSN_RESET)) {
            if (id == IDOK)
                ApplyRefused();
            return 1;
        }
        if (id == IDOK && !CanClose())
            return 1;
        return TModelessDlg::Command(id, code);
    }
    if (id == IDHELP && code == 0) {
        if (curItem)
            NotifyPage(curItem, PSN_HELP);
        return 1;
    }
    if (id == kPreviousPageCommand)
        return SelectPreviousPage();
    if (id == kNextPageCommand)
        return SelectNextPage();
    if (code == 0 && IsPageButton(id)) {
        SendMessageA(curPage, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(hwnd));
    }
    return TModelessDlg::Command(id, code);
}

int TTreeSheet::SelectPage(HTREEITEM item) {
    if (!pageTree || !item)
        return 0;
    int selected = pageTree->SelectItem(item);
    SetFocus(pageTree->GetHandle());
    return selected;
}

int TTreeSheet::SelectNextPage() {
    if (!pageTree)
        return 1;
    HTREEITEM item = curItem;
    HTREEITEM next = item ? pageTree->GetNextItem(item, TVGN_CHILD) : pageTree->GetRoot();
    if (!next && item)
        next = pageTree->GetNextItem(item, TVGN_NEXT);
    while (!next && item) {
        item = pageTree->GetNextItem(item, TVGN_PARENT);
        if (!item)
            next = pageTree->GetRoot();
        else
            next = pageTree->GetNextItem(item, TVGN_NEXT);
    }
    SelectPage(next);
    return 1;
}

int TTreeSheet::SelectPreviousPage() {
    if (!pageTree)
        return 1;
    HTREEITEM target = nullptr;
    HTREEITEM previous = curItem ? pageTree->GetNextItem(curItem, TVGN_PREVIOUS) : nullptr;
    HTREEITEM parentItem = curItem ? pageTree->GetNextItem(curItem, TVGN_PARENT) : nullptr;
    if (previous) {
        target = previous;
    } else if (parentItem) {
        SelectPage(parentItem);
        return 1;
    } else {
        // From the first root item round to the very last item of the tree.
        target = pageTree->GetRoot();
        for (HTREEITEM next = target; next; next = pageTree->GetNextItem(next, TVGN_NEXT))
            target = next;
    }
    // Down to the last descendant: the item just before in tree order.
    for (HTREEITEM child = target ? pageTree->GetNextItem(target, TVGN_CHILD) : nullptr; child;
         child = pageTree->GetNextItem(target, TVGN_CHILD)) {
        target = child;
        for (HTREEITEM next = child; next; next = pageTree->GetNextItem(next, TVGN_NEXT))
            target = next;
    }
    SelectPage(target);
    return 1;
}

LRESULT TTreeSheet::NotifyPage(HTREEITEM item, int code) {
    if (!pageTree || !item)
        return 0;
    HWND page = reinterpret_cast<HWND>(pageTree->GetItemData(item));
    if (!page)
        return 0;
    NMHDR header{};
    header.hwndFrom = hwnd;
    header.idFrom = kPlaceholderId;
    header.code = static_cast<UINT>(code);
    return SendMessageA(page, WM_NOTIFY, kPlaceholderId, reinterpret_cast<LPARAM>(&header));
}

LRESULT TTreeSheet::NotifyPages(HTREEITEM first, int code) {
    LRESULT answers = 0;
    for (HTREEITEM item = first; item; item = pageTree->GetNextItem(item, TVGN_NEXT)) {
        if (HTREEITEM child = pageTree->GetNextItem(item, TVGN_CHILD))
            answers |= NotifyPages(child, code);
        answers |= NotifyPage(item, code);
    }
    return answers;
}

int TTreeSheet::IsPageButton(int id) {
    if (!curPage)
        return 0;
    HWND control = ::GetDlgItem(curPage, id);
    if (!control)
        return 0;
    char className[kClassNameSize];
    if (!GetClassNameA(control, className, sizeof className))
        return 0;
    return lstrcmpiA(className, "button") == 0;
}

TTreeSheet* TTreeSheet::FindSheet(HWND window) {
    TWin* win = TWin::GetWin(window);
    if (!win)
        return nullptr;
    for (TTreeSheet* sheet = liveSheets; sheet; sheet = sheet->nextSheet) {
        if (sheet == win)
            return sheet;
    }
    return nullptr;
}

LRESULT CALLBACK TTreeSheet::SheetMsgFilter(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code != MSGF_DIALOGBOX || !msg || msg->message != WM_KEYDOWN)
        return CallNextHookEx(msgFilterHook, code, wParam, lParam);

    if (msg->wParam == VK_TAB && KeyDown(VK_CONTROL)) {
        HWND window = msg->hwnd;
        while (window && !FindSheet(window))
            window = ::GetParent(window);
        if (window) {
            // A modal dialog of the sheet has disabled it: no page switching
            // behind the user's back.
            if (IsWindowEnabled(window))
                PostMessageA(window, WM_COMMAND,
                             KeyDown(VK_SHIFT) ? kPreviousPageCommand : kNextPageCommand, 0);
            return 1;
        }
    } else if (msg->wParam == VK_F1 && !KeyDown(VK_MENU) && !KeyDown(VK_CONTROL) &&
               !KeyDown(VK_SHIFT)) {
        HWND window = msg->hwnd;
        for (; window; window = ::GetParent(window)) {
            TWin* win = TWin::GetWin(window);
            if (FindSheet(window) || (win && win->IsDialog()))
                break;
        }
        if (window) {
            if (IsWindowEnabled(window))
                PostMessageA(window, WM_COMMAND, IDHELP, 0);
            TWin::bEatHelpMessage = 1;
            return 1;
        }
    }
    return CallNextHookEx(msgFilterHook, code, wParam, lParam);
}
