// The version text read from a module file itself must be the one the
// system's version API gives, for every module it answers; everything else
// it leaves to the system. Checked against the system on real modules and
// on damaged copies of a plug-in module.
#include "plugins/plugin_module.h"
#include "plugins/version_file.h"
#include "tests/plugins/plugin_world.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using kt_test::TempDir;
using kt_test::TestModule;

constexpr size_t kTextSize = 13;
const char* const kSubBlocks[] = {
    "\\StringFileInfo\\040904E4\\InternalName",
    "\\StringFileInfo\\040904B0\\InternalName",
    "StringFileInfo\\\\040904b0\\fileDESCRIPTION\\",  // another form of path
    "\\VarFileInfo\\Translation",  // binary: always the system's
    "\\StringFileInfo\\040904E4",  // a block, not a text
};

struct TSystemText {
    bool found = false;
    std::string text;
};

// The value as VerQueryValueA gives it, cut as ReadVersionText cuts it.
TSystemText SystemText(const std::string& path, const char* subBlock) {
    TSystemText result;
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unused);
    if (size == 0)
        return result;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return result;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), subBlock, &value, &length) || !value)
        return result;
    result.found = true;
    const char* text = static_cast<const char*>(value);
    result.text.assign(text, strnlen(text, length < kTextSize - 1 ? length : kTextSize - 1));
    return result;
}

// Compares one file for every sub-block; counts the answers made without
// the system.
void ExpectSystemsAnswers(const std::string& path, int* answered, int* asked) {
    for (const char* subBlock : kSubBlocks) {
        char text[kTextSize] = "unchanged";
        TVersionText read = ReadVersionText(path.c_str(), subBlock, text, sizeof text);
        ++*asked;
        if (read == TVersionText::AskSystem)
            continue;
        ++*answered;
        TSystemText system = SystemText(path, subBlock);
        if (read == TVersionText::Found) {
            EXPECT_TRUE(system.found) << path << " " << subBlock;
            EXPECT_EQ(system.text, text) << path << " " << subBlock;
        } else {
            EXPECT_FALSE(system.found) << path << " " << subBlock << ": " << system.text;
        }
    }
}

std::vector<std::string> FilesIn(const std::string& dir, const char* pattern) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(dir + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes = kt_test::ReadFileText(path);
    EXPECT_NE("<missing>", bytes) << path;
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(bytes.size(), written);
    CloseHandle(file);
}

TEST(VersionFile, RealModulesGetTheSystemsAnswerAndMostAreAnsweredWithoutIt) {
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof system);
    std::vector<std::string> files = FilesIn(system, "*.dll");
    for (const std::string& exe : FilesIn(system, "*.exe"))
        files.push_back(exe);
    // Both kinds of header: a 64-bit system keeps its 32-bit modules apart,
    // and a 64-bit Wine that runs none still has them among its own files.
    std::vector<std::string> otherKind = {"Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows"};
    char wow[MAX_PATH];
    UINT wowLength = GetSystemWow64DirectoryA(wow, sizeof wow);
    if (wowLength > 0 && wowLength < sizeof wow)
        otherKind.push_back(wow);
    for (const std::string& dir : otherKind) {
        for (const std::string& dll : FilesIn(dir, "*.dll"))
            files.push_back(dll);
    }
    for (const char* module : {"pl_alpha", "pl_unmarked", "pl_other_name", "pl_other_language",
                               "pl_marker_suffix", "pl_name255"})
        files.push_back(TestModule(module));
    ASSERT_GT(files.size(), 50u);
    int answered = 0, asked = 0;
    for (const std::string& file : files)
        ExpectSystemsAnswers(file, &answered, &asked);
    // The point of the file's own reading: ordinary modules need no system.
    EXPECT_GT(answered, asked * 9 / 10) << answered << " of " << asked;
}

TEST(VersionFile, APluginsMarkerIsReadFromTheFile) {
    struct Case {
        const char* module;
        TVersionText read;
        const char* text;
    };
    const Case cases[] = {
        {"pl_alpha", TVersionText::Found, PL_MARKER},
        {"pl_marker_suffix", TVersionText::Found, PL_MARKER "2"},
        {"pl_other_name", TVersionText::Found, "KV400PLUGIN"},
        {"pl_other_language", TVersionText::Missing, ""},
        {"pl_unmarked", TVersionText::Missing, ""},  // no version block at all
    };
    for (const Case& c : cases) {
        char text[kTextSize] = "";
        EXPECT_EQ(c.read,
                  ReadVersionText(TestModule(c.module).c_str(),
                                  "\\StringFileInfo\\040904E4\\InternalName", text, sizeof text))
            << c.module;
        if (c.read == TVersionText::Found) {
            EXPECT_STREQ(c.text, text) << c.module;
        }
    }
    char text[kTextSize];
    EXPECT_EQ(TVersionText::AskSystem,
              ReadVersionText("C:\\no such directory\\module.dll", "\\", text, sizeof text));
    EXPECT_EQ(TVersionText::AskSystem,
              ReadVersionText(kt_test::WindowsDir().c_str(), "\\", text, sizeof text));
}

// Damaged copies of a plug-in module: bytes changed near its version block
// and in its headers, and the file cut short. Whatever the file's own
// reading answers, the marker test agrees with the system's.
TEST(VersionFile, DamagedModulesGetTheSystemsAnswer) {
    const std::string original = ReadBytes(TestModule("pl_alpha"));
    ASSERT_FALSE(original.empty());
    const std::string key("I\0n\0t\0e\0r\0n\0a\0l\0N\0a\0m\0e\0", 24);
    const size_t keyAt = original.find(key);
    ASSERT_NE(std::string::npos, keyAt);
    const size_t blockFrom = keyAt > 1024 ? keyAt - 1024 : 0;

    TempDir dir;
    const std::string path = dir.File("damaged.dll");
    std::mt19937 random(20261211);
    int answered = 0;
    constexpr int kCases = 600;
    for (int n = 0; n < kCases; ++n) {
        std::string bytes = original;
        if (n % 10 == 9) {
            bytes.resize(blockFrom + random() % (bytes.size() - blockFrom));
        } else {
            int changes = 1 + static_cast<int>(random() % 3);
            for (int i = 0; i < changes; ++i) {
                // One change in eight in the headers, the others near the block.
                size_t at = (random() % 8 == 0) ? random() % 512
                                                : blockFrom + random() % (keyAt + 256 - blockFrom);
                if (at < bytes.size())
                    bytes[at] = static_cast<char>(random() % 4 == 0 ? 0 : random());
            }
        }
        WriteBytes(path, bytes);
        char text[kTextSize];
        TVersionText read = ReadVersionText(
            path.c_str(), "\\StringFileInfo\\040904E4\\InternalName", text, sizeof text);
        if (read != TVersionText::AskSystem)
            ++answered;
        // The system would read past the end of the file, and stop the test.
        if (read == TVersionText::Damaged)
            ASSERT_EQ(0, IsPluginModule(path.c_str())) << "case " << n;
        else
            ASSERT_EQ(SystemFindsMarker(path.c_str()), IsPluginModule(path.c_str()))
                << "case " << n;
    }
    // Most damage leaves the block readable; those cases are the point.
    EXPECT_GT(answered, kCases / 2);
}

}  // namespace
