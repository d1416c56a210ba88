#include "sheet/error_sink.h"

#include "sheet/config_dlg.h"
#include "sheet/config_page.h"

void TPageErrors::Report(const char* text, int kind) {
    AddError(page, text, kind);
}
