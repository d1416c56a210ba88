/* Included first into the benchmark's modules: what they report is made
 * from the name of their own file. */
#ifndef KT_BENCH_MODULE_H
#define KT_BENCH_MODULE_H

/* The module file's name without its extension ("pl0007"). */
const char* KtBenchName(void);
/* "<name> Help=<name>.hlp". */
const char* KtBenchHelpIndex(void);

/* What the sample source reports (a definition on the command line cannot
 * be a call without arguments). */
#define PL_SAMPLE_NAME KtBenchName()
#define PL_SAMPLE_HELP_INDEX KtBenchHelpIndex()

#endif
