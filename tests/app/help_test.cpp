#include "app/help.h"

#include "tests/support/pump.h"
#include "ui/app.h"
#include "ui/win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct HelpPathCase {
    const char* module;
    const char* help;
};

const HelpPathCase kHelpPathCases[] = {
    {"D:\\Apps\\tool.exe", "D:\\Apps\\tool.hlp"},
    {"C:\\Program Files\\Korvane\\ktconfig.exe", "C:\\Program Files\\Korvane\\ktconfig.hlp"},
    // Only the last dot of the file name counts.
    {"C:\\my.dir\\kt.config.exe", "C:\\my.dir\\kt.config.hlp"},
    // A dot in a directory name is no extension.
    {"C:\\my.dir\\ktconfig", "C:\\my.dir\\ktconfig.hlp"},
    {"ktconfig", "ktconfig.hlp"},
    {"\\\\server\\share.v2\\ktconfig", "\\\\server\\share.v2\\ktconfig.hlp"},
};

TEST(HelpFile, ExtensionIsReplacedWithinTheFileNameOnly) {
    for (const HelpPathCase& c : kHelpPathCases) {
        char help[MAX_PATH];
        HelpPathFor(c.module, help);
        EXPECT_STREQ(c.help, help) << "module " << c.module;
    }
}

TEST(HelpFile, PathThatCannotTakeTheExtensionGivesNoHelpFile) {
    // 259 characters without a dot fill the buffer: there is no room for
    // ".hlp", and nothing may be read or written past the end.
    std::string longName = "C:\\" + std::string(MAX_PATH - 4, 'a');
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 1), longName.size());
    char help[MAX_PATH];
    std::memset(help, 'x', sizeof help);
    HelpPathFor(longName.c_str(), help);
    EXPECT_STREQ("", help);

    // With an extension the replacement fits again.
    std::string withExtension = longName.substr(0, MAX_PATH - 5) + ".exe";
    HelpPathFor(withExtension.c_str(), help);
    EXPECT_EQ(withExtension.substr(0, MAX_PATH - 5) + ".hlp", help);
}

TEST(HelpFile, IsTheProgramsOwnPathWithTheHelpExtension) {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    ASSERT_GT(length, 4u);
    ASSERT_LT(length, sizeof module);
    std::string expected(module, length - 4);  // the test program ends in ".exe"
    expected += ".hlp";
    const char* first = HelpFilePath(GetModuleHandleA(nullptr));
    EXPECT_EQ(expected, first);
    // One buffer for the whole run.
    EXPECT_EQ(first, HelpFilePath(GetModuleHandleA(nullptr)));
}

// A main window that notes the commands it gets.
class CommandRecorder : public TWin {
public:
    CommandRecorder() : TWin("KtAppTestRecorder", nullptr, 0) { wca.style = WS_POPUP; }
    int Command(int id, unsigned code) override {
        commands.push_back(id);
        (void)code;
        return 1;
    }
    std::vector<int> commands;
};

// The window the user presses F1 in: active, and marked or not.
class HelpWorld {
public:
    explicit HelpWorld(bool marked) : app(GetModuleHandleA(nullptr), TWin::StdWndProc) {
        EXPECT_TRUE(main.Create());
        app.mainWin = &main;
        active = CreateWindowExA(0, "STATIC", "F1 here", WS_POPUP | WS_VISIBLE, 10, 10, 100, 60,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(nullptr, active);
        if (marked) {
            EXPECT_TRUE(SetPropA(active, kHelpHookProp, reinterpret_cast<HANDLE>(1)));
        }
        SetActiveWindow(active);
        EXPECT_EQ(active, GetActiveWindow());
        TWin::bEatHelpMessage = 0;
    }
    ~HelpWorld() {
        RemovePropA(active, kHelpHookProp);
        DestroyWindow(active);
        DestroyWindow(main.GetHandle());
        SetModifier(0);
        TWin::bEatHelpMessage = 0;
    }

    // Only this key down (0: none) in the thread's keyboard state.
    static void SetModifier(int virtualKey) {
        BYTE keys[256] = {};
        if (virtualKey)
            keys[virtualKey] = 0x80;
        SetKeyboardState(keys);
    }

    bool HelpCommandArrived() {
        kt_test::PumpFor(50);
        for (int id : main.commands)
            if (id == IDHELP)
                return true;
        return false;
    }

    TApp app;
    CommandRecorder main;
    HWND active = nullptr;
};

struct FilterCase {
    const char* what;
    int code;
    UINT message;
    WPARAM key;
    int modifier;
    bool marked;
    bool help;
};

const FilterCase kFilterCases[] = {
    {"F1 in a dialog", MSGF_DIALOGBOX, WM_KEYDOWN, VK_F1, 0, true, true},
    {"F1 in a menu", MSGF_MENU, WM_KEYDOWN, VK_F1, 0, true, true},
    {"F1 in a scroll bar loop", MSGF_SCROLLBAR, WM_KEYDOWN, VK_F1, 0, true, false},
    {"F1 released", MSGF_DIALOGBOX, WM_KEYUP, VK_F1, 0, true, false},
    {"F2", MSGF_DIALOGBOX, WM_KEYDOWN, VK_F2, 0, true, false},
    {"Shift+F1", MSGF_DIALOGBOX, WM_KEYDOWN, VK_F1, VK_SHIFT, true, false},
    {"Ctrl+F1", MSGF_DIALOGBOX, WM_KEYDOWN, VK_F1, VK_CONTROL, true, false},
    {"Alt+F1", MSGF_MENU, WM_KEYDOWN, VK_F1, VK_MENU, true, false},
    {"F1 in a window without the mark", MSGF_DIALOGBOX, WM_KEYDOWN, VK_F1, 0, false, false},
};

TEST(FilterF1, OnlyPlainF1InAMarkedWindowBecomesTheHelpCommand) {
    for (const FilterCase& c : kFilterCases) {
        SCOPED_TRACE(c.what);
        HelpWorld world(c.marked);
        HelpWorld::SetModifier(c.modifier);
        MSG msg{world.active, c.message, c.key, 0, 0, {0, 0}};
        FilterF1(c.code, 0, reinterpret_cast<LPARAM>(&msg));
        EXPECT_EQ(c.help, world.HelpCommandArrived());
        EXPECT_EQ(c.help ? 1 : 0, TWin::bEatHelpMessage);
    }
}

TEST(FilterF1, AsTheThreadsMessageFilterTurnsF1InADialogIntoHelp) {
    HelpWorld world(true);
    HHOOK hook = SetWindowsHookExA(WH_MSGFILTER, FilterF1, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    // The dialog manager hands every message to the filter first.
    MSG msg{world.active, WM_KEYDOWN, VK_F1, 0, GetTickCount(), {0, 0}};
    IsDialogMessageA(world.active, &msg);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(world.HelpCommandArrived());
    EXPECT_EQ(1, TWin::bEatHelpMessage);
}

TEST(FilterF1, WithoutAMainWindowNothingIsPostedOrEaten) {
    HelpWorld world(true);
    world.app.mainWin = nullptr;
    MSG msg{world.active, WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
    FilterF1(MSGF_DIALOGBOX, 0, reinterpret_cast<LPARAM>(&msg));
    EXPECT_FALSE(world.HelpCommandArrived());
    EXPECT_EQ(0, TWin::bEatHelpMessage);
}

}  // namespace
