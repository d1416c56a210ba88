// The local pages built over random stored data, then OK: what each page
// shows comes from what is stored, and after OK its key holds what it showed.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"
#include "tests/support/temp_dir.h"

#include "resources/chn_dir_page_ids.h"
#include "resources/desktop_page_ids.h"
#include "resources/install_page_ids.h"
#include "resources/max_channels_page_ids.h"
#include "sheet/config_dlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kt_fuzz {
namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kAppPathsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths";
const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kChnFilesKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kTavrelKey[] = "SOFTWARE\\Tavrel";
const char kQuestionCaption[] = "Korvane & Tools Configuration";
const char kErrorCaption[] = "KT&C Error";
// Each case builds the dialog anew, which under Wine takes tens of
// milliseconds: the count keeps the entry within a minute or so; a longer
// run asks for more with KT_FUZZ_CASES.
constexpr int kCases = 200;
constexpr DWORD kTimeLimitMs = 240000;

struct Snapshot {
    bool present = false;
    StoredValue value;
};

Snapshot Take(HKEY root, const char* key) {
    Snapshot shot;
    shot.present = Load(root, key, nullptr, &shot.value);
    return shot;
}

bool Same(const Snapshot& a, const Snapshot& b) {
    return a.present == b.present &&
           (!a.present || (a.value.type == b.value.type && a.value.data == b.value.data));
}

std::string Describe(const Snapshot& shot) {
    if (!shot.present)
        return "(none)";
    return "type " + std::to_string(shot.value.type) + " " + Shown(shot.value.data);
}

std::string DlgText(HWND page, int id) {
    char text[4096] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

bool DlgChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

class LocalPagesFuzz : public testing::Test {
protected:
    kt_test::RegistrySandbox sandbox;
    kt_test::TempDir dir;
    // Only the pages of these keys are built.
    TPageFactorySwap noNetwork{"Network", nullptr};
    TPageFactorySwap noPlugins{"Plug-ins", nullptr};
    TPageFactorySwap noSharing{"Channel sharing", nullptr};
};

// Text another program may have stored for a setting of this kind.
std::string ChannelText(Random& random) {
    static const std::vector<std::string> texts = {"50",         "9",     "100",  "8",
                                                   "101",        "12abc", "",     " 42",
                                                   "-5",         "+30",   "0x20", "99999999999999",
                                                   "4294967346", "abc"};
    return random.Chance(80) ? random.Pick(texts) : random.Text(random.Length());
}

std::string DirectoryText(Random& random, const std::string& existing) {
    switch (random.Below(4)) {
        case 0:
            return existing;
        case 1: {
            // Padded to a length at a buffer's end: "dir\xxxx".
            std::string path = existing + "\\";
            size_t length = random.Pick(std::vector<size_t>{258, 259, 260, 261, 2047, 2048});
            while (path.size() < length)
                path.push_back('x');
            return path;
        }
        case 2:
            return existing + "\\missing";
        default:
            return random.Text(random.Length());
    }
}

TEST_F(LocalPagesFuzz, StoredDataIsShownAndKeptByOk) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    BoxAnswerer boxes({{kErrorCaption, IDOK}, {kQuestionCaption, IDNO}});
    RunCases("local pages", kCases, [&](Random& random, int) {
        DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
        DeleteTree(HKEY_CURRENT_USER, kTavrelKey);
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        boxes.Clear();

        if (random.Chance(70))
            Store(HKEY_LOCAL_MACHINE, kProductKey, nullptr,
                  RandomValue(random, random.Chance(50) ? "6.4.0" : std::string()));
        if (random.Chance(70))
            Store(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr,
                  RandomValue(random, DirectoryText(random, dir.Path()) + "\\korvane.exe"));
        if (random.Chance(70))
            Store(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr,
                  RandomValue(random, ChannelText(random)));
        if (random.Chance(70))
            Store(HKEY_CURRENT_USER, kDskPathKey, nullptr,
                  RandomValue(random, DirectoryText(random, dir.Path())));
        if (random.Chance(85))
            Store(HKEY_LOCAL_MACHINE, kChnFilesKey, nullptr,
                  RandomValue(random, DirectoryText(random, dir.Path())));

        const Snapshot product = Take(HKEY_LOCAL_MACHINE, kProductKey);
        const Snapshot appPaths = Take(HKEY_LOCAL_MACHINE, kAppPathsKey);
        const Snapshot maxChannels = Take(HKEY_LOCAL_MACHINE, kMaxChannelsKey);
        const Snapshot dskPath = Take(HKEY_CURRENT_USER, kDskPathKey);
        const Snapshot chnFiles = Take(HKEY_LOCAL_MACHINE, kChnFilesKey);
        SCOPED_TRACE("stored: product " + Describe(product) + ", AppPaths " + Describe(appPaths) +
                     ", MaxChannels " + Describe(maxChannels) + ", DskPath " + Describe(dskPath) +
                     ", ChnFiles " + Describe(chnFiles));

        // What a careful reader of the same values makes of them.
        LONG status;
        std::string channels = ReadAsPages(HKEY_LOCAL_MACHINE, kMaxChannelsKey, 2048, &status);
        bool channelsStored = status == ERROR_SUCCESS;
        std::string desktop = ReadAsPages(HKEY_CURRENT_USER, kDskPathKey, 2048, &status);
        bool desktopStored = status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
        bool desktopTooLong = status == ERROR_MORE_DATA || desktop.size() >= MAX_PATH;
        if (status == ERROR_MORE_DATA)
            desktop = TextOf(dskPath.value);
        std::string chnDir = ReadAsPages(HKEY_LOCAL_MACHINE, kChnFilesKey, 2047, &status);
        bool chnDirStored = status == ERROR_SUCCESS;
        std::string version = ReadAsPages(HKEY_LOCAL_MACHINE, kProductKey, 2048, &status);
        ReadAsPages(HKEY_LOCAL_MACHINE, kAppPathsKey, MAX_PATH, &status);
        // A path that does not fit the page's field is not shown cut.
        std::string installPath = status == ERROR_SUCCESS ? TextOf(appPaths.value) : "";
        if (installPath.size() >= MAX_PATH)
            installPath.clear();

        kt_test::ConfigDialogFixture dialog;
        ASSERT_NE(nullptr, dialog.Build());
        HWND maxPage = dialog.PageWindow("Max. channels");
        HWND deskPage = dialog.PageWindow("Settings");
        HWND chnPage = dialog.PageWindow("Channel files");
        HWND installPage = dialog.PageWindow("Korvane");
        ASSERT_TRUE(maxPage && deskPage && chnPage && installPage);

        // Shown: each page from its own value, and nothing else.
        const bool useOther = DlgChecked(maxPage, IDC_MAXCHNL_USE_OTHER);
        const std::string count = DlgText(maxPage, IDC_MAXCHNL_COUNT);
        {
            char* end = nullptr;
            long number = channelsStored ? std::strtol(channels.c_str(), &end, 10) : 9;
            if (channelsStored && end == channels.c_str())
                number = 9;
            bool inRange = channelsStored && number >= 9 && number <= 100;
            EXPECT_EQ(inRange, useOther) << "MaxChannels read as " << Shown(channels);
            EXPECT_EQ(std::to_string(inRange ? number : 9), count)
                << "MaxChannels read as " << Shown(channels);
        }
        const bool otherDesktop = DlgChecked(deskPage, IDC_DESKTOP_USE_OTHER);
        const std::string desktopShown = DlgText(deskPage, IDC_DESKTOP_OTHER);
        EXPECT_EQ(desktopStored, otherDesktop);
        if (desktopStored && otherDesktop) {
            EXPECT_EQ(desktop.substr(0, MAX_PATH - 1), desktopShown);
        }
        const std::string chnShown = DlgText(chnPage, IDC_CHNDIR_CURRENT);
        EXPECT_EQ(chnDirStored ? chnDir.substr(0, MAX_PATH - 1) : "-", chnShown);
        EXPECT_EQ(chnDirStored ? chnDir.substr(0, MAX_PATH - 1) : "",
                  DlgText(chnPage, IDC_CHNDIR_NEW));
        EXPECT_EQ(version.empty() ? "-" : version, DlgText(installPage, IDC_INSTALL_VERSION));
        const std::string pathShown = DlgText(installPage, IDC_INSTALL_PATH);
        if (installPath.empty()) {
            EXPECT_EQ("-", pathShown);
        } else if (pathShown.find("...") == std::string::npos) {
            EXPECT_EQ(installPath, pathShown);
        }
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front();

        dialog.PressOk();

        // A directory that is not there is not created: the question is
        // answered No and the Channel files page refuses.
        for (const std::string& box : boxes.Seen())
            EXPECT_EQ(0u, box.find(std::string(kQuestionCaption) + ":")) << box;
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();

        // After OK: each key holds what its page showed.
        Snapshot after = Take(HKEY_LOCAL_MACHINE, kMaxChannelsKey);
        if (useOther) {
            EXPECT_TRUE(after.present && after.value.type == REG_SZ && TextOf(after.value) == count)
                << "MaxChannels after OK: " << Describe(after) << ", shown " << count;
        } else {
            EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kMaxChannelsKey));
        }
        after = Take(HKEY_CURRENT_USER, kDskPathKey);
        if (!otherDesktop) {
            EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, kDskPathKey));
        } else if (desktopTooLong) {
            EXPECT_TRUE(Same(dskPath, after)) << "DskPath after OK: " << Describe(after);
        } else {
            EXPECT_TRUE(after.present && after.value.type == REG_SZ &&
                        TextOf(after.value) == desktopShown)
                << "DskPath after OK: " << Describe(after) << ", shown " << Shown(desktopShown);
        }
        // Nothing was typed: the channel file directory stays as stored, and
        // the installation page only reads.
        EXPECT_TRUE(Same(chnFiles, Take(HKEY_LOCAL_MACHINE, kChnFilesKey)));
        EXPECT_TRUE(Same(product, Take(HKEY_LOCAL_MACHINE, kProductKey)));
        EXPECT_TRUE(Same(appPaths, Take(HKEY_LOCAL_MACHINE, kAppPathsKey)));
    });
}

}  // namespace
}  // namespace kt_fuzz
