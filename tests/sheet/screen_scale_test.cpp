#include "resources/network_page_ids.h"
#include "resources/share_tool_page_ids.h"
#include "sharing/tool_item.h"
#include "sheet/config_dlg.h"
#include "sheet/config_page.h"
#include "tests/support/config_dialog.h"
#include "tests/support/process.h"
#include "tests/support/program_copy.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"
#include "ui/list_view.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kLogPixels[] = "LogPixels";
const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
constexpr int kErrorListId = 256;
const char* const kNetworkKeys[] = {"SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer",
                                    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort",
                                    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase"};

// An icon file whose first icon has a 16, a 24 and a 32 pixel image, each
// of one colour of its own: the colour tells which image a list took.
struct IconImage {
    int size;
    COLORREF colour;
    const char* name;
};
const IconImage kIconImages[] = {
    {16, RGB(255, 0, 0), "red"}, {24, RGB(0, 255, 0), "green"}, {32, RGB(0, 0, 255), "blue"}};

void Put16(std::string& out, WORD value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}
void Put32(std::string& out, DWORD value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// One image of an icon file: its header (twice the height, for the mask),
// opaque 32-bit pixels, and an empty mask.
std::string IconImageBits(const IconImage& image) {
    std::string bits;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.size;
    header.biHeight = image.size * 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    bits.append(reinterpret_cast<const char*>(&header), sizeof header);
    for (int pixel = 0; pixel < image.size * image.size; ++pixel)
        Put32(bits, 0xFF000000u | (GetRValue(image.colour) << 16) | (GetGValue(image.colour) << 8) |
                        GetBValue(image.colour));
    int maskRow = (image.size + 31) / 32 * 4;
    bits.append(static_cast<size_t>(maskRow * image.size), '\0');
    return bits;
}

std::string IconFile() {
    constexpr int kCount = sizeof kIconImages / sizeof kIconImages[0];
    std::string file;
    Put16(file, 0);
    Put16(file, 1);  // an icon, not a cursor
    Put16(file, kCount);
    std::vector<std::string> images;
    DWORD offset = 6 + 16 * kCount;
    for (const IconImage& image : kIconImages) {
        images.push_back(IconImageBits(image));
        file += static_cast<char>(image.size);
        file += static_cast<char>(image.size);
        file += '\0';  // no palette
        file += '\0';
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<DWORD>(images.back().size()));
        Put32(file, offset);
        offset += static_cast<DWORD>(images.back().size());
    }
    for (const std::string& bits : images)
        file += bits;
    return file;
}

BOOL CALLBACK FindBitmap(HWND child, LPARAM found) {
    char className[16];
    if (GetClassNameA(child, className, sizeof className) && !lstrcmpiA(className, "Static") &&
        (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

std::string SizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string PictureSize(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    return SizeText(area.right, area.bottom);
}

std::string IconSize(HWND list) {
    auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int width = 0, height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height))
        return "(no image list)";
    return SizeText(width, height);
}

// The colour of the middle of a list's picture, by the name of the icon
// image it came from.
std::string ImageColour(HWND list, int image) {
    auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int width = 0, height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height))
        return "(no image list)";
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, canvas);
    ImageList_Draw(images, image, memory, 0, 0, ILD_NORMAL);
    COLORREF middle = GetPixel(memory, width / 2, height / 2);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (const IconImage& known : kIconImages) {
        if (middle == known.colour)
            return known.name;
    }
    char other[16];
    std::snprintf(other, sizeof other, "#%06lx", static_cast<unsigned long>(middle));
    return other;
}

// Started by the test below in a process of its own, at the screen DPI that
// the test set: builds the dialog with a server of each kind and one tool,
// and prints the sizes of its pictures.
TEST(ScreenScaleChild, DISABLED_PrintsThePictureSizes) {
    kt_test::RegistrySandbox registry;
    kt_test::TempDir dir;
    dir.Write("tool.ico", IconFile());
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
    const char* const items[][3] = {
        {"Main", nullptr, nullptr}, {"ldap1", "389", "o=Tavrel"}, {"Rm.Server", "COM", nullptr}};
    for (int item = 0; item < 3; ++item) {
        std::string value = "Value" + std::to_string(item + 1);
        for (int part = 0; part < 3; ++part) {
            kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kNetworkKeys[part]);
            if (items[item][part])
                kt_test::SetRegString(HKEY_LOCAL_MACHINE, kNetworkKeys[part], value.c_str(),
                                      items[item][part]);
        }
    }
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\Painter").c_str(),
                          nullptr, ("\"" + dir.File("tool.ico") + "\"").c_str());

    kt_test::ConfigDialogFixture fixture;
    ASSERT_TRUE(fixture.Build());
    HWND logo = nullptr;
    EnumChildWindows(fixture.DialogWindow(), FindBitmap, reinterpret_cast<LPARAM>(&logo));
    ASSERT_TRUE(logo);
    HWND servers = GetDlgItem(fixture.PageWindow("Network"), IDC_NETWORK_LIST);
    HWND tools = GetDlgItem(fixture.PageWindow("Channel sharing"), IDC_SHARETOOL_LIST);
    ASSERT_TRUE(servers && tools);
    auto* tool = static_cast<TToolItem*>(GetItemData(tools, 0));
    ASSERT_TRUE(tool);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT dialog{};
    GetClientRect(fixture.DialogWindow(), &dialog);
    AddError(fixture.Page("Network"), "a line to read", 1);
    HWND lines = GetDlgItem(fixture.ErrorWindow(), kErrorListId);
    LOGFONTA errorFont{};
    auto font = reinterpret_cast<HFONT>(SendMessageA(lines, WM_GETFONT, 0, 0));
    ASSERT_TRUE(font && GetObjectA(font, sizeof errorFont, &errorFont));
    std::printf(
        "\ndpi=%d\ndialog-width=%ld\nlogo=%s\nservers=%s\ntools=%s\ntool-image=%s\n"
        "error-font=%ld\n",
        dpi, dialog.right, PictureSize(logo).c_str(), IconSize(servers).c_str(),
        IconSize(tools).c_str(), ImageColour(tools, tool->image).c_str(), errorFont.lfHeight);
    std::fflush(stdout);
}

// The user's screen DPI while it lives, for the processes started meanwhile:
// Wine takes LogPixels from the user's desktop settings when a process
// starts. The prefix's own setting (or its absence) comes back afterwards.
class ScreenDpiSetting {
public:
    explicit ScreenDpiSetting(DWORD dpi) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot open HKCU\\" << kDesktopKey;
            return;
        }
        DWORD size = sizeof saved;
        DWORD type = 0;
        hadValue = RegQueryValueExA(key, kLogPixels, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&saved), &size) == ERROR_SUCCESS &&
                   type == REG_DWORD;
        set = RegSetValueExA(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                             sizeof dpi) == ERROR_SUCCESS;
        EXPECT_TRUE(set) << "cannot set the screen DPI";
        RegCloseKey(key);
    }
    ~ScreenDpiSetting() {
        HKEY key = nullptr;
        if (!set ||
            RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return;
        if (hadValue)
            RegSetValueExA(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved),
                           sizeof saved);
        else
            RegDeleteValueA(key, kLogPixels);
        RegCloseKey(key);
    }
    ScreenDpiSetting(const ScreenDpiSetting&) = delete;
    ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;

private:
    bool set = false;
    bool hadValue = false;
    DWORD saved = 0;
};

TEST(ScreenScale, PicturesAndTheErrorListFontGrowWithTheScreen) {
    struct Case {
        int dpi;
        const char* logo;
        const char* servers;
        const char* tools;
        const char* toolImage;  // the program's own image of the list's size
        const char* errorFont;  // the error window's character height
    };
    const Case cases[] = {
        {96, "94x16", "16x14", "16x16", "red", "-10"},
        {144, "141x24", "24x21", "24x24", "green", "-15"},
        {192, "188x32", "32x28", "32x32", "blue", "-20"},
    };
    char self[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameA(nullptr, self, sizeof self));
    int widthAt96 = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        std::string output;
        DWORD exitCode = 0;
        {
            ScreenDpiSetting setting(static_cast<DWORD>(c.dpi));
            ASSERT_TRUE(kt_test::RunAndCapture(std::string("\"") + self +
                                                   "\" --gtest_also_run_disabled_tests "
                                                   "--gtest_filter=ScreenScaleChild.*",
                                               &output, &exitCode, 60000));
        }
        ASSERT_EQ(0u, exitCode) << output;
        EXPECT_EQ(std::to_string(c.dpi), kt_test::Field(output, "dpi"));
        EXPECT_EQ(c.logo, kt_test::Field(output, "logo"));
        EXPECT_EQ(c.servers, kt_test::Field(output, "servers"));
        EXPECT_EQ(c.tools, kt_test::Field(output, "tools"));
        EXPECT_EQ(c.toolImage, kt_test::Field(output, "tool-image"));
        EXPECT_EQ(c.errorFont, kt_test::Field(output, "error-font"));
        // The pictures grow as much as the dialog around them.
        int width = std::atoi(kt_test::Field(output, "dialog-width").c_str());
        if (c.dpi == 96)
            widthAt96 = width;
        else
            EXPECT_NEAR(widthAt96 * c.dpi / 96, width, widthAt96 * c.dpi / 96 / 10);
    }
}

}  // namespace
