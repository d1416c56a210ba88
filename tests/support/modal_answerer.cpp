#include "tests/support/modal_answerer.h"

#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kt_test {

namespace {

// The answerer of this thread; an inner one hides the outer one while it lives.
ModalAnswerer* current = nullptr;

const char kDialogClass[] = "#32770";

bool Contains(const std::vector<HWND>& list, HWND window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

void Forget(std::vector<HWND>& list, HWND window) {
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

BOOL CALLBACK CollectText(HWND child, LPARAM data) {
    auto* texts = reinterpret_cast<std::string*>(data);
    std::string text = WindowTextOf(child);
    if (!text.empty()) {
        texts->append("\n");
        texts->append(text);
    }
    return TRUE;
}

}  // namespace

// Modal windows of the system (message boxes, shell choosers) are plain
// dialogs with no window object; a window object's dialog is modal only when
// it runs its own loop.
bool IsModalWindow(HWND window) {
    if (!window || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
        return false;
    char className[32];
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpA(className, kDialogClass))
        return false;
    TWin* win = TWin::GetWin(window);
    if (!win)
        return true;
    auto* dialog = dynamic_cast<TDialog*>(win);
    return dialog && dialog->IsModal();
}

std::string WindowTextOf(HWND window) {
    char text[2048];
    int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string ChildTexts(HWND window) {
    std::string texts;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void DismissWindow(HWND window) {
    for (int id : {IDCANCEL, IDNO, IDOK}) {
        if (GetDlgItem(window, id)) {
            PressButton(window, id);
            return;
        }
    }
    SendMessageA(window, WM_CLOSE, 0, 0);
    // Ending a dialog twice does no harm; staying open would hang the test.
    if (IsWindow(window))
        EndDialog(window, IDCANCEL);
}

void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool ModalAnswerer::Active() {
    return current != nullptr;
}

ModalAnswerer::ModalAnswerer() {
    hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    if (!hook) {
        ADD_FAILURE() << "cannot hook the thread's windows (error " << GetLastError() << ")";
        return;
    }
    outer = current;
    current = this;
}

ModalAnswerer::~ModalAnswerer() {
    Verify();
    if (current == this)
        current = outer;
    for (UINT_PTR timer : timers)
        KillTimer(nullptr, timer);
    if (hook)
        UnhookWindowsHookEx(hook);
}

ModalAnswerer& ModalAnswerer::Expect(const std::string& caption, const std::string& text,
                                     int buttonId) {
    expected.push_back({caption, text, [buttonId](HWND window) { PressButton(window, buttonId); }});
    return *this;
}

ModalAnswerer& ModalAnswerer::ExpectAndType(const std::string& caption, const std::string& text,
                                            int editId, const std::string& typed, int buttonId) {
    expected.push_back({caption, text, [editId, typed, buttonId](HWND window) {
                            HWND edit = GetDlgItem(window, editId);
                            if (!edit) {
                                ADD_FAILURE() << "the window has no edit control " << editId;
                                DismissWindow(window);
                                return;
                            }
                            SendMessageA(edit, WM_SETTEXT, 0,
                                         reinterpret_cast<LPARAM>(typed.c_str()));
                            PressButton(window, buttonId);
                        }});
    return *this;
}

ModalAnswerer& ModalAnswerer::ExpectAndDo(const std::string& caption, const std::string& text,
                                          std::function<void(HWND)> action) {
    expected.push_back({caption, text, std::move(action)});
    return *this;
}

void ModalAnswerer::Verify() {
    for (const Expectation& left : expected) {
        std::string seenText;
        for (const std::string& s : seen)
            seenText += "\n  [" + s + "]";
        ADD_FAILURE() << "expected window never came: caption \"" << left.caption
                      << "\" with text \"" << left.text
                      << "\"; windows seen:" << (seen.empty() ? std::string(" none") : seenText);
    }
    expected.clear();
}

LRESULT CALLBACK ModalAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    ModalAnswerer* self = current;
    if (self && code == HCBT_ACTIVATE) {
        auto window = reinterpret_cast<HWND>(wParam);
        if (!Contains(self->handled, window) && !Contains(self->pending, window) &&
            IsModalWindow(window)) {
            self->pending.push_back(window);
            // Answered from a thread timer: it is dispatched by whatever modal
            // loop the window runs, after the window has been set up.
            if (UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerSoon))
                self->timers.push_back(timer);
            else
                ADD_FAILURE() << "cannot start the answer timer (error " << GetLastError() << ")";
        }
    } else if (self && code == HCBT_DESTROYWND) {
        // Handles are reused: a later window with this one's handle is new.
        auto window = reinterpret_cast<HWND>(wParam);
        Forget(self->pending, window);
        Forget(self->handled, window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalAnswerer::AnswerSoon(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    ModalAnswerer* self = current;
    if (!self)
        return;
    self->timers.erase(std::remove(self->timers.begin(), self->timers.end(), timer),
                       self->timers.end());
    // Every window queued so far, also those that came after this timer was
    // started: one tick may be all a nested loop lets through.
    while (!self->pending.empty()) {
        HWND window = self->pending.front();
        self->pending.erase(self->pending.begin());
        if (IsWindow(window))
            self->Answer(window);
        if (current != self)
            return;  // the action ended the answerer
    }
}

void ModalAnswerer::Answer(HWND window) {
    handled.push_back(window);
    std::string caption = WindowTextOf(window);
    std::string texts = ChildTexts(window);
    seen.push_back(caption + texts);

    if (expected.empty()) {
        ADD_FAILURE() << "unexpected window: caption \"" << caption << "\" with text \"" << texts
                      << "\"";
        DismissWindow(window);
        return;
    }
    Expectation next = expected.front();
    bool captionMatches = caption == next.caption;
    if (captionMatches && texts.find(next.text) != std::string::npos) {
        expected.erase(expected.begin());
        ++answered;
        next.action(window);
        return;
    }
    ADD_FAILURE() << "expected a window with caption \"" << next.caption << "\" and text \""
                  << next.text << "\", got caption \"" << caption << "\" with text \"" << texts
                  << "\"";
    // Same caption: this was the expected window with a wrong text, so the
    // expectation is spent; another caption leaves it for a later window.
    if (captionMatches)
        expected.erase(expected.begin());
    DismissWindow(window);
}

}  // namespace kt_test
