// Keys whose access list denies writing, and keys that cannot be deleted
// (they have subkeys): each local page reports the one message of its
// failed step, and what was stored stays as it was. Wine does not hold a
// deny entry against deleting a key, so the deletions meet subkeys.
#include "tests/pages/local/local_page_test.h"

#include "resources/chn_dir_page_ids.h"
#include "resources/desktop_page_ids.h"
#include "resources/max_channels_page_ids.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using kt_test::GetRegString;
using kt_test::SetRegString;

const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kChnFilesKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";

std::string Stored(HKEY root, const char* key) {
    std::string text;
    return GetRegString(root, key, nullptr, &text) ? text : "(no value)";
}

TEST(DeniedKeys, EachPageReportsItsFailedStepAndTheStoredValueStays) {
    struct Case {
        const char* what;
        const char* treeName;
        HKEY root;
        const char* key;
        // What is stored before, and what the user does on the page.
        std::function<std::string(kt_test::PageWorld&)> before;
        std::function<void(kt_test::PageWorld&)> edit;
        bool pinned;  // a subkey keeps the key from being deleted; else writes are denied
        const char* line;
    };
    const Case cases[] = {
        {"a new channel limit", "Max. channels", HKEY_LOCAL_MACHINE, kMaxChannelsKey,
         [](kt_test::PageWorld&) { return std::string("50"); },
         [](kt_test::PageWorld& w) { w.Type(IDC_MAXCHNL_COUNT, "60"); }, false,
         "Max. channels:  Cannot update registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels"},
        {"the channel limit switched off", "Max. channels", HKEY_LOCAL_MACHINE, kMaxChannelsKey,
         [](kt_test::PageWorld&) { return std::string("50"); },
         [](kt_test::PageWorld& w) { w.Click(IDC_MAXCHNL_USE_OTHER); }, true,
         "Max. channels:  Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels"},
        {"a new desktop directory", "Settings", HKEY_CURRENT_USER, kDskPathKey,
         [](kt_test::PageWorld&) { return std::string("C:\\Old"); },
         [](kt_test::PageWorld& w) { w.Type(IDC_DESKTOP_OTHER, "C:\\New"); }, false,
         "Settings:  Cannot write to registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath"},
        {"the desktop directory switched off", "Settings", HKEY_CURRENT_USER, kDskPathKey,
         [](kt_test::PageWorld&) { return std::string("C:\\Old"); },
         [](kt_test::PageWorld& w) { w.Click(IDC_DESKTOP_USE_OTHER); }, true,
         "Settings:  Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath"},
        {"a new channel file directory", "Channel files", HKEY_LOCAL_MACHINE, kChnFilesKey,
         [](kt_test::PageWorld& w) {
             w.channelDir.Write("alpha.chn", "channel alpha");
             w.channelDir.MakeDir("new");
             return w.channelDir.Path();
         },
         [](kt_test::PageWorld& w) {
             w.Type(IDC_CHNDIR_NEW, w.channelDir.File("new").c_str());
             w.Click(IDC_CHNDIR_MOVE_CHANNELS);
         },
         false,
         "Channel files:  Cannot write to registry key Software\\Tavrel\\Korvane Tools\\ChnFiles"},
    };
    for (const Case& c : cases) {
        kt_test::PageWorld w;
        const std::string stored = c.before(w);
        SetRegString(c.root, c.key, nullptr, stored.c_str());
        const std::string inner = std::string(c.key) + "\\Inner";
        if (c.pinned)
            kt_test::CreateRegKey(c.root, inner.c_str());
        std::unique_ptr<kt_test::KeyAcl> denied;
        if (!c.pinned) {
            denied.reset(new kt_test::KeyAcl(c.root, c.key, kt_test::kDenyWritesAcl));
            // The system really refuses what the page asks for.
            HKEY probe = nullptr;
            ASSERT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(c.root, c.key, 0, KEY_SET_VALUE, &probe))
                << c.what;
        }
        ASSERT_NE(nullptr, w.BuildAndFind(c.treeName)) << c.what;
        c.edit(w);
        w.dialog.PressOk();
        EXPECT_TRUE(w.dialog.DialogAlive()) << c.what;
        EXPECT_EQ(std::vector<std::string>{c.line}, w.dialog.ErrorLines()) << c.what;
        EXPECT_EQ(stored, Stored(c.root, c.key)) << c.what;
        // No file leaves a directory the tools are not told about.
        if (c.key == kChnFilesKey) {
            EXPECT_EQ("channel alpha", w.channelDir.Read("alpha.chn"));
            EXPECT_FALSE(w.channelDir.Exists("new\\alpha.chn"));
        }
    }
}

}  // namespace
