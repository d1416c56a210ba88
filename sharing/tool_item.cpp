#include "sharing/tool_item.h"

#include <cstdlib>

namespace {

int liveRecords = 0;

}  // namespace

TToolItem* TToolItem::New(const char* name, const char* commandLine) {
    auto* record = static_cast<TToolItem*>(std::malloc(sizeof(TToolItem)));
    if (!record)
        return nullptr;
    record->image = 0;
    lstrcpynA(record->name, name ? name : "", sizeof record->name);
    lstrcpynA(record->commandLine, commandLine ? commandLine : "", sizeof record->commandLine);
    ++liveRecords;
    return record;
}

void TToolItem::Free(TToolItem* record) {
    if (!record)
        return;
    --liveRecords;
    std::free(record);
}

int TToolItem::LiveCount() {
    return liveRecords;
}
