// Message pumping for tests that drive real windows.
#pragma once

#include <windows.h>

#include <functional>

namespace kt_test {

// Dispatches this thread's messages (with dialog keyboard handling, as the
// application's loop does) until done() holds; fails the test and returns
// false after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000,
               const char* what = "the expected state");
// Dispatches messages for ms milliseconds.
void PumpFor(DWORD ms);

}  // namespace kt_test
