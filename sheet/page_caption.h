// The bar above a sheet's page area: the page's name in bold on the left and
// its description on the right, on a band between button face and shadow.
#pragma once

#include "ui/control.h"

// The band's colour for the given system colours and display depth: the
// channel-wise average (rounded down) from 8 bits per pixel up, the shadow
// itself below that.
COLORREF CaptionFillColour(COLORREF face, COLORREF shadow, int bitsPerPixel);

class TPageCaption : public TControl {
public:
    static constexpr int kTextSize = 2048;

    TPageCaption(TWin* parent, int id);
    ~TPageCaption() override;

    int Paint() override;
    // The window's text (the page description) becomes the right-hand text.
    void SetDescriptionFrom(HWND window);

    const char* GetDescription() const { return description; }
    COLORREF GetFillColour() const { return fillColour; }
    HFONT GetBoldFont() const { return boldFont; }
    HFONT GetNormalFont() const { return normalFont; }

    // The page name; the sheet writes it directly.
    char title[kTextSize];

private:
    void MakeColour();

    HFONT normalFont = nullptr;
    HFONT boldFont = nullptr;
    char description[kTextSize];
    HPALETTE palette = nullptr;
    COLORREF fillColour = 0;
};
