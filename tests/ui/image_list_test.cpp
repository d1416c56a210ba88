// An icon resource put into an image list from its own bits must look
// exactly as the system's icon put there by ImageList_ReplaceIcon: drawn
// normally over any background, and as its mask.
#include "resources/network_page_ids.h"
#include "resources/share_tool_page_ids.h"
#include "ui/image_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The list's picture drawn over a background, as 32-bit pixels.
std::vector<DWORD> Drawn(HIMAGELIST list, int index, COLORREF background, UINT style) {
    int width = 0, height = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &width, &height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(nullptr, canvas);
    if (!canvas) {
        DeleteDC(dc);
        return {};
    }
    HGDIOBJ old = SelectObject(dc, canvas);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    EXPECT_TRUE(ImageList_Draw(list, index, dc, 0, 0, style));
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                              static_cast<const DWORD*>(bits) + width * height);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    return pixels;
}

// Both ways into lists of one size; the second image of each list, so that
// the place of a picture in the list is part of what is compared.
void ExpectSamePictures(int resource, int width, int height) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    HIMAGELIST system = ImageList_Create(width, height, ILC_MASK, 2, 0);
    HIMAGELIST direct = ImageList_Create(width, height, ILC_MASK, 2, 0);
    ASSERT_TRUE(system && direct);
    for (int round = 0; round < 2; ++round) {
        auto icon = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(resource), IMAGE_ICON, width, height, 0));
        ASSERT_NE(nullptr, icon) << resource;
        EXPECT_EQ(round, ImageList_ReplaceIcon(system, -1, icon));
        DestroyIcon(icon);
        EXPECT_EQ(round, AddResourceIcon(direct, module, resource)) << resource;
    }
    const std::string where = "icon " + std::to_string(resource) + " at " + std::to_string(width) +
                              "x" + std::to_string(height);
    for (COLORREF background : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(40, 160, 90)}) {
        EXPECT_EQ(Drawn(system, 1, background, ILD_NORMAL),
                  Drawn(direct, 1, background, ILD_NORMAL))
            << where;
    }
    EXPECT_EQ(Drawn(system, 1, RGB(255, 255, 255), ILD_MASK),
              Drawn(direct, 1, RGB(255, 255, 255), ILD_MASK))
        << where;
    ImageList_Destroy(system);
    ImageList_Destroy(direct);
}

TEST(ImageList, AResourceIconLooksAsTheSystemsIconAtEverySize) {
    const int resources[] = {IDI_NETWORK_DIRECTORY,
                             IDI_NETWORK_LDAP_SERVER,
                             IDI_NETWORK_RESOURCE_MANAGER,
                             IDI_SHARETOOL_DEFAULT,
                             1,
                             2};
    for (int resource : resources) {
        // The list sizes of the pages at 96, 144 and 192 DPI: the
        // resource's own size, and stretched ones.
        ExpectSamePictures(resource, 16, 14);
        ExpectSamePictures(resource, 16, 16);
        ExpectSamePictures(resource, 24, 21);
        ExpectSamePictures(resource, 32, 32);
    }
}

TEST(ImageList, AMissingResourceAddsNothing) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_MASK, 2, 0);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(-1, AddResourceIcon(list, GetModuleHandleA(nullptr), 32000));
    EXPECT_EQ(-1, AddResourceIcon(nullptr, GetModuleHandleA(nullptr), IDI_SHARETOOL_DEFAULT));
    EXPECT_EQ(0, ImageList_GetImageCount(list));
    ImageList_Destroy(list);
}

}  // namespace
