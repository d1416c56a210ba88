#include "sheet/page_caption.h"

#include "ui/gdi.h"

namespace {

constexpr int kTextInset = 5;
constexpr WORD kPaletteVersion = 0x300;

}  // namespace

COLORREF CaptionFillColour(COLORREF face, COLORREF shadow, int bitsPerPixel) {
    if (bitsPerPixel < 8)
        return shadow;
    // Each channel on its own, so that a carry never spills into the next.
    int red = (GetRValue(face) + GetRValue(shadow)) >> 1;
    int green = (GetGValue(face) + GetGValue(shadow)) >> 1;
    int blue = (GetBValue(face) + GetBValue(shadow)) >> 1;
    return RGB(red, green, blue);
}

TPageCaption::TPageCaption(TWin* parentWin, int id) : TControl("static", parentWin, id, 0) {
    title[0] = '\0';
    description[0] = '\0';
    HWND dialog = parentWin ? parentWin->GetHandle() : nullptr;
    normalFont = boldFont =
        dialog ? reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)) : nullptr;
    LOGFONTA font{};
    if (normalFont && GetObjectA(normalFont, sizeof font, &font) == sizeof font) {
        font.lfWeight = FW_BOLD;
        boldFont = CreateFontIndirectA(&font);
    }
    MakeColour();
}

void TPageCaption::MakeColour() {
    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    int bits = info ? GetDeviceCaps(info, BITSPIXEL) : 24;
    fillColour = CaptionFillColour(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), bits);
    // A palette display shows the mixed shade only through an entry of its own.
    if (bits == 8) {
        LOGPALETTE entry{};
        entry.palVersion = kPaletteVersion;
        entry.palNumEntries = 1;
        entry.palPalEntry[0].peRed = GetRValue(fillColour);
        entry.palPalEntry[0].peGreen = GetGValue(fillColour);
        entry.palPalEntry[0].peBlue = GetBValue(fillColour);
        entry.palPalEntry[0].peFlags = PC_NOCOLLAPSE;
        palette = CreatePalette(&entry);
        if (palette)
            fillColour = PALETTEINDEX(GetNearestPaletteIndex(palette, fillColour));
    }
    if (info)
        DeleteDC(info);
}

TPageCaption::~TPageCaption() {
    if (boldFont && boldFont != normalFont)
        DeleteObject(boldFont);
    if (palette)
        DeleteObject(palette);
}

void TPageCaption::SetDescriptionFrom(HWND window) {
    description[0] = '\0';
    if (window)
        GetWindowTextA(window, description, kTextSize);
}

int TPageCaption::Paint() {
    TRect band;
    band = this;
    TPaintDC paint(this);
    TDC dc(paint);
    if (palette) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    {
        TBrush brush(fillColour);
        if (brush)
            FillRect(dc, &band, brush);
    }
    SetBkMode(dc, TRANSPARENT);
    dc.Select(boldFont);
    band.left += kTextInset;
    DrawTextA(dc, title, -1, &band, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    if (description[0]) {
        dc.Select(normalFont);
        band.right -= kTextInset;
        DrawTextA(dc, description, -1, &band, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    }
    return 1;
}
