// Answers the modal windows that the code under test opens, as a user would:
// a test declares, in order, the windows it expects; each is recognised as it
// is activated, its caption and text are checked, the declared action is
// done, and a window nobody expected fails the test (and is closed). Windows
// still expected when the answerer is verified or destroyed fail the test.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kt_test {

class ModalAnswerer {
public:
    ModalAnswerer();   // hooks the current thread
    ~ModalAnswerer();  // verifies and unhooks
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // A window whose caption is exactly caption and whose text (the texts of
    // its child windows) contains text; then the button with buttonId is
    // pressed (IDOK, IDYES, IDNO, ...).
    ModalAnswerer& Expect(const std::string& caption, const std::string& text, int buttonId);
    // As Expect, after typing text into the edit control editId.
    ModalAnswerer& ExpectAndType(const std::string& caption, const std::string& text, int editId,
                                 const std::string& typed, int buttonId);
    // As Expect, with an action of the test's own (for choosers): it gets the
    // window and must end it.
    ModalAnswerer& ExpectAndDo(const std::string& caption, const std::string& text,
                               std::function<void(HWND)> action);

    // Whether an answerer is at work on this thread.
    static bool Active();

    // Fails the test for each expected window that has not come.
    void Verify();
    int Answered() const { return answered; }
    // The full text (caption, then child texts) of every window seen.
    const std::vector<std::string>& Seen() const { return seen; }

    struct Expectation {
        std::string caption;
        std::string text;
        std::function<void(HWND)> action;
    };

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK AnswerSoon(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND window);

    HHOOK hook = nullptr;
    ModalAnswerer* outer = nullptr;
    std::vector<UINT_PTR> timers;
    std::vector<Expectation> expected;
    std::vector<HWND> pending;
    std::vector<HWND> handled;
    std::vector<std::string> seen;
    int answered = 0;
};

// Presses a button of a dialog the way a click does (WM_COMMAND, BN_CLICKED).
void PressButton(HWND dialog, int id);
// Whether the window is a modal window the tests must answer: a top-level
// system dialog, or a window object's dialog that runs its own loop.
bool IsModalWindow(HWND window);
// A window's own text, and the texts of its children, each after a line end.
std::string WindowTextOf(HWND window);
std::string ChildTexts(HWND window);
// Ends a window nobody expected the way its user most safely would: Cancel,
// No or OK, else a close.
void DismissWindow(HWND window);

}  // namespace kt_test
