// The Network page's templates and row icons as the program carries them.
#include "tests/network/network_world.h"

#include "tests/support/icon_resource.h"
#include "tests/support/modal_answerer.h"

#include <map>
#include <string>
#include <vector>

namespace {

using Colour = COLORREF;
const Colour kYellow = RGB(255, 255, 0);
const Colour kCyan = RGB(0, 255, 255);
const Colour kBlue = RGB(0, 0, 255);
const Colour kDarkGrey = RGB(128, 128, 128);

// How many pixels of each colour the icon shows, and how many are clear.
struct Picture {
    std::map<Colour, int> colours;
    int clear = 0;
};

Picture Look(int id) {
    Picture picture;
    auto icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 14, 0));
    EXPECT_NE(nullptr, icon) << id;
    if (!icon)
        return picture;
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    HDC screen = GetDC(nullptr);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 16;
    format.bmiHeader.biHeight = -14;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    DWORD colour[16 * 14] = {};
    DWORD mask[16 * 14] = {};
    EXPECT_EQ(14, GetDIBits(screen, info.hbmColor, 0, 14, colour, &format, DIB_RGB_COLORS));
    EXPECT_EQ(14, GetDIBits(screen, info.hbmMask, 0, 14, mask, &format, DIB_RGB_COLORS));
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 16 * 14; ++i) {
        if (mask[i] & 0xFFFFFF) {
            ++picture.clear;
            continue;
        }
        DWORD c = colour[i];
        ++picture.colours[RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)];
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return picture;
}

TEST(NetworkResources, RowIconsAre16By14SixteenColourPictures) {
    for (int id : {IDI_NETWORK_DIRECTORY, IDI_NETWORK_LDAP_SERVER, IDI_NETWORK_RESOURCE_MANAGER}) {
        SCOPED_TRACE(id);
        const kt_test::IconDir* group = kt_test::IconGroup(id);
        ASSERT_TRUE(group);
        ASSERT_EQ(1, group->count);
        EXPECT_EQ(16, group->entries[0].width);
        EXPECT_EQ(14, group->entries[0].height);
        EXPECT_EQ(16, group->entries[0].colourCount);
        EXPECT_EQ(4, group->entries[0].bitCount);
    }
}

TEST(NetworkResources, RowIconsShowTheirMotifs) {
    // A yellow folder, with clear space above its tab.
    Picture folder = Look(IDI_NETWORK_DIRECTORY);
    EXPECT_GT(folder.colours[kYellow], 16 * 14 / 2);
    EXPECT_GT(folder.clear, 0);
    // A dark tile, whole, with a cyan square in it.
    Picture server = Look(IDI_NETWORK_LDAP_SERVER);
    EXPECT_EQ(0, server.clear);
    EXPECT_GE(server.colours[kCyan], 16);
    EXPECT_GT(server.colours[kDarkGrey], 16 * 14 / 3);
    EXPECT_GE(server.colours.size(), 6u) << "a tile, a square and three coloured bars";
    // Blue boxes on a clear ground.
    Picture boxes = Look(IDI_NETWORK_RESOURCE_MANAGER);
    EXPECT_GE(boxes.colours[kBlue], 24);
    EXPECT_GT(boxes.clear, 16 * 14 / 3);
}

std::vector<std::string> ChildTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[256] = "";
        GetWindowTextA(child, text, sizeof text);
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        texts.push_back(std::to_string(GetDlgCtrlID(child) & 0xFFFF) + " " + className + " " +
                        text);
    }
    return texts;
}

SIZE ClientInUnits(HWND window, int width, int height) {
    RECT units{0, 0, width, height};
    MapDialogRect(window, &units);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);
    return {client.right, client.bottom};
}

class NetworkTemplates : public ::testing::Test, protected kt_test::NetworkWorld {};

TEST_F(NetworkTemplates, ThePageHoldsItsListAndButtonsInTabOrder) {
    ASSERT_TRUE(Build());
    ClientInUnits(page, 211, 152);
    EXPECT_EQ((std::vector<std::string>{
                  "65535 Static Directory and Resource Manager servers and central directories",
                  "292 SysListView32 ", "289 Button &Add dir", "294 Button Add &LDAP",
                  "307 Button Add &RM", "291 Button &Modify", "290 Button &Delete"}),
              ChildTexts(page));
}

TEST_F(NetworkTemplates, TheDefinitionDialogsHaveTheirCaptionsSizesAndControls) {
    ASSERT_TRUE(Build());
    struct Case {
        int button;
        const char* caption;
        int width, height;
        std::vector<std::string> controls;
    } cases[] = {
        {IDC_NETWORK_ADD_LDAP,
         kt_test::kServerCaption,
         240,
         86,
         {"65535 Static Server &name or IP address:", "299 Edit ",
          "65535 Static &Port:", "300 Edit 389", "65535 Static Search &base:", "301 Edit ",
          "303 Button OK", "2 Button Cancel", "9 Button &Help"}},
        {IDC_NETWORK_ADD_DIR,
         kt_test::kDirectoryCaption,
         240,
         55,
         {"65535 Static &Directory name:", "296 Edit ", "275 Button >", "302 Button OK",
          "2 Button Cancel", "9 Button &Help"}},
        {IDC_NETWORK_ADD_RM,
         kt_test::kProgIdCaption,
         239,
         55,
         {"308 Static ProgID:", "306 Edit ", "1 Button OK", "2 Button Cancel", "9 Button &Help"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(c.caption, "", [&c](HWND window) {
            ClientInUnits(window, c.width, c.height);
            EXPECT_EQ(c.controls, ChildTexts(window));
            LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
            EXPECT_EQ(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                      style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
            EXPECT_TRUE((style & DS_CONTEXTHELP) ||
                        (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CONTEXTHELP));
            kt_test::PressButton(window, IDCANCEL);
        });
        PressButton(c.button);
        answerer.Verify();
    }
}

}  // namespace
