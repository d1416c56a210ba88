/* A sample Korvane plug-in module: it carries the marker in its version
 * resource (sample_plugin.rc), exports PLGetInfo (sample_plugin.def) and
 * reports a name and a help index.
 *
 * The build makes more than one module from this file: what a module
 * reports can be set with definitions (PL_SAMPLE_NAME, PL_SAMPLE_HELP_INDEX,
 * PL_SAMPLE_VERSION, PL_SAMPLE_RESULT). */
#include "korvane_plugin.h"

#ifndef PL_SAMPLE_NAME
#define PL_SAMPLE_NAME "Korvane Sample"
#endif
#ifndef PL_SAMPLE_HELP_INDEX
#define PL_SAMPLE_HELP_INDEX "Korvane Sample=ktsample.hlp"
#endif
#ifndef PL_SAMPLE_VERSION
#define PL_SAMPLE_VERSION PL_VERSION
#endif
#ifndef PL_SAMPLE_RESULT
#define PL_SAMPLE_RESULT 1
#endif

int WINAPI PLGetInfo(PLInfo* info, const char* product) {
    /* A caller with an older, smaller record, or another product, gets
     * nothing. */
    if (!info || info->size < sizeof(PLInfo) || !product || lstrcmpA(product, PL_PRODUCT) != 0)
        return 0;
    info->name = PL_SAMPLE_NAME;
    info->version = PL_SAMPLE_VERSION;
    info->helpIndex = PL_SAMPLE_HELP_INDEX;
    return PL_SAMPLE_RESULT;
}
