/* The benchmark's modules: each copy reports the name of its own file, so
 * that a directory of copies lists as many plug-ins as it holds. */
#include "bench_module.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

static char name[MAX_PATH];
static char helpIndex[2 * MAX_PATH + 16];

const char* KtBenchName(void) {
    HMODULE self = NULL;
    char path[MAX_PATH];
    DWORD length;
    char* base;
    char* dot;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            (LPCSTR)(void*)&KtBenchName, &self))
        return "";
    length = GetModuleFileNameA(self, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return "";
    base = strrchr(path, '\\');
    base = base ? base + 1 : path;
    lstrcpynA(name, base, sizeof name);
    dot = strrchr(name, '.');
    if (dot)
        *dot = '\0';
    return name;
}

const char* KtBenchHelpIndex(void) {
    const char* own = KtBenchName();
    snprintf(helpIndex, sizeof helpIndex, "%s Help=%s.hlp", own, own);
    return helpIndex;
}
