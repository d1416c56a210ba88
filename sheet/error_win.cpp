#include "sheet/error_win.h"

#include "ui/app.h"
#include "ui/screen_scale.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kClassName[] = "ErrorWindow";
const char kTitle[] = "Korvane & Tools Configuration - %s";
constexpr int kListId = 256;
constexpr int kCaptionSize = 2048;
constexpr int kLineSlack = 16;
constexpr int kLeftOffset = 60;
constexpr int kTopOffset = 120;
constexpr int kLargeIcon = 1;
constexpr int kSmallIcon = 2;
constexpr int kFontPixels = 10;
constexpr DWORD kListStyle = WS_BORDER | WS_VSCROLL | LBS_USETABSTOPS | LBS_NOTIFY;

}  // namespace

TErrorWin* TErrorWin::current = nullptr;

TErrorListBox::TErrorListBox(TWin* parentWin) : TListBox(parentWin, kListId, kListStyle) {
    SetDataLink(nullptr);
    // The window's client edge frames the list; whole-line heights would
    // leave a gap below the last line after a resize.
    wca.style = (wca.style & ~WS_BORDER) | LBS_NOINTEGRALHEIGHT;
    if (!TryLink() && !Create())
        return;
    TRect client;
    client = parentWin;
    MoveWindow(hwnd, client.left, client.top, client.Width(), client.Height(), FALSE);
    LOGFONTA face{};
    // 10 pixels at 96 DPI, grown with the screen as the dialog's font is.
    face.lfHeight = -ScaleToScreen(kFontPixels);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = ANSI_CHARSET;
    face.lfOutPrecision = OUT_DEFAULT_PRECIS;
    face.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    face.lfQuality = DEFAULT_QUALITY;
    face.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpynA(face.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    font = CreateFontIndirectA(&face);
    if (font)
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

TErrorListBox::~TErrorListBox() {
    // The list window is gone by now and no longer draws with the font.
    if (font)
        DeleteObject(font);
}

int TErrorListBox::Key(TMsg& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN))
        return 0;
    // Sent, not posted: the window is gone before this returns, and with it
    // this object; nothing here may be touched afterwards.
    if (TWin* owner = TWin::GetWin(::GetParent(hwnd)))
        SendMessageA(owner->GetHandle(), WM_CLOSE, 0, 0);
    return 1;
}

TErrorWin::TErrorWin(TWin* mainWin) : TWin(kClassName, nullptr, 0) {
    RECT main{0, 0, 0, 0};
    if (mainWin && mainWin->GetHandle())
        GetWindowRect(mainWin->GetHandle(), &main);
    wca.x = main.left + kLeftOffset;
    wca.y = main.top + kTopOffset;
    wca.w = main.right - main.left;
    wca.h = (main.bottom - main.top) / 2;
    wca.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    wca.exStyle = WS_EX_CLIENTEDGE;
    if (!Create())
        return;
    SetWindowIcons(hwnd, kLargeIcon, kSmallIcon);
    listBox = new TErrorListBox(this);
    if (!listBox) {
        MessageBoxA(hwnd, "TErrorListBox memory allocation error", "KT&C: TErrorWin::TErrorWin",
                    MB_OK);
        return;
    }
    if (!listBox->GetHandle()) {
        // Memory was there, the window was not: the reports go to message
        // boxes (AddError answers 0), with no word of memory.
        delete listBox;
        listBox = nullptr;
        return;
    }
    SetFocus(listBox->GetHandle());
}

TErrorWin::~TErrorWin() {
    if (current == this)
        current = nullptr;
    // A window of warnings only that the user saw stood in for the hidden
    // dialog: closing it is the end of the run. One never shown (or never
    // created, which ends here in the middle of a page's save) ends nothing.
    if (shown && !hasErrors && TApp::TheApp && TApp::TheApp->mainWin) {
        HWND main = TApp::TheApp->mainWin->GetHandle();
        if (main && IsWindow(main))
            SendMessageA(main, WM_CLOSE, 0, 0);
    }
}

int TErrorWin::AddError(const char* pageName, const char* text, int kind) {
    // Without its list the window can hold nothing.
    if (!listBox || !listBox->GetHandle())
        return 0;
    const char* name = pageName ? pageName : "";
    const char* message = text ? text : "";
    size_t size = std::strlen(name) + std::strlen(message) + kLineSlack;
    char* line = static_cast<char*>(std::malloc(size));
    if (!line) {
        MessageBoxA(hwnd, "TCHAR array memory allocation error", "KT&C: TErrorWin::AddError",
                    MB_OK);
        return 1;
    }
    std::snprintf(line, size, "%s:  %s", name, message);
    int index = listBox->AddString(line);
    std::free(line);
    if (index < 0)
        return 0;
    // Each line remembers its kind, so that the window can tell again whether
    // it holds an error once some lines are gone.
    listBox->SetItemData(index, kind != 0);
    ++lineCount;
    if (kind != 0)
        hasErrors = 1;
    return 1;
}

int TErrorWin::Display() {
    if (lineCount < 1)
        return 0;
    char caption[kCaptionSize];
    std::snprintf(caption, sizeof caption, kTitle, hasErrors ? "Errors" : "Warnings");
    SetWindowTextA(hwnd, caption);
    ShowWindow(hwnd, SW_SHOW);
    shown = true;
    shownCount = lineCount;
    return hasErrors;
}

void TErrorWin::ForgetShown() {
    if (!IsWindowVisible(hwnd))
        return;
    // Hidden, not destroyed: destroying a window without errors would end
    // the run.
    ShowWindow(hwnd, SW_HIDE);
    shown = false;
    if (!listBox || !listBox->GetHandle())
        return;
    for (; shownCount > 0; --shownCount) {
        if (listBox->DeleteString(0) == LB_ERR)
            break;
    }
    shownCount = 0;
    lineCount = listBox->GetCount();
    if (lineCount < 0)
        lineCount = 0;
    hasErrors = 0;
    for (int i = 0; i < lineCount; ++i) {
        if (listBox->GetItemData(i) > 0)
            hasErrors = 1;
    }
}

int TErrorWin::Sized(TRect& rect, UINT) {
    if (listBox && listBox->GetHandle())
        MoveWindow(listBox->GetHandle(), rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
    return 0;
}
