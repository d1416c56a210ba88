#include "sharing/tool_list_view.h"

#include "resources/share_tool_page_ids.h"
#include "ui/app.h"
#include "ui/image_list.h"
#include "ui/screen_scale.h"

#include <shellapi.h>

#include <cstring>

namespace {

constexpr int kIconSize = 16;
constexpr int kDefaultImage = 0;
const char kNameWidthTemplate[] = "XXXXXXXXXXXX";

// Registry key names are equal when their upper-case forms are.
bool SameKeyName(const char* a, const char* b) {
    char x[kToolNameSize], y[kToolNameSize];
    lstrcpynA(x, a, sizeof x);
    lstrcpynA(y, b, sizeof y);
    CharUpperBuffA(x, static_cast<DWORD>(lstrlenA(x)));
    CharUpperBuffA(y, static_cast<DWORD>(lstrlenA(y)));
    return std::strcmp(x, y) == 0;
}

TToolItem* RecordOf(LPARAM data) {
    return reinterpret_cast<TToolItem*>(data);
}

}  // namespace

TToolListView::TToolListView(TWin* parentWin, TToolListOwner* listOwner)
    : TQListView(parentWin, IDC_SHARETOOL_LIST, 0), owner(listOwner) {
    listWindow = hwnd;
    iconSize = ScaleToScreen(kIconSize);
    images = ImageList_Create(iconSize, iconSize, ILC_MASK, kSlots, 0);
    slotUsed[kDefaultImage] = 1;
    if (!hwnd)
        return;
    // Laid out once, with its pictures and columns in, not after each.
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    // Image 0 stands for every program without an icon; it is never replaced.
    AddResourceIcon(images, AppInstance(), IDI_SHARETOOL_DEFAULT);
    SetImageList(images, LVSIL_SMALL);

    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = GetStringWidth(kNameWidthTemplate);
    column.pszText = const_cast<char*>("Name");
    column.iSubItem = 0;
    InsertColumn(0, column);
    TRect area;
    area = this;
    column.cx = area.Width() - column.cx;
    column.pszText = const_cast<char*>("Application");
    column.iSubItem = 1;
    InsertColumn(1, column);
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
}

TToolListView::~TToolListView() {
    if (owner)
        owner->ToolListGone();
    owner = nullptr;
    if (listWindow && IsWindow(listWindow)) {
        int count = static_cast<int>(SendMessageA(listWindow, LVM_GETITEMCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            TToolItem* record = static_cast<TToolItem*>(GetItemData(listWindow, index));
            if (!record)
                continue;
            // The control still reports its rows as it goes; none may name a
            // record again.
            LVITEMA item{};
            item.mask = LVIF_PARAM;
            item.iItem = index;
            item.lParam = 0;
            SendMessageA(listWindow, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            TToolItem::Free(record);
        }
        // Without its image list the control cannot destroy it too.
        SendMessageA(listWindow, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    }
    if (images)
        ImageList_Destroy(images);
}

HICON TToolListView::ExtractToolIcon(const char* program) const {
    if (!program || !*program)
        return nullptr;
    // The program's own image of the list's size where it has one.
    if (HICON small = ExtractIconAtSize(program, iconSize))
        return small;
    // The system may write the path of the program it took the icon from
    // into the buffer, which must hold any path.
    char path[MAX_PATH];
    lstrcpynA(path, program, sizeof path);
    WORD index = 0;
    return ExtractAssociatedIconA(AppInstance(), path, &index);
}

int TToolListView::FindFreeImage() const {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!slotUsed[slot])
            return slot;
    }
    return -1;
}

int TToolListView::AddIcon(HICON icon) {
    int slot = FindFreeImage();
    int index;
    if (slot < 0 || slot >= ImageList_GetImageCount(images))
        index = ImageList_ReplaceIcon(images, -1, icon);
    else
        index = ImageList_ReplaceIcon(images, slot, icon);
    // Slot 0 is the default icon's; an index past the table has no slot.
    if (index <= kDefaultImage || index >= kSlots)
        return kDefaultImage;
    slotUsed[index] = 1;
    return index;
}

void TToolListView::ReleaseImage(int image) {
    if (image > kDefaultImage && image < kSlots)
        slotUsed[image] = 0;
}

int TToolListView::ImageForProgram(TToolItem* record) {
    char program[kProgramSize];
    SplitCommandLine(program, record->commandLine);
    HICON icon = ExtractToolIcon(program);
    int image = record->image;
    if (!icon) {
        ReleaseImage(image);
        return kDefaultImage;
    }
    if (image > kDefaultImage) {
        if (ImageList_ReplaceIcon(images, image, icon) < 0) {
            ReleaseImage(image);
            image = kDefaultImage;
        }
    } else {
        image = AddIcon(icon);
    }
    // The image list keeps a copy.
    DestroyIcon(icon);
    return image;
}

int TToolListView::InsertItem(TToolItem* record, int select) {
    if (!record || !hwnd)
        return -1;
    record->image = kDefaultImage;
    record->image = ImageForProgram(record);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = GetItemCount();
    item.iSubItem = 0;
    item.state = item.stateMask = select ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    item.pszText = record->name;
    item.cchTextMax = lstrlenA(record->name) + 1;
    item.iImage = record->image;
    item.lParam = reinterpret_cast<LPARAM>(record);
    int index = TQListView::InsertItem(item);
    if (index < 0) {
        ReleaseImage(record->image);
        record->image = kDefaultImage;
        return -1;
    }
    ++rowCount;
    return index;
}

void TToolListView::UpdateItem(TToolItem* record) {
    if (!record || !hwnd)
        return;
    record->image = ImageForProgram(record);
    int index = FindItemByData(hwnd, record);
    if (index < 0)
        return;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    item.iItem = index;
    item.iSubItem = 0;
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.pszText = record->name;
    item.iImage = record->image;
    SetItem(item);
    // The command line cell is asked for again when the row is painted.
    RedrawItems(index, index);
}

const TToolItem* TToolListView::FindName(const char* name, const TToolItem* except) const {
    if (!hwnd || !name)
        return nullptr;
    int count = GetItemCount();
    for (int index = 0; index < count; ++index) {
        auto* record = static_cast<const TToolItem*>(GetItemData(hwnd, index));
        if (record && record != except && SameKeyName(record->name, name))
            return record;
    }
    return nullptr;
}

void TToolListView::FillDispInfo(NMLVDISPINFOA* info) const {
    LVITEMA& item = info->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    item.pszText[0] = '\0';
    const TToolItem* record = RecordOf(item.lParam);
    if (!record)
        return;
    const char* text = nullptr;
    if (item.iSubItem == 0)
        text = record->name;
    else if (item.iSubItem == 1)
        text = record->commandLine;
    // The buffer is the list's own, of cchTextMax bytes.
    if (text)
        lstrcpynA(item.pszText, text, item.cchTextMax);
}

void TToolListView::ItemChanged(const NMLISTVIEW* change) {
    if (!owner)
        return;
    if (change->uNewState & LVIS_SELECTED) {
        owner->OnSelectionChanged(RecordOf(change->lParam), change->iItem);
        return;
    }
    // A row lost its selection or only its focus: the page follows what the
    // list shows selected now, so that moving the focus alone (Ctrl+arrow)
    // does not take the selected tool away from Modify and Delete.
    ReportSelection();
}

void TToolListView::ReportSelection() {
    if (!owner)
        return;
    int selected = GetSelection();
    owner->OnSelectionChanged(
        selected >= 0 ? static_cast<TToolItem*>(GetItemData(hwnd, selected)) : nullptr,
        selected >= 0 ? selected : -1);
}

void TToolListView::SortByColumn(NMLISTVIEW* click) {
    ColumnClick(click);
    // Sorting moves the rows without a word to the page: it hears where
    // the selected one stands now.
    ReportSelection();
}

void TToolListView::ItemDeleted(NMLISTVIEW* deletion) {
    if (rowCount > 0)
        --rowCount;
    TToolItem* record = RecordOf(deletion->lParam);
    if (!record)
        return;
    ReleaseImage(record->image);
    TToolItem::Free(record);
    deletion->lParam = 0;
}

int TToolListView::HandleNotify(NMHDR* header) {
    if (!header)
        return 0;
    switch (header->code) {
        case LVN_GETDISPINFOA:
            FillDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
            break;
        case LVN_COLUMNCLICK:
            SortByColumn(reinterpret_cast<NMLISTVIEW*>(header));
            break;
        case LVN_DELETEITEM:
            ItemDeleted(reinterpret_cast<NMLISTVIEW*>(header));
            break;
        case LVN_ITEMCHANGED:
            ItemChanged(reinterpret_cast<const NMLISTVIEW*>(header));
            break;
        default:
            break;
    }
    return 0;
}

int TToolListView::CompareItems(LPARAM data1, LPARAM data2, int column) {
    const TToolItem* a = RecordOf(data1);
    const TToolItem* b = RecordOf(data2);
    if (!a || !b)
        return 0;
    if (column == 0)
        return lstrcmpA(a->name, b->name);
    if (column == 1)
        return lstrcmpA(a->commandLine, b->commandLine);
    return 0;
}
