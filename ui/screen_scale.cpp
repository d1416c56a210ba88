#include "ui/screen_scale.h"

namespace {

constexpr int kBaseDpi = USER_DEFAULT_SCREEN_DPI;
constexpr int kClassNameSize = 16;

int ReadScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen)
        return kBaseDpi;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int ScreenDpi() {
    static const int dpi = ReadScreenDpi();
    return dpi;
}

int ScaleToScreen(int pixelsAt96) {
    return MulDiv(pixelsAt96, ScreenDpi(), kBaseDpi);
}

HICON ExtractIconAtSize(const char* program, int size) {
    HICON icon = nullptr;
    UINT id = 0;
    // Answers the number of icons made, or -1 for a file it cannot read.
    UINT made = PrivateExtractIconsA(program, 0, size, size, &icon, &id, 1, 0);
    if (made == 0 || made == static_cast<UINT>(-1))
        return nullptr;
    return icon;
}

HBITMAP ScaleStaticBitmap(HWND control) {
    if (!control || ScreenDpi() == kBaseDpi)
        return nullptr;
    auto original = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (!original || !GetObjectA(original, sizeof info, &info))
        return nullptr;
    auto scaled = static_cast<HBITMAP>(CopyImage(
        original, IMAGE_BITMAP, ScaleToScreen(info.bmWidth), ScaleToScreen(info.bmHeight), 0));
    if (!scaled)
        return nullptr;
    // The control fits itself to the new picture. The one it loaded from the
    // template is nobody's once it is out of the control.
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled)));
    if (previous && previous != scaled)
        DeleteObject(previous);
    return scaled;
}

HWND FindBitmapStatic(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[kClassNameSize];
        if (!GetClassNameA(child, className, sizeof className) || lstrcmpiA(className, "Static"))
            continue;
        if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            return child;
    }
    return nullptr;
}
