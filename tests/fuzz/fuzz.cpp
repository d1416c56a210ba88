#include "tests/fuzz/fuzz.h"

#include "tests/support/modal_answerer.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace kt_fuzz {

namespace {

constexpr unsigned kDefaultSeed = 20261210;

// Where buffers of the program end, and one either side.
const std::vector<size_t> kEdgeLengths = {0,    1,    2,    258,  259,   260,  261,
                                          2046, 2047, 2048, 2049, 65534, 65535};
const std::vector<size_t> kEdgeNameLengths = {30, 31, 32, 33, 254, 255, 256};

const char kPlainCharacters[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-_=:\\/%";

// A number from an environment variable, or fallback when it holds none.
long long FromEnvironment(const char* name, long long fallback) {
    char text[64];
    DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return fallback;
    char* end = nullptr;
    long long number = std::strtoll(text, &end, 0);
    return end == text ? fallback : number;
}

// A byte above 127 (of 0x60 kinds). Wine's edit control falls over some
// characters that code page 1252 puts at 0x80 to 0x9F (0x98, the small
// tilde, among them) when it lays out a line: the pages put stored text into
// edits, so the fuzz keeps to the Latin-1 letters and signs from 0xA0 up.
char HighByte(int index) {
    return static_cast<char>(0xA0 + index);
}

HKEY OpenKey(HKEY root, const std::string& key, REGSAM access) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return nullptr;
    return opened;
}

}  // namespace

unsigned Seed() {
    return static_cast<unsigned>(FromEnvironment("KT_FUZZ_SEED", kDefaultSeed));
}

Random::Random(unsigned seed, int caseNumber) {
    std::seed_seq sequence{seed, static_cast<unsigned>(caseNumber)};
    engine.seed(sequence);
}

int Random::Below(int count) {
    if (count <= 1)
        return 0;
    return static_cast<int>(engine() % static_cast<unsigned>(count));
}

bool Random::Chance(int percent) {
    return Below(100) < percent;
}

size_t Random::Length() {
    if (Chance(40))
        return Pick(kEdgeLengths);
    return static_cast<size_t>(Below(40));
}

std::string Random::Text(size_t count, bool nul) {
    std::string text(count, 'a');
    for (char& c : text) {
        int roll = Below(100);
        if (nul && roll < 3)
            c = '\0';
        else if (roll < 6)
            c = HighByte(Below(0x60));
        else
            c = kPlainCharacters[Below(sizeof kPlainCharacters - 1)];
    }
    return text;
}

std::string Random::Name() {
    size_t length = Chance(30) ? Pick(kEdgeNameLengths) : static_cast<size_t>(1 + Below(12));
    std::string name = Text(length);
    for (char& c : name) {
        // A key path separator, and the blanks and NULs that the registry
        // keeps but a reader trims, would make another name.
        if (c == '\\' || c == ' ')
            c = '_';
    }
    return name;
}

StoredValue RandomValue(Random& random, const std::string& text) {
    StoredValue value;
    int kind = random.Below(100);
    if (kind < 45) {
        // Text with its terminator, the well-formed case.
        value.type = random.Chance(10) ? REG_EXPAND_SZ : REG_SZ;
        value.data = (text.empty() || random.Chance(30)) ? random.Text(random.Length()) : text;
        value.data.push_back('\0');
    } else if (kind < 65) {
        // Text without its terminator, or with NULs inside.
        value.type = REG_SZ;
        value.data =
            (text.empty() || random.Chance(30)) ? random.Text(random.Length(), true) : text;
    } else if (kind < 75) {
        value.type = REG_DWORD;
        size_t size = random.Chance(80) ? 4 : random.Length();
        value.data = random.Text(size, true);
        if (random.Chance(50) && size >= 4) {
            DWORD number = static_cast<DWORD>(random.Below(120));
            value.data.replace(0, 4, reinterpret_cast<const char*>(&number), 4);
        }
    } else if (kind < 85) {
        value.type = REG_BINARY;
        std::string bytes(random.Length(), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random.Below(256));
            if (static_cast<unsigned char>(c) >= 0x80)
                c = HighByte(static_cast<unsigned char>(c) % 0x60);
        }
        value.data = bytes;
    } else if (kind < 95) {
        value.type = REG_MULTI_SZ;
        value.data = text.empty() ? random.Text(random.Length()) : text;
        value.data.push_back('\0');
        value.data += random.Text(random.Below(30));
        value.data.push_back('\0');
        value.data.push_back('\0');
    } else {
        value.type = REG_NONE;
        value.data = random.Text(random.Length(), true);
    }
    return value;
}

bool Store(HKEY root, const std::string& subkey, const char* valueName, const StoredValue& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, valueName, 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.data.data()),
                                 static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const std::string& subkey) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Load(HKEY root, const std::string& subkey, const char* valueName, StoredValue* value) {
    HKEY key = OpenKey(root, subkey, KEY_QUERY_VALUE);
    if (!key)
        return false;
    // Room for every size the fuzz stores, so that one query brings the data:
    // under Wine each registry call is a round trip to the wineserver.
    static std::string buffer(131072, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG status = RegQueryValueExA(key, valueName, nullptr, &type,
                                   reinterpret_cast<BYTE*>(&buffer[0]), &size);
    if (status == ERROR_MORE_DATA) {
        buffer.assign(size, '\0');
        status = RegQueryValueExA(key, valueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(&buffer[0]), &size);
    }
    if (status == ERROR_SUCCESS) {
        value->type = type;
        value->data.assign(buffer.data(), size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string TextOf(const StoredValue& value) {
    return value.data.substr(0, value.data.find('\0'));
}

std::string ReadAsPages(HKEY root, const std::string& key, LONG bufferSize, LONG* status) {
    std::string buffer(static_cast<size_t>(bufferSize), '\x7f');
    LONG size = bufferSize;
    *status = RegQueryValueA(root, key.c_str(), &buffer[0], &size);
    if (*status != ERROR_SUCCESS)
        return std::string();
    size_t end = size >= 0 && size < bufferSize ? static_cast<size_t>(size)
                                                : static_cast<size_t>(bufferSize - 1);
    buffer.resize(end);
    return buffer.substr(0, buffer.find('\0'));
}

std::vector<std::string> SubkeyNames(HKEY root, const std::string& keyPath) {
    std::vector<std::string> names;
    HKEY key = OpenKey(root, keyPath, KEY_ENUMERATE_SUB_KEYS);
    if (!key)
        return names;
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::pair<std::string, std::string>> KeyContents(HKEY root, const std::string& key) {
    std::vector<std::pair<std::string, std::string>> contents;
    for (const std::string& name : SubkeyNames(root, key)) {
        StoredValue value;
        std::string data = "(none)";
        if (Load(root, key + "\\" + name, nullptr, &value))
            data = std::to_string(value.type) + ":" + value.data;
        contents.emplace_back(name, data);
    }
    for (const std::string& name : ValueNames(root, key)) {
        StoredValue value;
        Load(root, key, name.c_str(), &value);
        contents.emplace_back("value " + name, std::to_string(value.type) + ":" + value.data);
    }
    return contents;
}

std::string CellText(HWND list, int row, int column) {
    std::string text(8192, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = &text[0];
    item.cchTextMax = static_cast<int>(text.size());
    LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                  reinterpret_cast<LPARAM>(&item));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& keyPath) {
    std::vector<std::string> names;
    HKEY key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    if (!key)
        return names;
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

bool KeyExists(HKEY root, const std::string& keyPath) {
    HKEY key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    if (key)
        RegCloseKey(key);
    return key != nullptr;
}

void DeleteTree(HKEY root, const std::string& keyPath) {
    RegDeleteTreeA(root, keyPath.c_str());
    RegDeleteKeyA(root, keyPath.c_str());
}

std::string Shown(const std::string& data) {
    constexpr size_t kMost = 80;
    std::string shown;
    for (size_t i = 0; i < data.size() && i < kMost; ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c >= 32 && c < 127) {
            shown.push_back(static_cast<char>(c));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            shown += escape;
        }
    }
    if (data.size() > kMost)
        shown += "... (" + std::to_string(data.size()) + " bytes)";
    return "\"" + shown + "\"";
}

int RunCases(const char* what, int count, const std::function<void(Random&, int)>& oneCase) {
    const unsigned seed = Seed();
    const long long only = FromEnvironment("KT_FUZZ_CASE", -1);
    // A shorter or longer run for a while of development.
    int first = 0, last = static_cast<int>(FromEnvironment("KT_FUZZ_CASES", count));
    if (only >= 0) {
        first = static_cast<int>(only);
        last = first + 1;
    }
    const bool verbose = FromEnvironment("KT_FUZZ_VERBOSE", 0) != 0;
    int run = 0;
    for (int caseNumber = first; caseNumber < last; ++caseNumber) {
        Random random(seed, caseNumber);
        // Which case a crash ended in, for the run that asks.
        if (verbose) {
            std::fprintf(stderr, "%s: case %d\n", what, caseNumber);
            std::fflush(stderr);
        }
        oneCase(random, caseNumber);
        ++run;
        if (testing::Test::HasFailure()) {
            ADD_FAILURE() << what << ": case " << caseNumber << " of seed " << seed
                          << " failed; run it alone with KT_FUZZ_SEED=" << seed
                          << " KT_FUZZ_CASE=" << caseNumber;
            break;
        }
    }
    std::printf("%s: %d cases of seed %u\n", what, run, seed);
    return run;
}

bool BuildsDialog(int caseNumber) {
    constexpr int kDialogEvery = 200;
    return FromEnvironment("KT_FUZZ_DIALOG", 0) != 0 || caseNumber % kDialogEvery == 0;
}

void CollectedErrors::Report(const char* text, int kind) {
    reports.push_back(std::string(kind ? "error: " : "warning: ") + (text ? text : "(null)"));
}

BoxAnswerer* currentAnswerer = nullptr;

BoxAnswerer::BoxAnswerer(std::vector<Rule> rules) : rules(std::move(rules)) {
    hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    if (!hook)
        ADD_FAILURE() << "cannot hook the thread's windows (error " << GetLastError() << ")";
    currentAnswerer = this;
}

BoxAnswerer::~BoxAnswerer() {
    if (currentAnswerer == this)
        currentAnswerer = nullptr;
    if (hook)
        UnhookWindowsHookEx(hook);
}

void BoxAnswerer::Clear() {
    seen.clear();
    unexpected.clear();
}

LRESULT CALLBACK BoxAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && currentAnswerer) {
        auto window = reinterpret_cast<HWND>(wParam);
        if (kt_test::IsModalWindow(window))
            currentAnswerer->Answer(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void BoxAnswerer::Answer(HWND box) {
    // A message box has its texts by the time it is activated; the answer is
    // posted, so that its own loop takes it as a click.
    std::string caption = kt_test::WindowTextOf(box);
    std::string text = kt_test::ChildTexts(box);
    for (const Rule& rule : rules) {
        if (rule.caption == caption) {
            seen.push_back(caption + ":" + text);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(rule.button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, rule.button)));
            return;
        }
    }
    unexpected.push_back(caption + ":" + text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace kt_fuzz
