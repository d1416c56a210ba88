#include "ui/image_list.h"

#include <cstring>

namespace {

// A palette image of the list's size exactly, as the resource compiler
// stores one: the colour image, then the one-bit mask, both bottom-up, each
// row padded to four bytes. Deeper images may carry an alpha channel, which
// the list's drawing would treat otherwise; they take the usual way.
struct TIconImage {
    const BITMAPINFOHEADER* header = nullptr;
    const RGBQUAD* colours = nullptr;
    const BYTE* colourBits = nullptr;
    const BYTE* maskBits = nullptr;
};

DWORD RowBytes(LONG width, WORD bits) {
    return ((static_cast<DWORD>(width) * bits + 31) / 32) * 4;
}

// The resource's image chosen for width x height, when it is a plain one of
// exactly that size.
bool FindPlainImage(HINSTANCE module, int resource, int width, int height, TIconImage* image) {
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(14));
    HGLOBAL groupData = group ? LoadResource(module, group) : nullptr;
    auto* directory = groupData ? static_cast<BYTE*>(LockResource(groupData)) : nullptr;
    if (!directory)
        return false;
    int id = LookupIconIdFromDirectoryEx(directory, TRUE, width, height, LR_DEFAULTCOLOR);
    HRSRC icon = id ? FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)) : nullptr;
    HGLOBAL iconData = icon ? LoadResource(module, icon) : nullptr;
    auto* bytes = iconData ? static_cast<const BYTE*>(LockResource(iconData)) : nullptr;
    DWORD size = icon ? SizeofResource(module, icon) : 0;
    if (!bytes || size < sizeof(BITMAPINFOHEADER))
        return false;
    auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    const WORD bits = header->biBitCount;
    if (header->biSize != sizeof(BITMAPINFOHEADER) || header->biWidth != width ||
        header->biHeight != 2 * height || header->biPlanes != 1 ||
        header->biCompression != BI_RGB || (bits != 1 && bits != 4 && bits != 8))
        return false;
    const DWORD colourCount = header->biClrUsed ? header->biClrUsed : (1u << bits);
    if (colourCount > (1u << bits))
        return false;
    const DWORD colourTable = colourCount * sizeof(RGBQUAD);
    const DWORD colourBytes = RowBytes(width, bits) * static_cast<DWORD>(height);
    const DWORD maskBytes = RowBytes(width, 1) * static_cast<DWORD>(height);
    if (size < header->biSize + colourTable + colourBytes + maskBytes)
        return false;
    image->header = header;
    image->colours = reinterpret_cast<const RGBQUAD*>(bytes + header->biSize);
    image->colourBits = bytes + header->biSize + colourTable;
    image->maskBits = image->colourBits + colourBytes;
    return true;
}

// A bottom-up palette bitmap of the image's size holding bits.
HBITMAP MakeBitmap(const BITMAPINFOHEADER& shape, WORD bitCount, const RGBQUAD* colours,
                   DWORD colourCount, const BYTE* bits) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header = shape;
    info.header.biHeight = shape.biHeight / 2;
    info.header.biBitCount = bitCount;
    info.header.biClrUsed = colourCount;
    info.header.biSizeImage = 0;
    std::memcpy(info.colours, colours, colourCount * sizeof(RGBQUAD));
    void* target = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &target, nullptr, 0);
    if (!bitmap || !target) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(target, bits,
                RowBytes(shape.biWidth, bitCount) * static_cast<DWORD>(info.header.biHeight));
    return bitmap;
}

int AddPlainImage(HIMAGELIST list, const TIconImage& image) {
    const BITMAPINFOHEADER& header = *image.header;
    const DWORD colourCount = header.biClrUsed ? header.biClrUsed : (1u << header.biBitCount);
    static const RGBQUAD kMaskColours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    HBITMAP colour =
        MakeBitmap(header, header.biBitCount, image.colours, colourCount, image.colourBits);
    HBITMAP mask = colour ? MakeBitmap(header, 1, kMaskColours, 2, image.maskBits) : nullptr;
    int index = mask ? ImageList_Add(list, colour, mask) : -1;
    if (mask)
        DeleteObject(mask);
    if (colour)
        DeleteObject(colour);
    return index;
}

}  // namespace

int AddResourceIcon(HIMAGELIST list, HINSTANCE module, int resource) {
    int width = 0, height = 0;
    if (!list || !ImageList_GetIconSize(list, &width, &height))
        return -1;
    TIconImage image;
    if (FindPlainImage(module, resource, width, height, &image)) {
        int index = AddPlainImage(list, image);
        if (index >= 0)
            return index;
    }
    // Another size (the screen's scale), depth or form: the icon the system
    // makes of it.
    auto icon = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(resource), IMAGE_ICON, width, height, 0));
    if (!icon)
        return -1;
    int index = ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);  // the list keeps its own copy
    return index;
}
