// The built program on both list pages: a row is selected, the list sorted
// by a header click (which moves the selected row), and the row deleted with
// the page's button or the list's Delete key. The question names the
// selected row, and after OK the store lacks exactly that entry.
#include "resources/network_page_ids.h"
#include "resources/share_tool_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/page_run.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const char kServerKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer";
const char kPortKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort";
const char kSearchBaseKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
// The message box's text control.
constexpr int kMessageTextId = 0xFFFF;

using SortedDeleteProgram = kt_test::ProgramTest;

// How the deletion is asked for.
enum class Via { kButton, kDeleteKey };

struct ListPage {
    int listId;
    int deleteId;
    const char* questionTitle;
};

int Rows(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

// The count once the program has got there, or what it is after a while.
int RowsOnceThere(HWND list, int wanted) {
    constexpr DWORD kWaitMs = 15000;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(20)) {
        if (Rows(list) == wanted)
            break;
    }
    return Rows(list);
}

// A click on the header of column, as the mouse sends it.
void ClickHeader(HWND list, int column) {
    auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_NE(nullptr, header);
    RECT rect{};
    GetClientRect(header, &rect);
    int left = 0;
    for (int before = 0; before < column; ++before)
        left += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, before, 0));
    int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    LPARAM at = MAKELPARAM(left + (width < 40 ? width / 2 : 20), rect.bottom / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

// Whether the program has selected the first row within the usual wait: a
// posted key comes after a sent header click.
bool FirstRowSelected(HWND list) {
    constexpr DWORD kWaitMs = 15000;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(20)) {
        if (SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 0)
            return true;
    }
    return false;
}

std::string QuestionText(HWND question) {
    char text[1024] = "";
    SendMessageA(GetDlgItem(question, kMessageTextId), WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    return text;
}

// Runs the program on the page of the list, selects the first row with the
// Home key, sorts by column, deletes as via says and answers Yes to the
// question, which must hold expectedQuestion; then OK, and the program must
// end with 0.
void SortDeleteAndOk(const std::string& exe, const ListPage& what, int column, Via via,
                     const std::string& expectedQuestion, int rowsBefore) {
    kt_test::PageRun run(exe, what.listId);
    ASSERT_NE(nullptr, run.page) << "no tree item shows the page";
    HWND list = run.Item(what.listId);
    ASSERT_EQ(rowsBefore, Rows(list));
    PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
    ASSERT_TRUE(FirstRowSelected(list)) << "Home selected no row";
    ClickHeader(list, column);
    if (via == Via::kButton)
        ASSERT_TRUE(kt_test::PageRun::Click(run.page, what.deleteId));
    else
        PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
    HWND question = run.WaitShown(what.questionTitle);
    ASSERT_NE(nullptr, question) << "the question did not come";
    EXPECT_EQ(expectedQuestion, QuestionText(question));
    ASSERT_TRUE(kt_test::PageRun::Click(question, IDYES));
    ASSERT_TRUE(kt_test::PageRun::WaitGone(question));
    EXPECT_EQ(rowsBefore - 1, RowsOnceThere(list, rowsBefore - 1));
    EXPECT_EQ(0u, run.PressAndWait(IDOK));
}

TEST_F(SortedDeleteProgram, ChannelSharingDeletesTheToolSelectedBeforeTheSort) {
    const ListPage sharing{IDC_SHARETOOL_LIST, IDC_SHARETOOL_DELETE, "Confirm tool delete"};
    kt_test::TempDir channelDir;
    for (Via via : {Via::kButton, Via::kDeleteKey}) {
        SCOPED_TRACE(via == Via::kButton ? "button" : "Delete key");
        DeleteProductKeys();
        kt_test::SeedInstallation(channelDir.Path());
        // Listed as the registry enumerates them, by name.
        for (auto tool : {std::make_pair("Alpha", "C:\\z.exe"), std::make_pair("Beta", "C:\\a.exe"),
                          std::make_pair("Gamma", "C:\\m.exe")})
            kt_test::SetRegString(HKEY_LOCAL_MACHINE,
                                  (std::string(kLaunchKey) + "\\" + tool.first).c_str(), nullptr,
                                  tool.second);
        // Alpha, selected first, goes to the end when sorted by program.
        SortDeleteAndOk(ExePath(), sharing, 1, via,
                        "Are you sure you want to delete the item 'Alpha'?", 3);

        std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kLaunchKey + "\" /s");
        EXPECT_EQ(std::string::npos, query.find("Launch\\Alpha")) << query;
        EXPECT_EQ(std::string::npos, query.find("C:\\z.exe")) << query;
        EXPECT_NE(std::string::npos, query.find("Launch\\Beta")) << query;
        EXPECT_NE(std::string::npos, query.find("C:\\a.exe")) << query;
        EXPECT_NE(std::string::npos, query.find("Launch\\Gamma")) << query;
        EXPECT_NE(std::string::npos, query.find("C:\\m.exe")) << query;
    }
}

TEST_F(SortedDeleteProgram, NetworkDeletesTheItemSelectedBeforeTheSort) {
    const ListPage network{IDC_NETWORK_LIST, IDC_NETWORK_DELETE, "Confirm channel delete"};
    kt_test::TempDir channelDir;
    for (Via via : {Via::kButton, Via::kDeleteKey}) {
        SCOPED_TRACE(via == Via::kButton ? "button" : "Delete key");
        DeleteProductKeys();
        kt_test::SeedInstallation(channelDir.Path());
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value1", "C:\\Zeta");
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value2", "C:\\Alpha");
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value3", "C:\\Mid");
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPortKey);
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kSearchBaseKey);
        // C:\Zeta, selected first, goes to the end when sorted by name.
        SortDeleteAndOk(ExePath(), network, 0, via,
                        "Are you sure you want to delete the item 'C:\\Zeta'?", 3);

        std::string query = kt_test::RegQuery(std::string("\"HKLM\\") + kServerKey + "\"");
        EXPECT_EQ(std::string::npos, query.find("Zeta")) << query;
        EXPECT_EQ(std::string::npos, query.find("Value3")) << query;
        size_t alpha = query.find("C:\\Alpha");
        size_t mid = query.find("C:\\Mid");
        EXPECT_NE(std::string::npos, alpha) << query;
        EXPECT_NE(std::string::npos, mid) << query;
        // Written in the order shown: Alpha, then Mid.
        EXPECT_LT(alpha, mid) << query;
    }
}

}  // namespace
