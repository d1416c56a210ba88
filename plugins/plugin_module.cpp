#include "plugins/plugin_module.h"

#include "plugins/version_file.h"
#include "ui/file_util.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kMarkerPath[] = "\\StringFileInfo\\040904E4\\InternalName";
// Long enough to tell the marker from any longer value.
constexpr UINT kMarkerCopySize = sizeof PL_MARKER + 1;

// VerQueryValueA converts a text into the space behind the block, as far
// as the block's own length word reaches, and walks nodes as long as their
// words say: a damaged module whose words claim more than its resource
// holds had it write past a buffer of the size that the system asked for.
// The buffer holds all that words of that size can reach, zeroed, and the
// system copies no more than a whole block into it, so that a damaged
// block reads the same every time.
constexpr DWORD kQueryBufferSize = 4 * 0x10000 + 16;

bool IsMarker(const char* value, UINT length) {
    // The value need not be terminated inside what the query reports.
    char copy[kMarkerCopySize];
    UINT n = length < kMarkerCopySize - 1 ? length : kMarkerCopySize - 1;
    std::memcpy(copy, value, n);
    copy[n] = '\0';
    return StrEqual(copy, PL_MARKER) != 0;
}

}  // namespace

int IsPluginModule(const char* path) {
    char text[kMarkerCopySize];
    switch (ReadVersionText(path, kMarkerPath, text, sizeof text)) {
        case TVersionText::Found:
            return IsMarker(text, static_cast<UINT>(std::strlen(text)));
        case TVersionText::Missing:
        case TVersionText::Damaged:
            return 0;
        case TVersionText::AskSystem:
            break;
    }
    return SystemFindsMarker(path);
}

int SystemFindsMarker(const char* path) {
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &unused);
    if (size == 0)
        return 0;
    void* block = std::calloc(1, kQueryBufferSize);
    if (!block)
        return 0;
    int marked = 0;
    if (GetFileVersionInfoA(path, 0, size < kSystemBlockCopy ? size : kSystemBlockCopy, block)) {
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(block, kMarkerPath, &value, &length) && value)
            marked = IsMarker(static_cast<const char*>(value), length);
    }
    std::free(block);
    return marked;
}

TPluginModule::TPluginModule(const char* path) : TLib(path), info{}, valid(0) {
    if (!GetHandle())
        return;
    info.size = sizeof info;
    // A function pointer of no particular type: converted through the one
    // that matches every function.
    auto getInfo =
        reinterpret_cast<PLGetInfoProc>(reinterpret_cast<void (*)()>(GetProc("PLGetInfo")));
    if (!getInfo || !getInfo(&info, PL_PRODUCT))
        return;
    // A module that names nothing cannot be shown or registered.
    valid = info.version == PL_VERSION && info.name != nullptr;
}
