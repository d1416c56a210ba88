#include "resources/network_page_ids.h"
#include "tests/support/e2e.h"
#include "tests/support/page_run.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char kServerTitle[] = "Directory server definition";
const char kServerKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer";
const char kPortKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort";
const char kSearchBaseKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase";

using NetworkProgram = kt_test::ProgramTest;

// The program with its Network page shown.
class NetworkRun : public kt_test::PageRun {
public:
    explicit NetworkRun(const std::string& exePath) : PageRun(exePath, IDC_NETWORK_LIST) {}
    HWND List() const { return Item(IDC_NETWORK_LIST); }
    int RowCount() const { return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // Adds a server through the definition dialog as a user fills it.
    void AddServer(const char* name, const char* port, const char* searchBase) {
        ASSERT_TRUE(Click(page, IDC_NETWORK_ADD_LDAP));
        HWND server = run.WaitForWindow(kServerTitle);
        ASSERT_NE(nullptr, server) << "the server dialog did not open";
        ASSERT_TRUE(kt_test::WaitVisible(server));
        for (auto field :
             {std::make_pair(IDC_SERVER_NAME, name), std::make_pair(IDC_SERVER_PORT, port),
              std::make_pair(IDC_SERVER_SEARCH_BASE, searchBase)})
            SendMessageA(GetDlgItem(server, field.first), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(field.second));
        ASSERT_TRUE(IsWindowEnabled(GetDlgItem(server, IDC_SERVER_OK)));
        int rows = RowCount();
        ASSERT_TRUE(Click(server, IDC_SERVER_OK));
        for (DWORD start = GetTickCount(); IsWindow(server) && GetTickCount() - start < 10000;)
            Sleep(50);
        EXPECT_FALSE(IsWindow(server));
        EXPECT_EQ(rows + 1, RowCount());
    }
    // A click on the Name column's header.
    void SortByName() const {
        auto header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
        ASSERT_NE(nullptr, header);
        RECT rect{};
        GetClientRect(header, &rect);
        int width = static_cast<int>(SendMessageA(List(), LVM_GETCOLUMNWIDTH, 0, 0));
        LPARAM at = MAKELPARAM(width / 2, rect.bottom / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
    }
};

std::string Query(const char* key) {
    return kt_test::RegQuery(std::string("\"HKLM\\") + key + "\"");
}

// Whether reg.exe shows value = text in the key.
void ExpectValue(const std::string& query, const std::string& value, const std::string& text) {
    size_t at = query.find(value);
    ASSERT_NE(std::string::npos, at) << value << " missing in\n" << query;
    size_t end = query.find('\n', at);
    std::string line = query.substr(at, end == std::string::npos ? std::string::npos : end - at);
    EXPECT_NE(std::string::npos, line.find("REG_SZ")) << line;
    EXPECT_NE(std::string::npos, line.find(text)) << line;
}

TEST_F(NetworkProgram, AServerAddedThroughTheDialogIsStoredOnOk) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());

    NetworkRun network(ExePath());
    ASSERT_NE(nullptr, network.page) << "no tree item shows the Network page";
    EXPECT_EQ(0, network.RowCount());
    network.AddServer("ldap.example.org", "1389", "o=e2e,c=de");
    EXPECT_EQ(0u, network.PressAndWait(IDOK));

    ExpectValue(Query(kServerKey), "Value1", "ldap.example.org");
    ExpectValue(Query(kPortKey), "Value1", "1389");
    ExpectValue(Query(kSearchBaseKey), "Value1", "o=e2e,c=de");
    EXPECT_EQ(std::string::npos, Query(kServerKey).find("Value2"));
}

TEST_F(NetworkProgram, TheStoreHoldsTheListInTheOrderShownAtOk) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value1", "srv1");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value2", "C:\\Dirs");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kPortKey, "Value1", "389");
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kSearchBaseKey, "Value1", "o=org1");

    NetworkRun network(ExePath());
    ASSERT_NE(nullptr, network.page) << "no tree item shows the Network page";
    ASSERT_EQ(2, network.RowCount());
    network.AddServer("ldap.example.org", "1389", "o=e2e");
    network.SortByName();
    EXPECT_EQ(0u, network.PressAndWait(IDOK));

    std::string servers = Query(kServerKey);
    ExpectValue(servers, "Value1", "C:\\Dirs");
    ExpectValue(servers, "Value2", "ldap.example.org");
    ExpectValue(servers, "Value3", "srv1");
    std::string ports = Query(kPortKey);
    EXPECT_EQ(std::string::npos, ports.find("Value1")) << ports;
    ExpectValue(ports, "Value2", "1389");
    ExpectValue(ports, "Value3", "389");
    ExpectValue(Query(kSearchBaseKey), "Value3", "o=org1");
}

TEST_F(NetworkProgram, CancelAfterAnAddLeavesTheStoreAsItWas) {
    kt_test::TempDir channelDir;
    kt_test::SeedInstallation(channelDir.Path());
    kt_test::SetRegString(HKEY_LOCAL_MACHINE, kServerKey, "Value1", "C:\\Dirs");
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPortKey);
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kSearchBaseKey);

    NetworkRun network(ExePath());
    ASSERT_NE(nullptr, network.page) << "no tree item shows the Network page";
    network.AddServer("ldap.example.org", "389", "o=e2e");
    EXPECT_EQ(0u, network.PressAndWait(IDCANCEL));

    std::string servers = Query(kServerKey);
    ExpectValue(servers, "Value1", "C:\\Dirs");
    EXPECT_EQ(std::string::npos, servers.find("Value2")) << servers;
}

}  // namespace
