// What a command-line run tells: one line per problem, in the error
// window's words and marked "error" or "warning", to the console the
// program was started from and, when asked, appended to a log file.
#pragma once

#include "sheet/error_sink.h"

#include <windows.h>

#include <string>
#include <vector>

class TReport {
public:
    // quiet: the lines are only kept (for a caller that shows them itself).
    explicit TReport(bool quiet = false);
    ~TReport();
    TReport(const TReport&) = delete;
    TReport& operator=(const TReport&) = delete;

    // Appends every later line to the file as well; false when it cannot
    // be opened for appending.
    bool OpenLog(const char* path, const char* commandLine);

    // A problem: "page:  text" as the error window shows it (page may be
    // null), with the settings file's line when it is one line's.
    void Problem(const char* page, const std::string& text, int kind, int line = 0);
    // A line that is no problem (what was done).
    void Note(const std::string& text);
    // The problems are also tagged with this file's name where they have a
    // line.
    void SetFileName(const std::string& name) { fileName = name; }

    // Every line given so far, without line ends.
    const std::vector<std::string>& Lines() const { return lines; }
    int Errors() const { return errors; }
    int Warnings() const { return warnings; }

private:
    void Emit(const std::string& line);
    void OpenConsole();

    HANDLE console = nullptr;  // null: there is nowhere to print
    bool consoleOpened;
    bool ownsConsoleHandle = false;
    HANDLE log = nullptr;
    std::string fileName;
    std::vector<std::string> lines;
    int errors = 0;
    int warnings = 0;
};

// A store's reports, named after the page whose store it is. asKind, when
// not negative, replaces the store's own kind (an export reports as a
// warning what a page would refuse).
class TPageReports final : public TErrorSink {
public:
    TPageReports(TReport& report, const char* page, int asKind = -1, int line = 0)
        : report(report), page(page), asKind(asKind), line(line) {}
    void Report(const char* text, int kind) override;

private:
    TReport& report;
    const char* page;
    int asKind;
    int line;
};

constexpr int kProblemWarning = 0;
constexpr int kProblemError = 1;
