// The Network page's list: one row per repository item, its kind shown by
// the row's icon, its Port and SearchBase cells asked for when drawn.
#pragma once

#include "network/repository_item.h"
#include "ui/list_view.h"

class TNetworkPage;

// The texts whose pixel widths give the columns their first widths.
inline constexpr char kNameWidthTemplate[] = "CCCCCCCCCCCCC";
inline constexpr char kPortWidthTemplate[] = "IIIIII";
inline constexpr char kSearchBaseWidthTemplate[] = "CCCCCCCCCCCCCC";

class TServerListView : public TQListView {
public:
    // Takes over the page's list view control id; builds the icons and the
    // three columns.
    TServerListView(TNetworkPage* page, int id);
    // Frees every record still in a row.
    ~TServerListView() override;

    // Appends a row for the record, which the row owns from then on; the
    // new row's index, or -1.
    int InsertItem(TRepositoryItem* record);
    // Shows the record's changed texts in its row and selects and focuses it.
    void UpdateItem(TRepositoryItem* record);
    // The record of a row, null when there is no such row.
    TRepositoryItem* GetRecord(int index) const;
    // The list's notifications, forwarded by the page; always 0.
    int HandleNotify(NMHDR* header);
    // Column 0 in lstrcmpA order of the names; the others are all equal.
    int CompareItems(LPARAM data1, LPARAM data2, int column) override;
    // A cell's text, cut to the list's buffer.
    void FillDispInfo(NMLVDISPINFOA* info);
    // The image index that rows of this kind show.
    int ImageOf(TRepositoryItem::Type type) const;

    enum Column { kNameColumn = 0, kPortColumn = 1, kSearchBaseColumn = 2 };

private:
    // Tells the page which row the list shows selected now.
    void ReportSelection();
    void LoadImages();
    void InsertColumns();

    TNetworkPage* page;
    HIMAGELIST images = nullptr;
    int directoryImage = -1;
    int ldapImage = -1;
    int resourceManagerImage = -1;
    // The layer unlinks the window before it deletes the object: the
    // destructor finds the rows through this copy of the handle.
    HWND window = nullptr;
};
