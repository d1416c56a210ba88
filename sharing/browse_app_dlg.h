// The tool selection dialog: the system's file-open dialog with the
// template BROWSEAPPDLG below it, whose edits take the tool's parameters and
// name. The name is proposed from the chosen program's file name.
#pragma once

#include "ui/file_open_dlg.h"

class TToolListView;
struct TToolItem;

// What the edits take: a name that fits a tool's record and parameters that
// can still follow a program in one command line.
constexpr int kNameTypedLimit = 30;
constexpr int kParametersTypedLimit = 258;

class TBrowseAppDlg : public TFileOpenDlg {
public:
    // The buffers are the caller's: program kProgramSize bytes, parameters
    // kParametersSize, name kToolNameSize. On OK they hold the chosen program,
    // the parameters and the name. tools (may be null) holds the names the
    // new one must not repeat, except that of own, the tool being changed.
    TBrowseAppDlg(TWin* parent, char* program, char* parameters, char* name,
                  const TToolListView* tools = nullptr, const TToolItem* own = nullptr);
    ~TBrowseAppDlg() override;

    int Notify(int id, NMHDR* header, LRESULT* result) override;
    // The path of the current selection into buffer (kProgramSize bytes);
    // nonzero when there is one.
    int GetSelectedPath(char* buffer) const;

private:
    void InitDone();
    void SelectionChanged();
    // Takes the edits into the caller's buffers; 0 (the dialog stays open)
    // when they cannot make a tool.
    int FileOk(const OPENFILENAMEA* ofn);
    int Refuse(int editId, const char* text);

    char* parameters;
    char* name;
    const TToolListView* tools;
    const TToolItem* own;
    char lastPath[MAX_PATH] = "";
    int firstSelection = 1;
};
