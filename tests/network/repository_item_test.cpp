// The records of the Network list and the subsystem's string routines.
#include "network/repository_item.h"
#include "network/string_util.h"
#include "tests/support/modal_answerer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using Kind = TRepositoryItem;

struct Fields {
    Kind::Type type;
    const char* name;
    const char* port;  // null: no port
    const char* searchBase;
};

void ExpectFields(const Fields& expected, const TRepositoryItem& record, const char* what) {
    EXPECT_EQ(expected.type, record.GetType()) << what;
    EXPECT_STREQ(expected.name, record.GetName()) << what;
    EXPECT_EQ(expected.port != nullptr, record.HasPort()) << what;
    EXPECT_STREQ(expected.port ? expected.port : "", record.GetPort()) << what;
    EXPECT_EQ(expected.searchBase != nullptr, record.HasSearchBase()) << what;
    EXPECT_STREQ(expected.searchBase ? expected.searchBase : "", record.GetSearchBase()) << what;
}

TEST(RepositoryItem, EachWayOfBuildingFillsTheFieldsOfItsKind) {
    struct Case {
        const char* what;
        TRepositoryItem record;
        Fields expected;
    };
    // Construction as the page and the dialogs do it.
    Case cases[] = {
        {"a directory",
         {"C:\\Dirs", Kind::Directory},
         {Kind::Directory, "C:\\Dirs", nullptr, nullptr}},
        {"a ProgID",
         {"MyApp.RM", Kind::ResourceManager},
         {Kind::ResourceManager, "MyApp.RM", "COM", nullptr}},
        {"a server", {"srv1", "389", "o=org1"}, {Kind::LdapServer, "srv1", "389", "o=org1"}},
        {"a server with port com",
         {"srv1", "com", "o=org1"},
         {Kind::ResourceManager, "srv1", "com", "o=org1"}},
        {"a server with port Com",
         {"srv1", "Com", nullptr},
         {Kind::ResourceManager, "srv1", "Com", nullptr}},
        {"a port with a blank", {"srv1", " COM", "o"}, {Kind::LdapServer, "srv1", " COM", "o"}},
        {"no port", {"srv1", nullptr, nullptr}, {Kind::LdapServer, "srv1", nullptr, nullptr}},
    };
    for (const Case& c : cases)
        ExpectFields(c.expected, c.record, c.what);
}

TEST(RepositoryItem, SettersReplaceEveryField) {
    TRepositoryItem record("srv1", "com", "o=org1");
    record.SetServer("srv2", "COM", "o=org2");
    ExpectFields({Kind::LdapServer, "srv2", "COM", "o=org2"}, record, "server whatever the port");
    record.SetResourceManager("MyApp.RM");
    ExpectFields({Kind::ResourceManager, "MyApp.RM", "COM", nullptr}, record, "ProgID");
    record.SetDirectory("D:\\pool");
    ExpectFields({Kind::Directory, "D:\\pool", nullptr, nullptr}, record, "directory");
    // A record's own text as the new one.
    record.SetDirectory(record.GetName());
    ExpectFields({Kind::Directory, "D:\\pool", nullptr, nullptr}, record, "its own name");
}

TEST(RepositoryItem, RecordsAliveAreCounted) {
    int before = TRepositoryItem::LiveCount();
    {
        TRepositoryItem first("a", Kind::Directory);
        TRepositoryItem second("b", "389", "o");
        EXPECT_EQ(before + 2, TRepositoryItem::LiveCount());
    }
    EXPECT_EQ(before, TRepositoryItem::LiveCount());
}

TEST(StrDup, CopiesTheTextAndGivesNullForNull) {
    EXPECT_EQ(nullptr, StrDup(nullptr));
    const char text[] = "o=org1, c=de";
    char* copy = StrDup(text);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(text, copy);
    EXPECT_STREQ(text, copy);
    std::free(copy);
    char* empty = StrDup("");
    ASSERT_NE(nullptr, empty);
    EXPECT_STREQ("", empty);
    std::free(empty);
}

TEST(ShowLastError, ShowsTheSystemsTextOrTheCodeUnderTheGivenCaption) {
    char system[512] = "";
    ASSERT_TRUE(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED,
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, sizeof system,
                               nullptr));
    std::string systemText = system;
    // The box shows the text without the line end the system puts after it.
    systemText = systemText.substr(0, systemText.find_first_of("\r\n"));
    const DWORD unknown = 0xE0001234;
    kt_test::ModalAnswerer answerer;
    answerer.Expect("KT&C: test", systemText, IDOK)
        .Expect("KT&C: test", "KT&C: GetLastError " + std::to_string(static_cast<int>(unknown)),
                IDOK);
    ShowLastError(nullptr, "KT&C: test", ERROR_ACCESS_DENIED);
    ShowLastError(nullptr, "KT&C: test", unknown);
    answerer.Verify();
}

}  // namespace
