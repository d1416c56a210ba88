// Whole-program tests: the built ktconfig.exe runs as its own process in the
// test prefix. A child process does not inherit a registry override, so these
// tests work on the prefix's real keys and clear the product's keys around
// every test instead.
#pragma once

#include "tests/support/process.h"
#include "tests/support/unix_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace kt_test {

class ProgramTest : public ::testing::Test {
public:
    // The Unix path of the built program (the e2e test program is compiled
    // with KT_EXE_PATH).
    static std::string ExePath() {
#ifdef KT_EXE_PATH
        return KT_EXE_PATH;
#else
        ADD_FAILURE() << "this test program was built without the program's path";
        return std::string();
#endif
    }

    // The Windows path of the SDK's sample plug-in (the e2e test program is
    // compiled with KT_SAMPLE_PLUGIN_PATH).
    static std::string SamplePluginPath() {
#ifdef KT_SAMPLE_PLUGIN_PATH
        return WindowsPath(KT_SAMPLE_PLUGIN_PATH);
#else
        ADD_FAILURE() << "this test program was built without the sample plug-in's path";
        return std::string();
#endif
    }

    // HKLM\SOFTWARE\Tavrel and HKCU\SOFTWARE\Tavrel, with everything below.
    static void DeleteProductKeys();

protected:
    void SetUp() override {
        DeleteProductKeys();
    }
    void TearDown() override {
        DeleteProductKeys();
    }
};

// The sample installation of the whole-program tests: the product with its
// version and path, and a channel file directory that exists (so that no
// page keeps the dialog open on OK).
void SeedInstallation(const std::string& channelDir);

// Selects the running program's tree items one by one until the page that
// holds controlId is shown; that page, or null.
HWND SelectPageHolding(HWND dialog, int controlId);

// Whether the window (of any process) is visible within timeoutMs: a
// dialog's title exists before its pages do.
bool WaitVisible(HWND window, DWORD timeoutMs = 15000);

// The text of a string value as another program reads it; false when the
// key or the value is missing. A null or empty value name is the default value.
bool ReadRegValue(HKEY root, const std::string& subkey, const char* valueName, std::string* text);

// What "reg.exe query <arguments>" prints, e.g. RegQuery("HKLM\\SOFTWARE\\Tavrel /s");
// empty (and the test failed) when reg.exe cannot be run.
std::string RegQuery(const std::string& arguments, DWORD* exitCode = nullptr);

}  // namespace kt_test
