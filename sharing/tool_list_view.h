// The Channel sharing page's list of tools: one row per TToolItem, which the
// list owns, with the tool's name, its command line, and the small icon of
// its program (at the screen's scale) in an image list of the list's own.
#pragma once

#include "sharing/tool_item.h"
#include "ui/list_view.h"

// What the list needs of the page that owns it.
class TToolListOwner {
public:
    // The row that the list shows selected now (null and -1 for none).
    virtual void OnSelectionChanged(TToolItem* record, int index) = 0;
    // The list object is going: nothing may reach it any more.
    virtual void ToolListGone() = 0;

protected:
    ~TToolListOwner() = default;
};

class TToolListView : public TQListView {
public:
    // Takes over the list control of the parent dialog.
    TToolListView(TWin* parent, TToolListOwner* owner);
    // Frees the records of the rows still there.
    ~TToolListView() override;

    // Appends a row for record, selected and focused when select is
    // nonzero; from then on the list owns the record. The row's index, or
    // -1 (the record stays the caller's) when the list refuses it.
    int InsertItem(TToolItem* record, int select);
    // Shows the record's changed name, command line and program icon, and
    // selects its row.
    void UpdateItem(TToolItem* record);
    // The list's notifications, which the page hands on; returns 0.
    int HandleNotify(NMHDR* header);
    int CompareItems(LPARAM data1, LPARAM data2, int column) override;

    // A row's record other than except whose name is name, ignoring case as
    // registry key names do; null when none.
    const TToolItem* FindName(const char* name, const TToolItem* except) const;
    // The owner is going: the list tells it nothing more.
    void ForgetOwner() { owner = nullptr; }
    int RowCount() const { return rowCount; }
    HIMAGELIST ImageList() const { return images; }
    // The lowest free picture slot, or -1.
    int FindFreeImage() const;

private:
    HICON ExtractToolIcon(const char* program) const;
    // The slot the icon went into, or 0 (the default icon) when none.
    int AddIcon(HICON icon);
    void ReleaseImage(int image);
    // The picture for a record's program: its own slot, or 0.
    int ImageForProgram(TToolItem* record);
    void FillDispInfo(NMLVDISPINFOA* info) const;
    void ItemChanged(const NMLISTVIEW* change);
    // Tells the owner which row the list shows selected now.
    void ReportSelection();
    void SortByColumn(NMLISTVIEW* click);
    void ItemDeleted(NMLISTVIEW* deletion);

    static constexpr int kSlots = kMaxTools + 1;

    TToolListOwner* owner;
    HIMAGELIST images = nullptr;
    // The pictures' width and height, at the screen's scale.
    int iconSize = 0;
    int rowCount = 0;
    int slotUsed[kSlots] = {};
    // The control, also while the object is deleted with its window (the
    // layer has unlinked it by then, but the rows are still there).
    HWND listWindow = nullptr;
};
