#include "tests/support/pump.h"

#include "ui/app.h"

#include <gtest/gtest.h>

namespace kt_test {

namespace {

// Dispatches what is queued; returns whether there was anything.
bool DispatchQueued() {
    bool any = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        // A quit request (the dialog ending the application) has nobody to
        // end here; the exit code stays in TApp::exitCode for the test.
        if (msg.message == WM_QUIT)
            continue;
        if (DialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return any;
}

void WaitForInput(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const char* what) {
    DWORD start = GetTickCount();
    for (;;) {
        DispatchQueued();
        if (done())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            break;
        DWORD left = timeoutMs - elapsed;
        WaitForInput(left < 10 ? left : 10);
    }
    ADD_FAILURE() << "timed out after " << timeoutMs << " ms waiting for "
                  << (what ? what : "the expected state");
    return false;
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DispatchQueued();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        DWORD left = ms - elapsed;
        WaitForInput(left < 10 ? left : 10);
    }
}

}  // namespace kt_test
