#include "tests/support/watchdog.h"

#include "tests/support/modal_answerer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace kt_test {

namespace {

HHOOK cbtHook = nullptr;
UINT_PTR modalTimer = 0;
HWND unanswered = nullptr;

std::atomic<DWORD> testStart{0};
std::atomic<DWORD> testLimit{kDefaultTestLimitMs};
std::atomic<bool> testRunning{false};
char testName[512] = "";
CRITICAL_SECTION nameLock;

void CALLBACK CloseUnanswered(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (timer == modalTimer)
        modalTimer = 0;
    HWND window = unanswered;
    unanswered = nullptr;
    if (!window || !IsWindow(window) || !IsWindowVisible(window))
        return;
    ADD_FAILURE() << "a modal window stayed open with nobody to answer it: caption \""
                  << WindowTextOf(window) << "\" with text \"" << ChildTexts(window) << "\"";
    DismissWindow(window);
}

LRESULT CALLBACK WatchModalWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !ModalAnswerer::Active()) {
        auto window = reinterpret_cast<HWND>(wParam);
        if (window != unanswered && IsModalWindow(window)) {
            unanswered = window;
            if (modalTimer)
                KillTimer(nullptr, modalTimer);
            // A thread timer: whatever modal loop the window runs dispatches it.
            modalTimer = SetTimer(nullptr, 0, kUnansweredModalMs, CloseUnanswered);
        }
    } else if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == unanswered) {
        unanswered = nullptr;
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

DWORD WINAPI WatchTime(void*) {
    for (;;) {
        Sleep(250);
        if (!testRunning.load())
            continue;
        DWORD elapsed = GetTickCount() - testStart.load();
        if (elapsed < testLimit.load())
            continue;
        EnterCriticalSection(&nameLock);
        std::fprintf(stdout,
                     "\n[ WATCHDOG ] %s ran for %lu ms, over its limit of %lu ms: the test "
                     "program ends here\n",
                     testName, static_cast<unsigned long>(elapsed),
                     static_cast<unsigned long>(testLimit.load()));
        LeaveCriticalSection(&nameLock);
        std::fflush(stdout);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

class TimeListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override {
        EnterCriticalSection(&nameLock);
        std::snprintf(testName, sizeof testName, "%s.%s", info.test_suite_name(), info.name());
        LeaveCriticalSection(&nameLock);
        testLimit = kDefaultTestLimitMs;
        testStart = GetTickCount();
        testRunning = true;
    }
    void OnTestEnd(const testing::TestInfo&) override { testRunning = false; }
};

}  // namespace

void SetTestTimeLimit(DWORD ms) {
    testLimit = ms;
}

void InstallWatchdog() {
    InitializeCriticalSection(&nameLock);
    cbtHook = SetWindowsHookExA(WH_CBT, WatchModalWindows, nullptr, GetCurrentThreadId());
    testing::UnitTest::GetInstance()->listeners().Append(new TimeListener);
    if (HANDLE thread = CreateThread(nullptr, 0, WatchTime, nullptr, 0, nullptr))
        CloseHandle(thread);
}

}  // namespace kt_test
