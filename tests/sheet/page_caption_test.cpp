#include "sheet/config_dlg.h"
#include "sheet/page_caption.h"
#include "sheet/tree_sheet.h"
#include "tests/sheet/stand_in_pages.h"
#include "tests/support/config_dialog.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct ColourCase {
    COLORREF face;
    COLORREF shadow;
    int bits;
    COLORREF band;
};

TEST(PageCaptionColour, BandIsTheRoundedDownAverageOrTheShadowBelowEightBits) {
    const ColourCase cases[] = {
        {RGB(192, 192, 192), RGB(128, 128, 128), 32, RGB(160, 160, 160)},
        {RGB(192, 192, 192), RGB(128, 128, 128), 24, RGB(160, 160, 160)},
        {RGB(255, 255, 255), RGB(0, 0, 1), 24, RGB(127, 127, 128)},  // rounds down
        {RGB(1, 3, 5), RGB(2, 4, 6), 16, RGB(1, 3, 5)},
        {RGB(255, 255, 255), RGB(255, 255, 255), 24, RGB(255, 255, 255)},  // no carry spill
        {RGB(192, 192, 192), RGB(128, 128, 128), 8, RGB(160, 160, 160)},
        {RGB(192, 192, 192), RGB(128, 128, 128), 4, RGB(128, 128, 128)},
        {RGB(192, 192, 192), RGB(10, 20, 30), 1, RGB(10, 20, 30)},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(c.band, CaptionFillColour(c.face, c.shadow, c.bits));
    }
}

class PageCaptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4");
        dialog = fixture.Build();
        ASSERT_TRUE(dialog);
        caption = static_cast<TPageCaption*>(TWin::GetWin(GetDlgItem(*dialog, kCaptionId)));
        ASSERT_TRUE(caption);
        ShowWindow(*dialog, SW_SHOWNORMAL);
        Repaint();
    }
    void Repaint() {
        InvalidateRect(caption->GetHandle(), nullptr, TRUE);
        UpdateWindow(caption->GetHandle());
        kt_test::PumpFor(50);
    }
    COLORREF Expected() const {
        HDC screen = GetDC(nullptr);
        int bits = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        return CaptionFillColour(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), bits);
    }
    // How many pixels of the columns [from, to) differ from the band.
    int InkBetween(int from, int to) const {
        HDC dc = GetDC(caption->GetHandle());
        RECT client;
        GetClientRect(caption->GetHandle(), &client);
        int ink = 0;
        COLORREF band = Expected();
        for (int y = client.top; y < client.bottom; ++y) {
            for (int x = from; x < to; ++x) {
                if (GetPixel(dc, x, y) != band)
                    ++ink;
            }
        }
        ReleaseDC(caption->GetHandle(), dc);
        return ink;
    }
    int TextWidth(HFONT font, const char* text) const {
        HDC dc = GetDC(caption->GetHandle());
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        SelectObject(dc, old);
        ReleaseDC(caption->GetHandle(), dc);
        return size.cx;
    }
    int Width() const {
        RECT client;
        GetClientRect(caption->GetHandle(), &client);
        return client.right;
    }

    kt_test::RegistrySandbox registry;
    kt_test::StandInPages standIns;
    kt_test::ConfigDialogFixture fixture;
    TConfigDlg* dialog = nullptr;
    TPageCaption* caption = nullptr;
};

TEST_F(PageCaptionTest, FontsAreTheDialogsAndABoldCopyOfIt) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(*dialog, WM_GETFONT, 0, 0)),
              caption->GetNormalFont());
    LOGFONTA bold{};
    ASSERT_EQ(static_cast<int>(sizeof bold),
              GetObjectA(caption->GetBoldFont(), sizeof bold, &bold));
    EXPECT_EQ(FW_BOLD, bold.lfWeight);
    EXPECT_NE(caption->GetNormalFont(), caption->GetBoldFont());
    EXPECT_EQ(Expected(), caption->GetFillColour());
}

TEST_F(PageCaptionTest, PaintsTheBandWithTitleLeftAndDescriptionRight) {
    const int width = Width();
    const int titleEnd = 5 + TextWidth(caption->GetBoldFont(), caption->title);
    const int descriptionStart =
        width - 5 - TextWidth(caption->GetNormalFont(), caption->GetDescription());
    ASSERT_LT(titleEnd + 4, descriptionStart);
    HDC dc = GetDC(caption->GetHandle());
    EXPECT_EQ(Expected(), GetPixel(dc, (titleEnd + descriptionStart) / 2, 1));
    EXPECT_EQ(Expected(), GetPixel(dc, 1, 1));
    ReleaseDC(caption->GetHandle(), dc);
    // Text sits only where the two texts go; the static's own text is not drawn.
    EXPECT_EQ(0, InkBetween(0, 5));
    EXPECT_GT(InkBetween(5, titleEnd), 0);
    EXPECT_EQ(0, InkBetween(titleEnd + 2, descriptionStart - 2));
    EXPECT_GT(InkBetween(descriptionStart, width - 5), 0);
    EXPECT_EQ(0, InkBetween(width - 4, width));
}

TEST_F(PageCaptionTest, WithoutDescriptionOnlyTheTitleIsDrawn) {
    lstrcpynA(caption->title, "Only a title", TPageCaption::kTextSize);
    caption->SetDescriptionFrom(nullptr);
    Repaint();
    const int titleEnd = 5 + TextWidth(caption->GetBoldFont(), caption->title);
    EXPECT_GT(InkBetween(5, titleEnd), 0);
    EXPECT_EQ(0, InkBetween(titleEnd + 2, Width()));
}

TEST_F(PageCaptionTest, LongTextsAreCutAtTheInsetNotWrapped) {
    std::string longText(300, 'W');
    lstrcpynA(caption->title, longText.c_str(), TPageCaption::kTextSize);
    HWND page = fixture.PageWindow("Network");
    SetWindowTextA(page, longText.c_str());
    caption->SetDescriptionFrom(page);
    Repaint();
    // Both are clipped at the left inset; the title's box reaches the right
    // edge of the bar, the description's stops 5 pixels short of it.
    EXPECT_EQ(0, InkBetween(0, 5));
    EXPECT_GT(InkBetween(Width() - 4, Width()), 0);
}

}  // namespace
