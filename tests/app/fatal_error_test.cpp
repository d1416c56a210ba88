#include "app/fatal_error.h"

#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "ui/app.h"
#include "ui/win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char kText[] = "Memory allocation error. KT&C will exit.";
const char kCaption[] = "KT&C Error";

class MainRecorder : public TWin {
public:
    MainRecorder() : TWin("KtAppTestFatalMain", nullptr, 0) { wca.style = WS_POPUP | WS_VISIBLE; }
    ~MainRecorder() override {
        if (hwnd)
            DestroyWindow(hwnd);
    }
    int Command(int id, unsigned code) override {
        commands.push_back(MAKELONG(id, code));
        return 1;
    }
    std::vector<LONG> commands;
};

class FatalError : public ::testing::Test {
protected:
    void SetUp() override { ClearFatalError(); }
    void TearDown() override { ClearFatalError(); }
    TApp app{GetModuleHandleA(nullptr), TWin::StdWndProc};
};

TEST_F(FatalError, WithAMainDialogTellsTheUserThenCancelsTheDialog) {
    MainRecorder main;
    ASSERT_TRUE(main.Create());
    app.mainWin = &main;
    HWND owner = reinterpret_cast<HWND>(-1);
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kCaption, kText, [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            kt_test::PressButton(box, IDOK);
        });
        FatalMemoryError();
        // Posted, so nothing has arrived while the box was up.
        EXPECT_TRUE(main.commands.empty());
    }
    EXPECT_EQ(main.GetHandle(), owner);
    ASSERT_TRUE(kt_test::PumpUntil([&] { return !main.commands.empty(); }, 2000, "the Cancel"));
    EXPECT_EQ(std::vector<LONG>{MAKELONG(IDCANCEL, 0)}, main.commands);
    EXPECT_EQ(0, FatalErrorWhileBuilding());
}

TEST_F(FatalError, BeforeTheMainDialogExistsShowsOneUnownedBoxAndMarksTheStart) {
    HWND owner = reinterpret_cast<HWND>(-1);
    {
        kt_test::ModalAnswerer answerer;
        answerer.ExpectAndDo(kCaption, kText, [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            kt_test::PressButton(box, IDOK);
        });
        FatalMemoryError();
        // Further failures while the pages load add no further boxes.
        FatalMemoryError();
    }
    EXPECT_EQ(nullptr, owner);
    EXPECT_EQ(1, FatalErrorWhileBuilding());
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
}

}  // namespace
