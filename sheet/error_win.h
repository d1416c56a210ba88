// The window that collects the pages' reports made after the dialog has been
// built, one line per report, shown only after OK.
#pragma once

#include "ui/list_box.h"

class TErrorListBox : public TListBox {
public:
    explicit TErrorListBox(TWin* parent);
    ~TErrorListBox() override;

    // Esc and Enter close the window that holds the list.
    int Key(TMsg& msg) override;

private:
    HFONT font = nullptr;
};

class TErrorWin : public TWin {
public:
    explicit TErrorWin(TWin* mainWin);
    ~TErrorWin() override;

    // Appends "pageName:  text"; a kind other than 0 is an error. Returns 0
    // when the window could not take the line and has told the user nothing
    // (no list, or the list refused it), so that the caller can.
    int AddError(const char* pageName, const char* text, int kind);
    // Shows the window with its caption when it holds a line; returns whether
    // any line is an error (0 when it holds none).
    int Display();
    // When the window is on screen: takes it off, with the lines the user
    // has seen; lines reported since it was shown stay for the next Display.
    void ForgetShown();
    int Sized(TRect& rect, UINT type) override;

    int LineCount() const { return lineCount; }
    int HasErrors() const { return hasErrors; }
    TErrorListBox* GetListBox() const { return listBox; }

    // The one error window of the process, null while none exists.
    static TErrorWin* Current() { return current; }
    static void SetCurrent(TErrorWin* win) { current = win; }

private:
    static TErrorWin* current;

    TErrorListBox* listBox = nullptr;
    int lineCount = 0;
    int hasErrors = 0;
    // How many of the first lines the last Display put on screen.
    int shownCount = 0;
    // Whether the window is on screen by Display: only then can it stand in
    // for the dialog.
    bool shown = false;
};
