#include "ui/file_static.h"

#include <shlwapi.h>

namespace {

// The control's own text measure: its font on a screen DC of the control.
class TControlDC {
public:
    explicit TControlDC(HWND control) : window(control), dc(GetDC(control)), oldFont(nullptr) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        if (dc && font)
            oldFont = SelectObject(dc, font);
    }
    ~TControlDC() {
        if (!dc)
            return;
        if (oldFont)
            SelectObject(dc, oldFont);
        ReleaseDC(window, dc);
    }
    TControlDC(const TControlDC&) = delete;
    TControlDC& operator=(const TControlDC&) = delete;
    operator HDC() const { return dc; }

private:
    HWND window;
    HDC dc;
    HGDIOBJ oldFont;
};

}  // namespace

int TFileStatic::SetData() {
    const char* path = static_cast<const char*>(dataLink);
    if (!hwnd || !path)
        return 0;
    // PathCompactPath works in place on a MAX_PATH buffer.
    char shown[MAX_PATH];
    lstrcpynA(shown, path, sizeof shown);
    RECT client;
    if (GetClientRect(hwnd, &client) && client.right > 0) {
        TControlDC dc(hwnd);
        // Without a DC the full path is shown and the static clips it.
        if (dc)
            PathCompactPathA(dc, shown, static_cast<UINT>(client.right));
    }
    SetText(shown);
    return 1;
}
