/* Korvane plug-in modules: what a module must carry so that the Korvane &
 * Tools Configuration utility lists it on its Plug-ins page and Korvane
 * loads it.
 *
 * A plug-in module is a DLL that
 *   1. has a version resource whose string block "040904E4" (U.S. English,
 *      code page 1252) holds the value InternalName = PL_MARKER. Modules
 *      without it are never loaded, only their version resource is read;
 *   2. exports PLGetInfo under that plain name (no "_" or "@8"): with
 *      MinGW link with a .def file naming PLGetInfo and
 *      -Wl,--enable-stdcall-fixup, or with -Wl,--kill-at; with Visual C++
 *      list it in the .def file.
 *
 * The utility registers the module under the name it reports, and adds its
 * help index as the line ":Index <helpIndex>" to Korvane's help contents
 * file korvane.cnt. See sample/sample_plugin.c.
 */
#ifndef KORVANE_PLUGIN_H
#define KORVANE_PLUGIN_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The version-resource marker of a plug-in module. */
#define PL_MARKER "KV500PLUGIN"
/* The interface version a module reports; no other is accepted. */
#define PL_VERSION 0x500
/* The product name PLGetInfo is asked for. */
#define PL_PRODUCT "Korvane"

/* Exchanged with PLGetInfo. The caller zeroes it and sets size; the module
 * fills name, version and helpIndex. The two strings must stay valid until
 * the module is unloaded. */
typedef struct PLInfo {
    DWORD size;            /* in: sizeof(PLInfo), 32 on 32-bit Windows */
    const char* name;      /* out: the plug-in's name, at most 255
                              characters; it names the plug-in's registry
                              key, so it may not be empty or hold a "\" */
    DWORD version;         /* out: PL_VERSION */
    BYTE reserved[16];     /* zero; not read */
    const char* helpIndex; /* out: "Title=file.hlp", at most 2047
                              characters, or "" or NULL without help */
} PLInfo;

#if defined(__cplusplus)
#define PL_STATIC_ASSERT(test, text) static_assert(test, text)
#else
#define PL_STATIC_ASSERT(test, text) _Static_assert(test, text)
#endif

#if defined(_M_IX86) || defined(__i386__)
/* The layout Korvane relies on (32-bit pointers, little-endian). */
PL_STATIC_ASSERT(sizeof(PLInfo) == 32, "PLInfo must be 32 bytes");
PL_STATIC_ASSERT(offsetof(PLInfo, name) == 4, "PLInfo.name at offset 4");
PL_STATIC_ASSERT(offsetof(PLInfo, version) == 8, "PLInfo.version at offset 8");
PL_STATIC_ASSERT(offsetof(PLInfo, helpIndex) == 28, "PLInfo.helpIndex at offset 28");
#endif

/* Fills info for the product named product ("Korvane"); returns nonzero on
 * success, 0 when the module refuses. */
typedef int(WINAPI* PLGetInfoProc)(PLInfo* info, const char* product);
int WINAPI PLGetInfo(PLInfo* info, const char* product);

#ifdef __cplusplus
}
#endif

#endif /* KORVANE_PLUGIN_H */
