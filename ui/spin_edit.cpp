#include "ui/spin_edit.h"

#include <commctrl.h>

#include <cstdio>

namespace {

// Longest text a long can be written as, with its sign.
constexpr int kNumberTextSize = 24;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The number at the start of text (after blanks, with an optional sign),
// clamped to [min, max]; min when there are no digits. The running value is
// capped as soon as it passes the range, so no length of digits overflows.
long ParseClamped(const char* text, long min, long max) {
    while (IsBlank(*text))
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+')
        negative = *text++ == '-';
    if (*text < '0' || *text > '9')
        return min;
    long long magnitude = 0;
    const long long high = max;
    const long long low = -static_cast<long long>(min);
    const long long cap = (high > low ? high : low) + 1;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > cap)
            magnitude = cap;
    }
    long long value = negative ? -magnitude : magnitude;
    if (value < min)
        return min;
    if (value > max)
        return max;
    return static_cast<long>(value);
}

}  // namespace

TSpinData::TSpinData(long* countLink, long low, long high, long stepSize)
    : count(countLink), min(low), max(high), step(stepSize) {}

long TSpinData::Clamp(long value) const {
    if (value < min)
        return min;
    if (value > max)
        return max;
    return value;
}

int TSpinBut::Register() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_UPDOWN_CLASS;
    return InitCommonControlsEx(&classes) ? 1 : 0;
}

bool TSpinBut::IsSpinButton(HWND window) {
    char className[32];
    if (!window || !GetClassNameA(window, className, sizeof className))
        return false;
    return lstrcmpiA(className, kClassName) == 0;
}

HWND TSpinBut::GetBuddy() const {
    return reinterpret_cast<HWND>(SendMessageA(hwnd, UDM_GETBUDDY, 0, 0));
}

void TSpinBut::SetBuddy(HWND buddy) {
    SendMessageA(hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}

void TSpinBut::SetRange(long min, long max) {
    SendMessageA(hwnd, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
}

void TSpinBut::SetPos(long pos) {
    SendMessageA(hwnd, UDM_SETPOS32, 0, static_cast<LPARAM>(pos));
}

void TSpinBut::SetStep(long step) {
    UDACCEL accel{0, static_cast<UINT>(step)};
    SendMessageA(hwnd, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

TSpinEdit::TSpinEdit(TWin* dialog, int id, TSpinData* data)
    : TControl("Edit", dialog, id, ES_AUTOHSCROLL) {
    SetDataLink(data);
    HWND next = dialog && dialog->GetHandle() ? ::GetDlgItem(dialog->GetHandle(), id + 1) : nullptr;
    if (TSpinBut::IsSpinButton(next)) {
        spin = NewWindowObject<TSpinBut>(dialog, id + 1);
    }
    if (hwnd) {
        // The spin button reads the edit back when clicked: keep the two in
        // step. A button that took the edit as its buddy when the template
        // made it (UDS_AUTOBUDDY) is not given it again: that would align
        // both anew for nothing.
        if (spin && spin->GetBuddy() != hwnd)
            spin->SetBuddy(hwnd);
        SendMessageA(hwnd, EM_LIMITTEXT, kNumberTextSize - 1, 0);
    }
}

TControl* TSpinEdit::New(TWin* dialog, int id, void* data) {
    if (!data)
        return nullptr;
    return NewWindowObject<TSpinEdit>(dialog, id, static_cast<TSpinData*>(data));
}

void TSpinEdit::Show(long value) {
    char text[kNumberTextSize];
    std::snprintf(text, sizeof text, "%ld", value);
    SetText(text);
    // Moving the button's position rewrites a SETBUDDYINT buddy with the
    // same number; the text set above stands for buttons without it.
    if (spin)
        spin->SetPos(value);
}

int TSpinEdit::SetData() {
    TSpinData* data = Data();
    if (!data || !data->count)
        return 0;
    if (spin) {
        spin->SetRange(data->min, data->max);
        if (data->step > 0)
            spin->SetStep(data->step);
    }
    Show(*data->count);
    return 1;
}

int TSpinEdit::GetData() {
    TSpinData* data = Data();
    if (!data || !data->count)
        return 0;
    char text[256];
    GetText(text, sizeof text);
    *data->count = ParseClamped(text, data->min, data->max);
    Show(*data->count);
    return 1;
}
