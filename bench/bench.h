// The benchmark's frame: a case times the program's way of doing a piece of
// work and a raw loop of the Win32 calls that the work cannot do without,
// over the same data; the runner alternates the two and takes medians.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TWin;

namespace kt_bench {

class TBenchCase {
public:
    virtual ~TBenchCase() = default;
    virtual std::string Name() const = 0;
    // The most program time / raw time may be.
    virtual double Goal() const { return 1.1; }
    // Untimed, before and after each timed run of either side.
    virtual void Prepare(bool /*program*/) {}
    virtual void Finish(bool /*program*/) {}
    // Timed.
    virtual void Program() = 0;
    virtual void Raw() = 0;
};

struct TResult {
    std::string name;
    double program;  // median, ms
    double raw;      // median, ms
    double goal;
    double Ratio() const { return raw > 0 ? program / raw : 0; }
};

// Whether Measure prints every run's time (to stderr).
extern bool verbose;

// Milliseconds on the performance counter.
double Now();
// Hands every waiting message of this thread to its window.
void Pump();

// One untimed run of each side first, then runs rounds, the order of the two
// sides swapped every round so that a drift of the machine hits both alike.
TResult Measure(TBenchCase& benchCase, int runs);

// Files and directories by Windows path.
void MakeDir(const std::string& path);
bool RemoveTree(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
void CopyOrDie(const std::string& from, const std::string& to);
// A file beside ktbench.exe.
std::string BesideProgram(const char* name);

// Registry values; a null value name is the default value.
void SetString(HKEY root, const char* subkey, const char* valueName, const std::string& text);
void DeleteTree(HKEY root, const char* subkey);

// Ends the run with a message: the benchmark's own data could not be made.
[[noreturn]] void Die(const std::string& what);

// A top-level window, hidden, to hold the pages of a case.
class THost {
public:
    THost();
    ~THost();
    THost(const THost&) = delete;
    THost& operator=(const THost&) = delete;
    TWin* Win() const { return win; }
    HWND Handle() const { return handle; }

private:
    TWin* win;
    HWND handle = nullptr;
};

}  // namespace kt_bench
