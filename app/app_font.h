// The font-enumeration callback that the program exports for its hosts.
#pragma once

#include <windows.h>

class TAppFont {
public:
    // FindFont in the shape EnumFontFamiliesEx takes; its lParam is the
    // LOGFONTA that receives the first font offered.
    static FONTENUMPROCA Enumerator();

private:
    // Copies the whole of *font into *result and returns 0, which stops the
    // enumeration at the first font.
    static int CALLBACK FindFont(LOGFONTA* font, TEXTMETRICA* metrics, int fontType,
                                 LOGFONTA* result);
};
