#include "ui/reg_text.h"

LONG QueryValueText(HKEY key, const char* subkey, char* text, LONG size, LONG* dataSize) {
    if (!text || size <= 0)
        return ERROR_INVALID_PARAMETER;
    LONG got = size;
    LONG status = RegQueryValueA(key, subkey, text, &got);
    if (dataSize)
        *dataSize = got;
    if (status != ERROR_SUCCESS)
        text[0] = '\0';
    else
        text[got >= 0 && got < size ? got : size - 1] = '\0';
    return status;
}
