// The "Channel sharing" page: the tools that may share a channel with
// Korvane, each a subkey of the product's Launch key holding its command
// line, added, changed and deleted here and written back whole on OK.
#pragma once

#include "sharing/tool_list_view.h"
#include "sharing/tool_store.h"
#include "sheet/config_page.h"

class TShareToolPage : public TConfigPage,
                       public TToolListOwner,
                       private TToolSink,
                       private TToolSource {
public:
    explicit TShareToolPage(TWin* parent);
    ~TShareToolPage() override;

    int Command(int id, unsigned code) override;
    int Notify(int id, NMHDR* header, LRESULT* result) override;
    int InitDlg(int focusId) override;
    int Apply() override;

    void OnSelectionChanged(TToolItem* record, int index) override;
    void ToolListGone() override;

    TToolListView* ToolList() const { return tools; }
    TToolItem* SelectedTool() const { return selected; }
    int SelectedIndex() const { return selectedIndex; }

private:
    void LoadTools();
    int AddTool();
    int ModifyTool();
    int DeleteTool();
    void SaveTools();
    // The stored tools become rows, with their programs' icons.
    TTake TakeTool(const char* name, const char* commandLine) override;
    // The rows are what a save writes.
    int ToolCount() override;
    int GetTool(int index, const char** name, const char** commandLine) override;
    // After a button's work: the list has the focus again and Add is
    // enabled while the list has room.
    void BackToList();
    void UpdateAddButton();
    TToolItem* NewTool(const char* name, const char* commandLine);

    TToolListView* tools = nullptr;
    TToolItem* selected = nullptr;
    int selectedIndex = -1;
    int dirty = 0;
};

TConfigPage* NewShareToolPage(TWin* parent);
