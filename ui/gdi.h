// GDI objects and device contexts that free themselves.
#pragma once

#include "ui/win.h"

class TGdiObj {
public:
    explicit TGdiObj(HGDIOBJ object = nullptr) : handle(object) {}
    ~TGdiObj() {
        if (handle)
            DeleteObject(handle);
    }
    TGdiObj(const TGdiObj&) = delete;
    TGdiObj& operator=(const TGdiObj&) = delete;
    HGDIOBJ Handle() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

protected:
    HGDIOBJ handle;
};

class TBrush : public TGdiObj {
public:
    explicit TBrush(COLORREF colour) : TGdiObj(CreateSolidBrush(colour)) {}
    operator HBRUSH() const { return static_cast<HBRUSH>(handle); }
};

class TFont : public TGdiObj {
public:
    explicit TFont(const LOGFONTA& font) : TGdiObj(CreateFontIndirectA(&font)) {}
    operator HFONT() const { return static_cast<HFONT>(handle); }
};

// A device context whose selections and modes are undone when it goes.
class TDC {
public:
    explicit TDC(HDC dc) : hdc(dc), saved(dc ? SaveDC(dc) : 0) {}
    virtual ~TDC() {
        if (saved)
            RestoreDC(hdc, saved);
    }
    TDC(const TDC&) = delete;
    TDC& operator=(const TDC&) = delete;
    operator HDC() const { return hdc; }
    HGDIOBJ Select(HGDIOBJ object) { return object ? SelectObject(hdc, object) : nullptr; }

protected:
    HDC hdc;
    int saved;
};

// One painting scope: BeginPaint on construction, EndPaint on destruction.
class TPaintDC {
public:
    explicit TPaintDC(TWin* win) : window(win->GetHandle()), hdc(BeginPaint(window, &ps)) {}
    ~TPaintDC() { EndPaint(window, &ps); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    operator HDC() const { return hdc; }
    const PAINTSTRUCT& Info() const { return ps; }

private:
    PAINTSTRUCT ps{};
    HWND window;
    HDC hdc;
};
