// The local pages' stores over random stored data: what each page reads
// comes from what is stored, and after a save its key holds what was read or
// what the user made of it. Now and then the real pages are built over the
// data and OK pressed: they show what their store read, and OK keeps it.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"
#include "tests/support/temp_dir.h"

#include "pages/local/chn_dir_store.h"
#include "pages/local/desktop_store.h"
#include "pages/local/install_store.h"
#include "pages/local/max_channels_store.h"
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
// Most cases read and write through the stores alone, a few milliseconds
// each under Wine; the cases that build the dialog cost tens of
// milliseconds, and they are one case in two hundred.
constexpr int kCases = 10000;
constexpr DWORD kTimeLimitMs = 240000;

struct Snapshot {
    // The case stored a value here; a key it did not store is known to be
    // absent and needs no reading (each read is a round trip to the
    // wineserver).
    bool stored = true;
    bool present = false;
    StoredValue value;
};

Snapshot Take(HKEY root, const char* key) {
    Snapshot shot;
    shot.present = Load(root, key, nullptr, &shot.value);
    return shot;
}

// The case's value of key, when it stored one.
Snapshot StoreMaybe(Random& random, int percent, HKEY root, const char* key,
                    const std::function<StoredValue()>& value) {
    if (!random.Chance(percent)) {
        Snapshot none;
        none.stored = false;
        return none;
    }
    Store(root, key, nullptr, value());
    return Take(root, key);
}

// RegQueryValueA as the pages ask it, where the case stored something.
std::string ReadAsPagesIf(const Snapshot& shot, HKEY root, const char* key, LONG bufferSize,
                          LONG* status) {
    if (!shot.stored) {
        *status = ERROR_FILE_NOT_FOUND;
        return std::string();
    }
    return ReadAsPages(root, key, bufferSize, status);
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

// What a careful reader makes of the stored values: what the pages must
// read and show.
struct Expected {
    bool useOther = false;
    long count = TMaxChannels::kDefault;
    bool desktopStored = false;
    bool desktopTooLong = false;
    std::string desktop;  // whole, as stored
    bool chnDirStored = false;
    std::string chnDir;  // whole, as stored
    std::string version;
    std::string installPath;  // empty: none shown
};

// The case's stored values.
struct Snapshots {
    Snapshot product, appPaths, maxChannels, dskPath, chnFiles;
};

Expected CarefulReading(const Snapshots& shots) {
    Expected expected;
    LONG status;
    std::string channels =
        ReadAsPagesIf(shots.maxChannels, HKEY_LOCAL_MACHINE, kMaxChannelsKey, 2048, &status);
    if (status == ERROR_SUCCESS) {
        char* end = nullptr;
        long number = std::strtol(channels.c_str(), &end, 10);
        if (end == channels.c_str())
            number = TMaxChannels::kDefault;
        expected.useOther = number >= TMaxChannels::kDefault && number <= TMaxChannels::kHighest;
        if (expected.useOther)
            expected.count = number;
    }
    expected.desktop = ReadAsPagesIf(shots.dskPath, HKEY_CURRENT_USER, kDskPathKey, 2048, &status);
    expected.desktopStored = status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
    expected.desktopTooLong = status == ERROR_MORE_DATA || expected.desktop.size() >= MAX_PATH;
    if (status == ERROR_MORE_DATA)
        expected.desktop = TextOf(shots.dskPath.value);
    expected.chnDir =
        ReadAsPagesIf(shots.chnFiles, HKEY_LOCAL_MACHINE, kChnFilesKey, 2047, &status);
    expected.chnDirStored = status == ERROR_SUCCESS;
    expected.version = ReadAsPagesIf(shots.product, HKEY_LOCAL_MACHINE, kProductKey, 2048, &status);
    ReadAsPagesIf(shots.appPaths, HKEY_LOCAL_MACHINE, kAppPathsKey, MAX_PATH, &status);
    // A path that does not fit the page's field is not shown cut.
    expected.installPath = status == ERROR_SUCCESS ? TextOf(shots.appPaths.value) : "";
    if (expected.installPath.size() >= MAX_PATH)
        expected.installPath.clear();
    return expected;
}

// What the user left the pages holding when OK was pressed.
struct Outcome {
    bool useOther = false;
    std::string count;
    bool otherDesktop = false;
    // The stored directory was too long to show and the user left it.
    bool desktopKept = false;
    std::string desktop;
    // The channel file directory written, empty when it was left alone.
    std::string chnDirWritten;
};

// After OK: each key holds what its page showed, or what the user made of
// it. The installation page only reads: its keys are looked at after the
// whole dialog (its store has nothing that writes).
void CheckKeys(const Outcome& outcome, const Snapshots& shots, bool dialog) {
    if (outcome.useOther) {
        Snapshot after = Take(HKEY_LOCAL_MACHINE, kMaxChannelsKey);
        EXPECT_TRUE(after.present && after.value.type == REG_SZ &&
                    TextOf(after.value) == outcome.count)
            << "MaxChannels after OK: " << Describe(after) << ", shown " << outcome.count;
    } else {
        EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kMaxChannelsKey));
    }
    if (!outcome.otherDesktop) {
        EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, kDskPathKey));
    } else {
        Snapshot after = Take(HKEY_CURRENT_USER, kDskPathKey);
        if (outcome.desktopKept) {
            EXPECT_TRUE(Same(shots.dskPath, after)) << "DskPath after OK: " << Describe(after);
        } else {
            EXPECT_TRUE(after.present && after.value.type == REG_SZ &&
                        TextOf(after.value) == outcome.desktop)
                << "DskPath after OK: " << Describe(after) << ", shown " << Shown(outcome.desktop);
        }
    }
    if (outcome.chnDirWritten.empty()) {
        if (shots.chnFiles.stored || dialog) {
            Snapshot after = Take(HKEY_LOCAL_MACHINE, kChnFilesKey);
            EXPECT_TRUE(Same(shots.chnFiles, after)) << "ChnFiles after OK: " << Describe(after);
        } else {
            EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kChnFilesKey));
        }
    } else {
        Snapshot after = Take(HKEY_LOCAL_MACHINE, kChnFilesKey);
        EXPECT_TRUE(after.present && after.value.type == REG_SZ &&
                    TextOf(after.value) == outcome.chnDirWritten)
            << "ChnFiles after OK: " << Describe(after);
    }
    if (dialog) {
        EXPECT_TRUE(Same(shots.product, Take(HKEY_LOCAL_MACHINE, kProductKey)));
        EXPECT_TRUE(Same(shots.appPaths, Take(HKEY_LOCAL_MACHINE, kAppPathsKey)));
    }
}

// The keys a case may have left: the next case removes them.
struct Left {
    bool product = false, appPaths = false, maxChannels = false, dskPath = false, chnFiles = false;
};

Left Leftovers(const Snapshots& shots, const Outcome& outcome) {
    Left left;
    left.product = shots.product.stored;
    left.appPaths = shots.appPaths.stored;
    left.maxChannels = shots.maxChannels.stored || outcome.useOther;
    left.dskPath = shots.dskPath.stored || outcome.otherDesktop;
    left.chnFiles = shots.chnFiles.stored || !outcome.chnDirWritten.empty();
    return left;
}

// What the stores read.
struct Read {
    TMaxChannels channels;
    TDesktopDir desktop;
};

// The stores read what a careful reader reads.
Read CheckStoresRead(const Expected& expected) {
    Read read;
    const TMaxChannels& channels = read.channels = ReadMaxChannels();
    EXPECT_EQ(expected.useOther, channels.useOther != 0);
    EXPECT_EQ(expected.count, channels.count);
    const TDesktopDir& desktop = read.desktop = ReadDesktopDir();
    EXPECT_EQ(expected.desktopStored, desktop.stored);
    if (expected.desktopStored) {
        EXPECT_EQ(expected.desktopTooLong, desktop.tooLong);
        EXPECT_EQ(expected.desktop.substr(0, MAX_PATH - 1), desktop.dir);
    }
    const TChannelDir chnDir = ReadChannelDir();
    EXPECT_EQ(expected.chnDirStored, chnDir.stored);
    if (expected.chnDirStored) {
        EXPECT_EQ(expected.chnDir.size() >= MAX_PATH, chnDir.cut);
        EXPECT_EQ(expected.chnDir.substr(0, MAX_PATH - 1), chnDir.dir);
    }
    const TInstallation installation = ReadInstallation();
    EXPECT_TRUE(installation.found);
    EXPECT_EQ(expected.version, installation.version);
    EXPECT_EQ(expected.installPath, installation.path);
    return read;
}

// Through the stores alone: what was read, sometimes changed as a user
// changes it, written as the pages write it on OK.
Outcome SaveThroughStores(Random& random, const Read& read, const std::string& existingDir) {
    CollectedErrors errors;
    Outcome outcome;

    TMaxChannels channels = read.channels;
    if (random.Chance(20))
        channels.useOther = !channels.useOther;
    if (channels.useOther && random.Chance(20))
        channels.count = TMaxChannels::kDefault +
                         random.Below(TMaxChannels::kHighest - TMaxChannels::kDefault + 1);
    WriteMaxChannels(channels, errors);
    outcome.useOther = channels.useOther != 0;
    outcome.count = std::to_string(channels.count);

    const TDesktopDir& desktop = read.desktop;
    outcome.otherDesktop = desktop.stored != random.Chance(20);
    outcome.desktop = desktop.dir;
    const bool typed = outcome.otherDesktop && random.Chance(20);
    if (typed)
        outcome.desktop = existingDir + "\\desk";
    if (!outcome.otherDesktop) {
        RemoveDesktopDir(errors);
    } else if (desktop.tooLong && !typed) {
        // The page does not write back what it could not show whole.
        outcome.desktopKept = true;
    } else {
        WriteDesktopDir(outcome.desktop.c_str(), errors);
    }

    if (random.Chance(20)) {
        outcome.chnDirWritten = existingDir;
        EXPECT_TRUE(WriteChannelDir(existingDir.c_str(), errors));
    }
    // The sandbox refuses nothing: no write may report a failure.
    EXPECT_TRUE(errors.Reports().empty()) << errors.Reports().front();
    return outcome;
}

TEST_F(LocalPagesFuzz, StoredDataIsReadShownAndKept) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    BoxAnswerer boxes({{kErrorCaption, IDOK}, {kQuestionCaption, IDNO}});
    bool firstCase = true;
    Left left;
    RunCases("local pages", kCases, [&](Random& random, int caseNumber) {
        // What the last case may have left goes; the product key stays,
        // without a version. Around the whole dialog, whatever else a page
        // may have left goes too.
        if (firstCase || BuildsDialog(caseNumber) || BuildsDialog(caseNumber - 1)) {
            firstCase = false;
            DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
            DeleteTree(HKEY_CURRENT_USER, kTavrelKey);
            kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        } else {
            if (left.product)
                RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kProductKey, nullptr);
            if (left.appPaths)
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathsKey);
            if (left.maxChannels)
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMaxChannelsKey);
            if (left.dskPath)
                RegDeleteKeyA(HKEY_CURRENT_USER, kDskPathKey);
            if (left.chnFiles)
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, kChnFilesKey);
        }
        boxes.Clear();

        Snapshots shots;
        const std::string dirPath = dir.Path();
        shots.product = StoreMaybe(random, 70, HKEY_LOCAL_MACHINE, kProductKey, [&] {
            return RandomValue(random, random.Chance(50) ? "6.4.0" : std::string());
        });
        shots.appPaths = StoreMaybe(random, 70, HKEY_LOCAL_MACHINE, kAppPathsKey, [&] {
            return RandomValue(random, DirectoryText(random, dirPath) + "\\korvane.exe");
        });
        shots.maxChannels = StoreMaybe(random, 70, HKEY_LOCAL_MACHINE, kMaxChannelsKey,
                                       [&] { return RandomValue(random, ChannelText(random)); });
        shots.dskPath = StoreMaybe(random, 70, HKEY_CURRENT_USER, kDskPathKey, [&] {
            return RandomValue(random, DirectoryText(random, dirPath));
        });
        shots.chnFiles = StoreMaybe(random, 85, HKEY_LOCAL_MACHINE, kChnFilesKey, [&] {
            return RandomValue(random, DirectoryText(random, dirPath));
        });
        SCOPED_TRACE("stored: product " + Describe(shots.product) + ", AppPaths " +
                     Describe(shots.appPaths) + ", MaxChannels " + Describe(shots.maxChannels) +
                     ", DskPath " + Describe(shots.dskPath) + ", ChnFiles " +
                     Describe(shots.chnFiles));
        const Expected expected = CarefulReading(shots);
        const Read read = CheckStoresRead(expected);

        if (!BuildsDialog(caseNumber)) {
            const Outcome outcome = SaveThroughStores(random, read, dirPath);
            CheckKeys(outcome, shots, false);
            left = Leftovers(shots, outcome);
            return;
        }

        kt_test::ConfigDialogFixture dialog;
        ASSERT_NE(nullptr, dialog.Build());
        HWND maxPage = dialog.PageWindow("Max. channels");
        HWND deskPage = dialog.PageWindow("Settings");
        HWND chnPage = dialog.PageWindow("Channel files");
        HWND installPage = dialog.PageWindow("Korvane");
        ASSERT_TRUE(maxPage && deskPage && chnPage && installPage);

        // Shown: each page from its own value, and nothing else.
        Outcome outcome;
        outcome.useOther = DlgChecked(maxPage, IDC_MAXCHNL_USE_OTHER);
        outcome.count = DlgText(maxPage, IDC_MAXCHNL_COUNT);
        EXPECT_EQ(expected.useOther, outcome.useOther);
        EXPECT_EQ(std::to_string(expected.count), outcome.count);
        outcome.otherDesktop = DlgChecked(deskPage, IDC_DESKTOP_USE_OTHER);
        outcome.desktop = DlgText(deskPage, IDC_DESKTOP_OTHER);
        outcome.desktopKept = expected.desktopTooLong;
        EXPECT_EQ(expected.desktopStored, outcome.otherDesktop);
        if (expected.desktopStored && outcome.otherDesktop) {
            EXPECT_EQ(expected.desktop.substr(0, MAX_PATH - 1), outcome.desktop);
        }
        const std::string chnShown = DlgText(chnPage, IDC_CHNDIR_CURRENT);
        const std::string chnDir = expected.chnDir.substr(0, MAX_PATH - 1);
        EXPECT_EQ(expected.chnDirStored ? chnDir : "-", chnShown);
        EXPECT_EQ(expected.chnDirStored ? chnDir : "", DlgText(chnPage, IDC_CHNDIR_NEW));
        EXPECT_EQ(expected.version.empty() ? "-" : expected.version,
                  DlgText(installPage, IDC_INSTALL_VERSION));
        const std::string pathShown = DlgText(installPage, IDC_INSTALL_PATH);
        if (expected.installPath.empty()) {
            EXPECT_EQ("-", pathShown);
        } else if (pathShown.find("...") == std::string::npos) {
            EXPECT_EQ(expected.installPath, pathShown);
        }
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front();

        dialog.PressOk();

        // A directory that is not there is not created: the question is
        // answered No and the Channel files page refuses.
        for (const std::string& box : boxes.Seen())
            EXPECT_EQ(0u, box.find(std::string(kQuestionCaption) + ":")) << box;
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();
        // Nothing was typed: the channel file directory stays as stored.
        CheckKeys(outcome, shots, true);
    });
}

}  // namespace
}  // namespace kt_fuzz
