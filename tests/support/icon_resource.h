// The group-icon resource of this program as the resource compiler lays it
// out, for tests of the icons the program carries.
#pragma once

#include <windows.h>

namespace kt_test {

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDir {
    WORD reserved;
    WORD type;
    WORD count;
    IconDirEntry entries[1];
};
#pragma pack(pop)

// A resource of this program, null when there is none.
inline const void* ProgramResource(LPCSTR name, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    return loaded ? LockResource(loaded) : nullptr;
}

// The group of icon resource id, null when there is none.
inline const IconDir* IconGroup(int id) {
    return static_cast<const IconDir*>(ProgramResource(MAKEINTRESOURCEA(id), RT_GROUP_ICON));
}

}  // namespace kt_test
