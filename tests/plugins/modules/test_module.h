/* Included first into every test module: texts the build cannot pass as
 * plain definitions. */
#ifndef KT_TEST_MODULE_H
#define KT_TEST_MODULE_H

/* prefix followed by 'x' up to length characters, in a buffer of the
 * module's own. */
const char* KtLongText(const char* prefix, int length);

#define KT_NAME_WITH_BACKSLASH "Sub\\Key"
/* Control characters, which would end a line of the help contents file or
 * stand in a registry key's name. */
#define KT_HELP_WITH_LINE_BREAK "Broken Help=broken.hlp\r\n:Include evil.cnt"
#define KT_NAME_WITH_TAB "Tab\tName"

#endif
