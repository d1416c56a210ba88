#include "sheet/config_dlg.h"
#include "sheet/tree_sheet.h"
#include "tests/sheet/stand_in_pages.h"
#include "tests/support/config_dialog.h"
#include "tests/support/icon_resource.h"
#include "tests/support/registry_sandbox.h"

#include "ktconfig_version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kt_test::IconDir;
using kt_test::ProgramResource;

TEST(Resources, IconsAreOneLargeAndOneSmallSixteenColourPicture) {
    struct Case {
        int id;
        int size;
    } cases[] = {{1, 32}, {2, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        auto* group =
            static_cast<const IconDir*>(ProgramResource(MAKEINTRESOURCEA(c.id), RT_GROUP_ICON));
        ASSERT_TRUE(group);
        ASSERT_EQ(1, group->count);
        EXPECT_EQ(c.size, group->entries[0].width);
        EXPECT_EQ(c.size, group->entries[0].height);
        EXPECT_EQ(16, group->entries[0].colourCount);
        EXPECT_EQ(4, group->entries[0].bitCount);
        EXPECT_TRUE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.id)));
    }
}

TEST(Resources, LogoIsA94By16SixteenColourBitmap) {
    auto* info =
        static_cast<const BITMAPINFOHEADER*>(ProgramResource(MAKEINTRESOURCEA(101), RT_BITMAP));
    ASSERT_TRUE(info);
    EXPECT_EQ(94, info->biWidth);
    EXPECT_EQ(16, info->biHeight);
    EXPECT_EQ(4, info->biBitCount);
}

TEST(Resources, VersionBlockDescribesTheProgramWithTheProjectsVersion) {
    char path[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameA(nullptr, path, sizeof path));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {{"FileDescription", "Korvane & Tools Configuration"},
                          {"FileVersion", KT_FILE_VERSION_TEXT},
                          {"ProductVersion", KT_PRODUCT_VERSION_TEXT},
                          {"OriginalFilename", "ktconfig.exe"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string query = std::string("\\StringFileInfo\\040904E4\\") + c.name;
        char* text = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text),
                                   &length));
        EXPECT_STREQ(c.value, text);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(KT_VERSION_MINOR, KT_VERSION_MAJOR)),
              fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, KT_VERSION_PATCH)), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
}

class ConfigTemplateTest : public ::testing::Test {
protected:
    kt_test::RegistrySandbox registry;
    kt_test::StandInPages standIns;
    kt_test::ConfigDialogFixture fixture;
};

TEST_F(ConfigTemplateTest, ControlsSitWhereTheTemplatePutsThem) {
    ASSERT_TRUE(fixture.Build());
    HWND dialog = fixture.DialogWindow();
    struct Case {
        int id;
        RECT units;
        const char* text;
    } cases[] = {
        {IDOK, {172, 187, 44, 14}, "OK"},
        {IDCANCEL, {222, 187, 44, 14}, "Cancel"},
        {IDHELP, {272, 187, 44, 14}, "Help"},
        {kPageTreeId, {7, 8, 90, 171}, ""},
        {kCaptionId, {107, 8, 208, 12}, "Page description"},
        {kPlaceholderId, {106, 28, 60, 8}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_TRUE(control);
        RECT expected{c.units.left, c.units.top, c.units.left + c.units.right,
                      c.units.top + c.units.bottom};
        ASSERT_TRUE(MapDialogRect(dialog, &expected));
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(expected.left, actual.left);
        EXPECT_EQ(expected.top, actual.top);
        EXPECT_EQ(expected.right, actual.right);
        EXPECT_EQ(expected.bottom, actual.bottom);
        char text[64];
        GetWindowTextA(control, text, sizeof text);
        EXPECT_STREQ(c.text, text);
    }
    EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    // The tree view trades a border for a client edge as it is created.
    HWND tree = GetDlgItem(dialog, kPageTreeId);
    const LONG_PTR treeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                               TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP;
    EXPECT_EQ(treeStyle, GetWindowLongPtrA(tree, GWL_STYLE) & treeStyle);
    EXPECT_TRUE((GetWindowLongPtrA(tree, GWL_STYLE) & WS_BORDER) ||
                (GetWindowLongPtrA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    const LONG_PTR dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(dialogStyle, GetWindowLongPtrA(dialog, GWL_STYLE) & dialogStyle);
    EXPECT_TRUE((GetWindowLongPtrA(dialog, GWL_STYLE) & DS_CONTEXTHELP) ||
                (GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP));
    EXPECT_FALSE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_VISIBLE);
    RECT client;
    GetClientRect(dialog, &client);
    RECT size{0, 0, 323, 207};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);
}

}  // namespace
