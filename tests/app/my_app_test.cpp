#include "app/my_app.h"

#include "app/fatal_error.h"
#include "app/help.h"
#include "sheet/config_dlg.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/registry_sandbox.h"
#include "ui/win.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

BOOL CALLBACK CollectTitledMain(HWND window, LPARAM data) {
    char title[256];
    if (GetWindowTextA(window, title, sizeof title) && lstrcmpA(title, kMainTitle) == 0)
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsTitledMain() {
    std::vector<HWND> found;
    EnumWindows(CollectTitledMain, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs step once the message loop of Main dispatches timers.
std::function<void()> whileRunning;
void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (whileRunning)
        whileRunning();
}

class MainTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WindowsTitledMain().empty()) << "a dialog of an earlier test is still there";
        app.Init(nullptr, commandLine, SW_SHOWNORMAL);
    }
    void TearDown() override {
        whileRunning = nullptr;
        TWin::FailAllocations(0);
        app.Done();
        for (HWND left : WindowsTitledMain())
            DestroyWindow(left);
    }
    void WhenRunning(std::function<void()> step) {
        whileRunning = std::move(step);
        ASSERT_NE(0u, SetTimer(nullptr, 0, 200, RunStep));
    }
    static bool QuitRequestLeft() {
        MSG msg;
        return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
    }

    kt_test::RegistrySandbox sandbox;
    char commandLine[8] = "";
    TMyApp app{GetModuleHandleA(nullptr)};
};

TEST_F(MainTest, RunsTheDialogUntilCancelAndEndsWithZero) {
    kt_test::ModalAnswerer answerer;  // nothing may pop up on the way
    bool shown = false;
    WhenRunning([&] {
        std::vector<HWND> dialogs = WindowsTitledMain();
        ASSERT_EQ(1u, dialogs.size());
        shown = IsWindowVisible(dialogs[0]) != 0;
        EXPECT_EQ(app.mainWin ? app.mainWin->GetHandle() : nullptr, dialogs[0]);
        kt_test::PressButton(dialogs[0], IDCANCEL);
    });
    app.exitCode = 77;
    app.Main();
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, app.exitCode);
    EXPECT_STREQ(HelpFilePath(GetModuleHandleA(nullptr)), app.helpFile);
    EXPECT_TRUE(WindowsTitledMain().empty());
}

TEST_F(MainTest, SecondStartBringsTheRunningOneForwardAndBuildsNothing) {
    HWND running = CreateWindowExA(0, "STATIC", kMainTitle, WS_POPUP | WS_VISIBLE, 0, 0, 100, 50,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, running);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, other);
    SetForegroundWindow(other);
    app.Main();
    EXPECT_EQ(running, GetForegroundWindow());
    EXPECT_EQ(std::vector<HWND>{running}, WindowsTitledMain());
    EXPECT_EQ(nullptr, app.mainWin);
    EXPECT_EQ(nullptr, app.helpFile);
    EXPECT_EQ(0, app.exitCode);
    DestroyWindow(other);
    DestroyWindow(running);
}

TEST_F(MainTest, DialogThatCannotBeAllocatedIsReportedAndTheRunFails) {
    HWND owner = reinterpret_cast<HWND>(-1);
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo("KT&C: TMyApp::Main", "Memory allocation error", [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            kt_test::PressButton(box, IDOK);
        });
        TWin::FailAllocations(1);
        app.Main();
    }
    EXPECT_EQ(nullptr, owner);
    EXPECT_EQ(kExitBuildFailed, app.exitCode);
    EXPECT_EQ(nullptr, app.mainWin);
    EXPECT_TRUE(WindowsTitledMain().empty());
}

TConfigPage* PageOutOfMemory(TWin*) {
    FatalMemoryError();
    return nullptr;
}

TEST_F(MainTest, OutOfMemoryWhileThePagesLoadEndsWithoutShowingTheDialog) {
    TPageFactorySwap network("Network", PageOutOfMemory);
    HWND owner = reinterpret_cast<HWND>(-1);
    bool dialogVisibleMeanwhile = true;
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo("KT&C Error", "Memory allocation error. KT&C will exit.",
                             [&](HWND box) {
                                 owner = GetWindow(box, GW_OWNER);
                                 dialogVisibleMeanwhile = false;
                                 for (HWND dialog : WindowsTitledMain())
                                     dialogVisibleMeanwhile |= IsWindowVisible(dialog) != 0;
                                 kt_test::PressButton(box, IDOK);
                             });
        app.Main();
    }
    EXPECT_EQ(nullptr, owner);
    EXPECT_FALSE(dialogVisibleMeanwhile);
    EXPECT_EQ(kExitBuildFailed, app.exitCode);
    EXPECT_EQ(nullptr, app.mainWin);
    EXPECT_EQ(0, FatalErrorWhileBuilding());
    EXPECT_TRUE(WindowsTitledMain().empty());
    EXPECT_FALSE(QuitRequestLeft());
}

TEST_F(MainTest, OutOfMemoryWhileRunningTellsTheUserAndCancelsTheDialog) {
    HWND owner = nullptr;
    HWND dialog = nullptr;
    kt_test::ModalAnswerer answerer;
    answerer.ExpectAndDo("KT&C Error", "Memory allocation error. KT&C will exit.", [&](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        kt_test::PressButton(box, IDOK);
    });
    WhenRunning([&] {
        dialog = app.mainWin ? app.mainWin->GetHandle() : nullptr;
        FatalMemoryError();
    });
    app.Main();
    answerer.Verify();
    EXPECT_NE(nullptr, dialog);
    EXPECT_EQ(dialog, owner);
    EXPECT_EQ(0, app.exitCode);  // ended by its Cancel
    EXPECT_TRUE(WindowsTitledMain().empty());
}

}  // namespace
