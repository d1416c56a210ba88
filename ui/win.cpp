#include "ui/win.h"

#include "ui/app.h"
#include "ui/control.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char kObjectProp[] = "VLWinObject";

// operator new notes the block it handed out last, so that the constructor
// can tell a heap object (deleted with its window) from one on the stack.
void* lastAllocation = nullptr;
int failingAllocations = 0;

// The window of every linked object, kept in this process: under Wine each
// window property is a round trip to the wineserver, to set and to read,
// and the dispatch looks the object up for every message. Only a window
// that the table has no room for keeps its object in a property; once the
// table has ever been full, a window it does not hold is asked for it.
class TObjectTable {
public:
    TWin* Find(HWND window, bool* sure) {
        *sure = !overflowed;
        for (size_t i = Hash(window), n = 0; n < kSize; i = (i + 1) % kSize, ++n) {
            Slot& slot = slots[i];
            if (!slot.window)
                return nullptr;
            if (slot.window != window || !slot.win)
                continue;
            // A window destroyed behind the layer's back is gone, and so is
            // its property.
            if (IsWindow(window)) {
                *sure = true;
                return slot.win;
            }
            slot.win = nullptr;
            return nullptr;
        }
        return nullptr;
    }

    // False when the table has no room (every slot but a quarter live).
    bool Add(HWND window, TWin* win) {
        Remove(window);
        if ((used + 1) * 4 > kSize * 3)
            Compact();
        if ((used + 1) * 4 > kSize * 3) {
            overflowed = true;
            return false;
        }
        size_t i = Hash(window);
        while (slots[i].window && slots[i].win)
            i = (i + 1) % kSize;
        if (!slots[i].window)
            ++used;
        slots[i] = Slot{window, win};
        return true;
    }

    // Whether the table held the window.
    bool Remove(HWND window) {
        bool held = false;
        for (size_t i = Hash(window), n = 0; n < kSize && slots[i].window;
             i = (i + 1) % kSize, ++n) {
            if (slots[i].window == window && slots[i].win) {
                slots[i].win = nullptr;  // the slot stays taken for later probes
                held = true;
            }
        }
        return held;
    }

private:
    struct Slot {
        HWND window;  // null: never taken
        TWin* win;    // null in a taken slot: removed
    };
    static constexpr size_t kSize = 1024;

    static size_t Hash(HWND window) {
        auto value = reinterpret_cast<uintptr_t>(window);
        return static_cast<size_t>((value ^ (value >> 16)) * 2654435761u) % kSize;
    }

    // Drops the removed entries, so that their slots can be taken again.
    void Compact() {
        Slot live[kSize];
        size_t count = 0;
        for (const Slot& slot : slots) {
            if (slot.window && slot.win)
                live[count++] = slot;
        }
        for (Slot& slot : slots)
            slot = Slot{nullptr, nullptr};
        used = 0;
        for (size_t k = 0; k < count; ++k) {
            size_t i = Hash(live[k].window);
            while (slots[i].window)
                i = (i + 1) % kSize;
            slots[i] = live[k];
            ++used;
        }
    }

    Slot slots[kSize] = {};
    size_t used = 0;  // taken slots, removed ones included
    bool overflowed = false;
};

TObjectTable objects;

bool IsSystemClass(const char* className) {
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    return GetClassInfoExA(nullptr, className, &info) != 0;
}

}  // namespace

int TWin::bEatHelpMessage = 0;

TRect& TRect::operator=(const TWin* win) {
    left = top = right = bottom = 0;
    if (win && win->GetHandle() && !GetClientRect(win->GetHandle(), this))
        left = top = right = bottom = 0;
    return *this;
}

WNDPROC LayerWndProc() {
    if (TApp::TheApp && TApp::TheApp->wndProc)
        return TApp::TheApp->wndProc;
    return TWin::StdWndProc;
}

TWin::TWin(const char* className, TWin* parentWin, int id) : wca{}, parent(parentWin) {
    wca.className = className;
    wca.title = "";
    wca.x = wca.y = wca.w = wca.h = CW_USEDEFAULT;
    wca.id = id;
    if (lastAllocation == this) {
        deleteWithWindow = true;
        lastAllocation = nullptr;
    }
}

TWin::~TWin() {
    if (hwnd)
        UnlinkWindow();
}

void* TWin::operator new(std::size_t size) noexcept {
    if (failingAllocations > 0) {
        --failingAllocations;
        return nullptr;
    }
    void* block = std::malloc(size);
    lastAllocation = block;
    return block;
}

void TWin::operator delete(void* block) noexcept {
    if (block == lastAllocation)
        lastAllocation = nullptr;
    std::free(block);
}

void TWin::FailAllocations(int n) {
    failingAllocations = n;
}

TWin* TWin::GetWin(HWND window) {
    if (!window)
        return nullptr;
    bool sure = false;
    if (TWin* win = objects.Find(window, &sure))
        return win;
    return sure ? nullptr : static_cast<TWin*>(GetPropA(window, kObjectProp));
}

int TWin::LinkWindow(HWND window) {
    if (!window || GetWin(window))
        return 0;
    const bool inTable = objects.Add(window, this);
    if (!inTable && !SetPropA(window, kObjectProp, this))
        return 0;
    // A window of another process (or one being destroyed) refuses the new
    // procedure: then the object is not linked at all.
    SetLastError(ERROR_SUCCESS);
    LONG_PTR previous =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LayerWndProc()));
    if (!previous && GetLastError() != ERROR_SUCCESS) {
        if (inTable)
            objects.Remove(window);
        else
            RemovePropA(window, kObjectProp);
        return 0;
    }
    hwnd = window;
    ownProc = reinterpret_cast<WNDPROC>(previous);
    return 1;
}

void TWin::UnlinkWindow() {
    if (!hwnd)
        return;
    if (ownProc)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownProc));
    if (!objects.Remove(hwnd))
        RemovePropA(hwnd, kObjectProp);
    hwnd = nullptr;
    ownProc = nullptr;
}

LRESULT CALLBACK TWin::StartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (auto* win = static_cast<TWin*>(create->lpCreateParams))
            win->LinkWindow(window);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int TWin::RegisterClassFor(const char* className) {
    if (IsSystemClass(className))
        return 1;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc))
        return 1;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = StartProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

int TWin::Create() {
    if (hwnd)
        return 1;
    if (!RegisterClassFor(wca.className))
        return 0;
    HWND parentWindow = parent ? parent->GetHandle() : nullptr;
    DWORD style = wca.style;
    // A child's menu argument is its control id.
    HMENU menu =
        (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(wca.id)) : nullptr;
    HWND window = CreateWindowExA(wca.exStyle, wca.className, wca.title, style, wca.x, wca.y, wca.w,
                                  wca.h, parentWindow, menu, GetModuleHandleA(nullptr), this);
    if (!window)
        return 0;
    // System classes never saw our creation parameter: link them now.
    if (!hwnd && !LinkWindow(window)) {
        DestroyWindow(window);
        return 0;
    }
    return 1;
}

int TWin::Command(int, unsigned) {
    return 0;
}

int TWin::Notify(int, NMHDR*, LRESULT*) {
    return 0;
}

LRESULT TWin::DefaultProc(const TMsg& msg) {
    if (ownProc)
        return CallWindowProcA(ownProc, hwnd, msg.message, msg.wParam, msg.lParam);
    return DefWindowProcA(hwnd, msg.message, msg.wParam, msg.lParam);
}

LRESULT TWin::MsgProc(TMsg& msg) {
    switch (msg.message) {
        case WM_COMMAND:
            if (Command(LOWORD(msg.wParam), HIWORD(msg.wParam)))
                return 0;
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(msg.lParam);
            LRESULT result = 0;
            if (header && Notify(static_cast<int>(header->idFrom), header, &result))
                return result;
            break;
        }
        case WM_TIMER:
            if (Timer(msg.wParam))
                return 0;
            break;
        case WM_PAINT:
            if (Paint())
                return 0;
            break;
        case WM_SIZE: {
            TRect client(0, 0, LOWORD(msg.lParam), HIWORD(msg.lParam));
            if (Sized(client, static_cast<UINT>(msg.wParam)))
                return 0;
            break;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            if (Key(msg))
                return msg.result;
            break;
        case WM_DRAWITEM: {
            // Owner-drawn controls draw themselves: the parent hands the
            // request to the control's object.
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(msg.lParam);
            TWin* control = item && item->CtlType != ODT_MENU ? GetWin(item->hwndItem) : nullptr;
            if (control && control->IsControl() && static_cast<TControl*>(control)->DrawItem(*item))
                return TRUE;
            break;
        }
        case WM_HELP:
            // The F1 press was already turned into a help command.
            if (bEatHelpMessage) {
                bEatHelpMessage = 0;
                return 1;
            }
            break;
        default:
            if (Other(msg))
                return msg.result;
            break;
    }
    return DefaultProc(msg);
}

LRESULT CALLBACK TWin::StdWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWin* win = GetWin(window);
    if (!win)
        return 0;
    if (message == WM_DESTROY) {
        win->UnlinkWindow();
        if (win->DeletedWithWindow())
            delete win;
        // Unlinking gave the window its own procedure back; it still has to
        // see WM_DESTROY, or common controls never free what they hold.
        auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        if (own && own != LayerWndProc())
            CallWindowProcA(own, window, message, wParam, lParam);
        return 0;
    }
    TMsg msg{message, wParam, lParam, 0};
    return win->MsgProc(msg);
}
