/* Included first into every test module: texts the build cannot pass as
 * plain definitions. */
#ifndef KT_TEST_MODULE_H
#define KT_TEST_MODULE_H

/* prefix followed by 'x' up to length characters, in a buffer of the
 * module's own. */
const char* KtLongText(const char* prefix, int length);

#define KT_NAME_WITH_BACKSLASH "Sub\\Key"

#endif
