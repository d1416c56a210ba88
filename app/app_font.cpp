#include "app/app_font.h"

FONTENUMPROCA TAppFont::Enumerator() {
    // The enumerator passes the same four machine words as FindFont takes.
    return reinterpret_cast<FONTENUMPROCA>(reinterpret_cast<void (*)()>(FindFont));
}

int CALLBACK TAppFont::FindFont(LOGFONTA* font, TEXTMETRICA*, int, LOGFONTA* result) {
    if (font && result)
        *result = *font;
    return 0;
}
