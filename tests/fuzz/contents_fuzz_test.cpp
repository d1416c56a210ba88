// Help contents files of random bytes: after a plug-in's line is put in and
// the plug-in's lines are taken out again, every other line is as it was,
// with its own line end.
#include "tests/fuzz/fuzz.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"

#include "plugins/help_contents.h"
#include "plugins/plugin_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kt_fuzz {
namespace {

constexpr int kCases = 10000;

struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", or "" for a last line without one
};

// The file's lines as a reader that splits at LF takes them.
std::vector<Line> Lines(const std::string& content) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t newline = content.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({content.substr(start), ""});
            break;
        }
        Line line{content.substr(start, newline - start), "\n"};
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.end = "\r\n";
        }
        lines.push_back(line);
        start = newline + 1;
    }
    return lines;
}

// A header line that names the help file: the plug-in's.
bool IsPluginLine(const Line& line, const std::string& key) {
    return !key.empty() && !line.text.empty() && line.text[0] == ':' &&
           line.text.find(key) != std::string::npos;
}

// The content without the plug-in's lines.
std::string WithoutPluginLines(const std::string& content, const std::string& key) {
    std::string rest;
    for (const Line& line : Lines(content)) {
        if (!IsPluginLine(line, key))
            rest += line.text + line.end;
    }
    return rest;
}

std::string ReadAll(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool WriteAll(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD wrote = 0;
    bool ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr) &&
        wrote == content.size();
    return CloseHandle(file) && ok;
}

// One line of a contents file as hands and other programs leave them:
// headers, the plug-in's own lines, entries, random bytes with NULs and
// CRs, now and then one very long.
std::string RandomLine(Random& random, const std::string& key, const std::string& helpIndex) {
    switch (random.Below(10)) {
        case 0:
            return ":Index " + helpIndex;
        case 1:
            return ":Index Other Title" + key;
        case 2:
            return ":Index Other=other.hlp";
        case 3:
            return random.Pick(std::vector<std::string>{":Base korvane.hlp", ":Title Korvane", ":",
                                                        ":Link x.hlp", ":Include more.cnt"});
        case 4:
            return "1 Contents";
        case 5:
            return "2 Topic=topic_id";
        case 6: {
            // A line of 0 to 100,000 characters.
            size_t length =
                random.Chance(20) ? static_cast<size_t>(random.Below(100001)) : random.Length();
            std::string text = random.Text(length, true);
            if (random.Chance(30) && !text.empty())
                text[0] = ':';
            return text;
        }
        case 7:
            // A CR that ends no line.
            return random.Pick(std::vector<std::string>{"a\rb", "\r", ":Index x\r=y", "\r\r"});
        case 8:
            return ":" + random.Text(static_cast<size_t>(random.Below(40)), true) +
                   (random.Chance(50) ? key : "");
        default:
            return std::string();
    }
}

// A directory for the files of the cases. Creating and replacing files
// costs most of a case; the host's memory file system (Z:\dev\shm under
// Wine) makes that cheap, the temporary directory serves elsewhere.
class ScratchDir {
public:
    ScratchDir() {
        char name[64];
        std::snprintf(name, sizeof name, "Z:\\dev\\shm\\ktconfig-fuzz-%lu", GetCurrentProcessId());
        if (CreateDirectoryA(name, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            path = name;
        else
            path = fallback.Path();
    }
    ~ScratchDir() {
        if (path != fallback.Path())
            kt_test::RemoveTree(path);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string File(const std::string& name) const { return path + "\\" + name; }

private:
    kt_test::TempDir fallback;
    std::string path;
};

class ContentsFuzz : public testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(ContentsFuzz, OtherLinesKeepTheirTextAndLineEnds) {
    kt_test::SetTestTimeLimit(240000);
    const std::string path = dir.File("korvane.cnt");
    const std::string tempPath = dir.File("korvane.new");
    TPluginRec plugin{};
    RunCases("help contents", kCases, [&](Random& random, int) {
        // The plug-in's help index; without "=" it has no key.
        std::string helpFile = random.Chance(10)
                                   ? random.Text(random.Length())
                                   : "plugin" + std::to_string(random.Below(3)) + ".hlp";
        for (char& c : helpFile) {
            if (c == '\n' || c == '\r' || c == '\0' || c == '=')
                c = '_';
        }
        std::string helpIndex = random.Chance(5) ? "No Key" : "Plugin Help=" + helpFile;
        helpIndex.resize(std::min<size_t>(helpIndex.size(), kHelpIndexSize - 1));
        size_t equals = helpIndex.find('=');
        const std::string key =
            equals == std::string::npos ? std::string() : helpIndex.substr(equals);

        std::string content;
        if (random.Chance(3)) {
            // Random bytes alone.
            content = random.Text(random.Length(), true);
        } else {
            for (int count = random.Below(12); count > 0; --count) {
                content += RandomLine(random, key, helpIndex);
                content += random.Chance(50) ? "\r\n" : "\n";
            }
            // No line end after the last line.
            if (random.Chance(40))
                content += RandomLine(random, key, helpIndex);
        }
        ASSERT_TRUE(WriteAll(path, content));
        const std::string expected = WithoutPluginLines(content, key);
        SCOPED_TRACE("help index " + Shown(helpIndex) + ", contents " + Shown(content));

        AddHelpIndexTo(path.c_str(), helpIndex.c_str());
        const std::string added = ReadAll(path);
        ASSERT_EQ(expected, WithoutPluginLines(added, key)) << "after adding: " << Shown(added);
        if (key.empty()) {
            EXPECT_EQ(content, added) << "a help index without a key changed the file";
        } else {
            // The plug-in's line is in before the first entry, or in place of
            // the first header line that names its help file there.
            bool place = false;
            for (const Line& line : Lines(content)) {
                if (line.text.empty() || line.text[0] != ':' || IsPluginLine(line, key)) {
                    place = true;
                    break;
                }
            }
            bool found = false;
            for (const Line& line : Lines(added))
                found = found || line.text == ":Index " + helpIndex;
            EXPECT_EQ(place, found) << "the plug-in's line after adding: " << Shown(added);
        }

        lstrcpynA(plugin.helpIndex, helpIndex.c_str(), sizeof plugin.helpIndex);
        plugin.flags = kPluginListed | kPluginRegistered | kPluginChecked;
        RemoveHelpIndexesFrom(path.c_str(), &plugin);
        const std::string removed = ReadAll(path);
        EXPECT_EQ(key.empty() ? content : expected, removed)
            << "after removing: " << Shown(removed);
        EXPECT_FALSE(kt_test::PathExists(tempPath)) << "the temporary copy stayed";
    });
}

}  // namespace
}  // namespace kt_fuzz
