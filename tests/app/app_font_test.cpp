#include "app/app_font.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int CALLBACK CountFonts(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    auto* first = reinterpret_cast<LOGFONTA*>(data);
    if (first->lfFaceName[0] == '\0')
        *first = *font;
    return 1;
}

TEST(AppFont, FindFontTakesTheFirstFontOfferedAndStopsTheEnumeration) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;

    LOGFONTA expected{};
    EnumFontFamiliesExA(screen, &query, CountFonts, reinterpret_cast<LPARAM>(&expected), 0);
    ASSERT_NE('\0', expected.lfFaceName[0]) << "no font to enumerate";

    LOGFONTA found;
    std::memset(&found, 0x55, sizeof found);
    int result = EnumFontFamiliesExA(screen, &query, TAppFont::Enumerator(),
                                     reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(0, result);  // the callback's answer: stopped at once
    EXPECT_EQ(0, std::memcmp(&expected, &found, sizeof found)) << found.lfFaceName;
}

}  // namespace
