// Keeps a fault from costing the test run its whole time limit: a modal
// window that no answerer expects is failed and closed within seconds, and a
// test that runs past its time limit ends the test program with its name.
#pragma once

#include <windows.h>

namespace kt_test {

// Installed once by the test programs' main, for the thread that runs the
// tests.
void InstallWatchdog();

// The running test may take this long in all (the default is kDefaultTestLimitMs).
void SetTestTimeLimit(DWORD ms);

constexpr DWORD kDefaultTestLimitMs = 60000;
// How long a modal window may stay open while no answerer is at work.
constexpr DWORD kUnansweredModalMs = 3000;

}  // namespace kt_test
