// A number edit with its up-down spin button, bound to a long through the
// dialog's control table.
#pragma once

#include "ui/control.h"

// The number a spin edit moves in and out, with its range. step is the
// amount one click of the spin button adds; -1 keeps the button's default.
struct TSpinData {
    TSpinData(long* count, long min, long max, long step);
    // value brought into [min, max].
    long Clamp(long value) const;

    long* count;
    long min;
    long max;
    long step;
};

// The up-down control beside an edit.
class TSpinBut : public TControl {
public:
    TSpinBut(TWin* parent, int id) : TControl(kClassName, parent, id, 0) {}

    // Makes the up-down window class available to templates and windows;
    // nonzero on success.
    static int Register();
    // Whether the window is an up-down control.
    static bool IsSpinButton(HWND window);

    // UDM_GETBUDDY.
    HWND GetBuddy() const;
    // UDM_SETBUDDY.
    void SetBuddy(HWND buddy);
    // UDM_SETRANGE32.
    void SetRange(long min, long max);
    // UDM_SETPOS32.
    void SetPos(long pos);
    // UDM_SETACCEL with one step for every press.
    void SetStep(long step);

    static constexpr const char kClassName[] = "msctls_updown32";
};

class TSpinEdit : public TControl {
public:
    // The edit is the dialog's item id; its spin button is item id + 1 when
    // that item is an up-down control.
    TSpinEdit(TWin* dialog, int id, TSpinData* data);

    // For the control table: data is the TSpinData. Null when the object
    // cannot be made or the dialog has no such item.
    static TControl* New(TWin* dialog, int id, void* data);

    // Shows the count and gives the spin button the range.
    int SetData() override;
    // Reads the edit into the count, always within the range: no digits
    // give the minimum, a number beyond either end (however large) that end.
    // The edit then shows the number that was taken.
    int GetData() override;

private:
    TSpinData* Data() const { return static_cast<TSpinData*>(dataLink); }
    void Show(long value);

    TSpinBut* spin = nullptr;
};
