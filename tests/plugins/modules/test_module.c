/* The test modules' own part: texts longer than a definition can carry. */
#include "test_module.h"

#include <string.h>

const char* KtLongText(const char* prefix, int length) {
    static char text[4096];
    if (length < 0 || length >= (int)sizeof text)
        return "";
    size_t prefixLength = strlen(prefix);
    if ((int)prefixLength > length)
        prefixLength = (size_t)length;
    memcpy(text, prefix, prefixLength);
    memset(text + prefixLength, 'x', (size_t)length - prefixLength);
    text[length] = '\0';
    return text;
}
