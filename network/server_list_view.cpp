#include "network/server_list_view.h"

#include "network/network_page.h"
#include "network/string_util.h"
#include "resources/network_page_ids.h"
#include "ui/app.h"
#include "ui/image_list.h"
#include "ui/screen_scale.h"

namespace {

constexpr int kIconWidth = 16;
constexpr int kIconHeight = 14;
constexpr int kInitialImages = 2;
const char kCopyError[] = "KT&C: lstrcpy string copy error";

struct TColumnDef {
    const char* header;
    const char* widthTemplate;
    int factor;
};

// Widths follow the list's font: a template text measured, plus 2.
const TColumnDef kColumns[] = {
    {"Name", kNameWidthTemplate, 1},
    {"Port", kPortWidthTemplate, 2},
    {"SearchBase", kSearchBaseWidthTemplate, 1},
};

const char* Shown(const char* text) {
    return text ? text : "";
}

}  // namespace

TServerListView::TServerListView(TNetworkPage* owner, int id)
    : TQListView(owner, id, 0), page(owner) {
    window = hwnd;
    if (!hwnd)
        return;
    // Laid out once, with its pictures and columns in, not after each.
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    LoadImages();
    InsertColumns();
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
}

TServerListView::~TServerListView() {
    HWND list = hwnd ? hwnd : window;
    if (list && IsWindow(list)) {
        int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int index = 0; index < count; ++index)
            delete static_cast<TRepositoryItem*>(GetItemData(list, index));
    }
    if (images)
        ImageList_Destroy(images);
}

void TServerListView::LoadImages() {
    images = ImageList_Create(ScaleToScreen(kIconWidth), ScaleToScreen(kIconHeight), ILC_MASK,
                              kInitialImages, 0);
    if (!images)
        return;
    struct {
        int resource;
        int* index;
    } icons[] = {
        {IDI_NETWORK_DIRECTORY, &directoryImage},
        {IDI_NETWORK_LDAP_SERVER, &ldapImage},
        {IDI_NETWORK_RESOURCE_MANAGER, &resourceManagerImage},
    };
    // At the list's size: LoadIcon would stretch the 14 rows to the
    // system's large icon height and back.
    for (const auto& icon : icons)
        *icon.index = AddResourceIcon(images, AppInstance(), icon.resource);
    SetImageList(images, LVSIL_SMALL);
}

void TServerListView::InsertColumns() {
    for (int column = 0; column < 3; ++column) {
        const TColumnDef& def = kColumns[column];
        LVCOLUMNA info{};
        info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        info.fmt = LVCFMT_LEFT;
        info.cx = def.factor * GetStringWidth(def.widthTemplate) + 2;
        info.pszText = const_cast<char*>(def.header);
        info.iSubItem = column;
        InsertColumn(column, info);
    }
}

int TServerListView::ImageOf(TRepositoryItem::Type type) const {
    switch (type) {
        case TRepositoryItem::Directory:
            return directoryImage;
        case TRepositoryItem::ResourceManager:
            return resourceManagerImage;
        default:
            return ldapImage;
    }
}

int TServerListView::InsertItem(TRepositoryItem* record) {
    if (!record)
        return -1;
    const char* name = Shown(record->GetName());
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = GetItemCount();
    item.pszText = const_cast<char*>(name);
    item.cchTextMax = lstrlenA(name) + 1;
    item.iImage = ImageOf(record->GetType());
    item.lParam = reinterpret_cast<LPARAM>(record);
    return TQListView::InsertItem(item);
}

void TServerListView::UpdateItem(TRepositoryItem* record) {
    int index = FindItemByData(hwnd, record);
    if (index < 0)
        return;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<char*>(Shown(record->GetName()));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SetItem(item);
    // The Port and SearchBase cells are asked for again as the row paints.
    RedrawItems(index, index);
}

void TServerListView::ReportSelection() {
    int selected = GetSelection();
    page->OnSelectionChanged(selected >= 0 ? GetRecord(selected) : nullptr,
                             selected >= 0 ? selected : -1);
}

TRepositoryItem* TServerListView::GetRecord(int index) const {
    return static_cast<TRepositoryItem*>(GetItemData(hwnd, index));
}

int TServerListView::HandleNotify(NMHDR* header) {
    if (!header)
        return 0;
    switch (header->code) {
        case LVN_GETDISPINFOA:
            FillDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
            break;
        case LVN_COLUMNCLICK: {
            auto* info = reinterpret_cast<NMLISTVIEW*>(header);
            if (info->iSubItem == kNameColumn) {
                ColumnClick(info);
                // Sorting moves the rows without a word to the page: it
                // hears where the selected one stands now.
                ReportSelection();
            }
            break;
        }
        case LVN_ITEMCHANGED: {
            auto* info = reinterpret_cast<NMLISTVIEW*>(header);
            if (info->uNewState & LVIS_SELECTED)
                page->OnSelectionChanged(reinterpret_cast<TRepositoryItem*>(info->lParam),
                                         info->iItem);
            else
                // A row lost its selection or only its focus (Ctrl+arrow):
                // the page follows what the list shows selected now.
                ReportSelection();
            break;
        }
        default:
            break;
    }
    return 0;
}

int TServerListView::CompareItems(LPARAM data1, LPARAM data2, int column) {
    if (column != kNameColumn)
        return 0;
    auto* first = reinterpret_cast<TRepositoryItem*>(data1);
    auto* second = reinterpret_cast<TRepositoryItem*>(data2);
    return lstrcmpA(Shown(first ? first->GetName() : nullptr),
                    Shown(second ? second->GetName() : nullptr));
}

void TServerListView::FillDispInfo(NMLVDISPINFOA* info) {
    if (!info || !(info->item.mask & LVIF_TEXT))
        return;
    char* buffer = info->item.pszText;
    int size = info->item.cchTextMax;
    if (!buffer || size <= 0)
        return;
    auto* record = reinterpret_cast<TRepositoryItem*>(info->item.lParam);
    const char* text = nullptr;
    if (record) {
        switch (info->item.iSubItem) {
            case kNameColumn:
                text = record->GetName();
                break;
            case kPortColumn:
                text = record->GetPort();
                break;
            case kSearchBaseColumn:
                text = record->GetSearchBase();
                break;
            default:
                break;
        }
    }
    if (!text) {
        buffer[0] = '\0';
        return;
    }
    // Names and search bases may be far longer than the list's buffer: the
    // cell shows as much as fits.
    if (!lstrcpynA(buffer, text, size))
        ShowLastError(GetActiveWindow(), kCopyError, GetLastError());
}
