// The window object: one C++ object per window, found again from its handle.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

class TWin;

// One message as the dispatcher hands it to a handler.
struct TMsg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

class TRect : public RECT {
public:
    TRect() : RECT{0, 0, 0, 0} {}
    TRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    // The client rectangle of the window (empty when it has none).
    TRect& operator=(const TWin* win);
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// What TWin::Create passes to CreateWindowExA.
struct TWinCreateAttrs {
    const char* className;
    const char* title;
    DWORD style;
    DWORD exStyle;
    int x, y, w, h;
    int id;
};

class TWin {
public:
    TWin(const char* className, TWin* parent, int id);
    virtual ~TWin();

    // Window objects never throw: a failed allocation gives null and the
    // constructor does not run.
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block) noexcept;

    static TWin* GetWin(HWND window);

    HWND GetHandle() const { return hwnd; }
    operator HWND() const { return hwnd; }
    TWin* GetParent() const { return parent; }
    int GetId() const { return wca.id; }

    // Attaches this object to an existing window and routes its messages to
    // MsgProc; the window's own procedure becomes the default processing.
    int LinkWindow(HWND window);
    // Detaches the object: the window gets its own procedure back.
    void UnlinkWindow();
    // Whether the object is deleted when its window is destroyed. Objects
    // from operator new are, objects on the stack or inside another are not.
    bool DeletedWithWindow() const { return deleteWithWindow; }
    void SetDeleteWithWindow(bool on) { deleteWithWindow = on; }

    // Creates the window from wca; returns nonzero on success.
    virtual int Create();

    virtual LRESULT MsgProc(TMsg& msg);
    virtual int IsDialog() const { return 0; }
    virtual int IsControl() const { return 0; }

    // Handlers: nonzero means the message has been dealt with.
    virtual int Key(TMsg&) { return 0; }
    virtual int Sized(TRect&, UINT) { return 0; }
    virtual int Timer(UINT_PTR) { return 0; }
    virtual int Other(TMsg&) { return 0; }
    virtual int Command(int id, unsigned code);
    virtual int Notify(int id, NMHDR* header, LRESULT* result);
    virtual int Paint() { return 0; }

    // Passes the message to the window's own procedure.
    LRESULT DefaultProc(const TMsg& msg);

    // Set when an F1 press has been turned into a help command, so that the
    // WM_HELP that the system raises for the same key is dropped once.
    static int bEatHelpMessage;

    TWinCreateAttrs wca;

    // Test seam: the next n window-object allocations fail.
    static void FailAllocations(int n);

    // The window procedure of every linked window when no application
    // object supplies its own; behaves as the application's.
    static LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);

protected:
    HWND hwnd = nullptr;
    TWin* parent;

private:
    static LRESULT CALLBACK StartProc(HWND, UINT, WPARAM, LPARAM);
    static int RegisterClassFor(const char* className);

    WNDPROC ownProc = nullptr;
    bool deleteWithWindow = false;
};

// Allocates and constructs a window object whose constructor makes or takes
// over its window. Null when either fails: an object without a window would
// never be deleted with one.
template <class T, class... Args>
T* NewWindowObject(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    if (object && !object->GetHandle()) {
        delete object;
        return nullptr;
    }
    return object;
}

// The routine every linked window's messages go through (the application's,
// or TWin::StdWndProc).
WNDPROC LayerWndProc();
