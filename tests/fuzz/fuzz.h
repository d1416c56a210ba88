// What the fuzz tests share: a reproducible stream of cases, random stored
// data of every shape other programs may leave behind, and an answerer for
// the message boxes that bad data makes the program raise.
#pragma once

#include <windows.h>

#include "sheet/error_sink.h"

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kt_fuzz {

// The seed of a run: KT_FUZZ_SEED, or a fixed default so that every run of
// the test command tries the same cases.
unsigned Seed();

// One case's random source. Each case has a generator of its own, made from
// the seed and the case number, so that a failing case can be run alone
// (KT_FUZZ_CASE) with the data it failed on.
class Random {
public:
    Random(unsigned seed, int caseNumber);

    // 0 .. count - 1.
    int Below(int count);
    // Whether a chance of percent in a hundred came up.
    bool Chance(int percent);
    template <class T>
    const T& Pick(const std::vector<T>& choices) {
        return choices[static_cast<size_t>(Below(static_cast<int>(choices.size())))];
    }

    // A length for stored data: the sizes where buffers end (0, 1, 259, 260,
    // 2047, 2048, 65535) and their neighbours, or a small one.
    size_t Length();
    // count bytes of text: letters, digits, blanks, separators and the
    // characters the program looks for (":", "=", "\\"), now and then a byte
    // above 127; NUL inside when nul is set.
    std::string Text(size_t count, bool nul = false);
    // A name of the lengths where name buffers end (31, 32, 255, 256) or a
    // short one, without NUL and without "\\".
    std::string Name();

private:
    std::mt19937 engine;
};

// A value as another program may have stored it.
struct StoredValue {
    DWORD type = REG_SZ;
    std::string data;  // the bytes as stored, a terminator only if it is in data
};

// A value of random type and size: mostly text (with or without its
// terminator), or REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_EXPAND_SZ,
// REG_NONE data. text, when given, is the text a well-formed value would hold.
StoredValue RandomValue(Random& random, const std::string& text = std::string());

// Writes a value (null name: the default value), creating the key; false
// when the registry refuses it (a name longer than it takes).
bool Store(HKEY root, const std::string& subkey, const char* valueName, const StoredValue& value);
// Creates the key; false when the registry refuses it (a name longer than
// it takes).
bool CreateKey(HKEY root, const std::string& subkey);
// Whether the value exists; its type and bytes.
bool Load(HKEY root, const std::string& subkey, const char* valueName, StoredValue* value);
// The value's text as a careful reader sees it: the stored bytes up to the
// first NUL.
std::string TextOf(const StoredValue& value);
// The default value of key read as the pages read it (RegQueryValueA with a
// buffer of bufferSize bytes), but cut where the registry says the data
// ends and at its first NUL: the text a page may show. status gets the
// registry's answer.
std::string ReadAsPages(HKEY root, const std::string& key, LONG bufferSize, LONG* status);
// The names of a key's subkeys, in the registry's order (none when the key
// is missing).
std::vector<std::string> SubkeyNames(HKEY root, const std::string& key);
// The names of a key's values.
std::vector<std::string> ValueNames(HKEY root, const std::string& key);
bool KeyExists(HKEY root, const std::string& key);
// A key's subkeys with their default values and the key's own values, as
// stored: equal before and after when nothing was written.
std::vector<std::pair<std::string, std::string>> KeyContents(HKEY root, const std::string& key);
// A list view cell's text, read whole.
std::string CellText(HWND list, int row, int column);
void DeleteTree(HKEY root, const std::string& key);

// A printable form of data for a failure message, cut to a readable length.
std::string Shown(const std::string& data);

// Runs cases 0 .. count - 1 (KT_FUZZ_CASES may ask for another count, and
// KT_FUZZ_CASE for one case alone), each with
// its own Random. After the first case that fails, the run stops and the
// seed and case number are reported, with how to run that case alone.
// Returns the number of cases run.
int RunCases(const char* what, int count, const std::function<void(Random&, int)>& oneCase);

// Whether a case also builds the real dialog over its data and presses OK:
// one case in two hundred, or every case with KT_FUZZ_DIALOG=1. The other
// cases read and write the same stores through the pages' own store code,
// without windows, which under Wine costs a fortieth of a dialog.
bool BuildsDialog(int caseNumber);

// The reports of a store read or written without its page.
class CollectedErrors final : public TErrorSink {
public:
    void Report(const char* text, int kind) override;
    // "error: text" or "warning: text", in the order reported.
    const std::vector<std::string>& Reports() const { return reports; }
    void Clear() { reports.clear(); }

private:
    std::vector<std::string> reports;
};

// Answers every message box the code under test raises while it lives: each
// must have one of the captions given, and its text is kept for the test to
// look at; OK, or the button given for its caption, is pressed at once.
class BoxAnswerer {
public:
    struct Rule {
        std::string caption;
        int button;
    };
    explicit BoxAnswerer(std::vector<Rule> rules);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // "caption: text" of every box answered since the last Clear.
    const std::vector<std::string>& Seen() const { return seen; }
    // Boxes whose caption no rule names (they were closed).
    const std::vector<std::string>& Unexpected() const { return unexpected; }
    void Clear();

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box);

    HHOOK hook = nullptr;
    std::vector<Rule> rules;
    std::vector<std::string> seen;
    std::vector<std::string> unexpected;
};

}  // namespace kt_fuzz
