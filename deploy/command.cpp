#include "deploy/command.h"

#include "deploy/report.h"
#include "deploy/settings.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char kDialogTitle[] = "Korvane & Tools Configuration";
// A settings file is a few kilobytes; anything far larger is no settings file.
constexpr DWORD kLargestFile = 16u * 1024u * 1024u;

const char kUsage[] =
    "Usage: ktconfig [/export FILE | /import FILE | /verify [FILE] | /?] [/log FILE]\r\n"
    "\r\n"
    "  /export FILE   writes every setting of this machine's pages into FILE\r\n"
    "  /import FILE   checks FILE as the pages check it, then saves it as OK saves\r\n"
    "  /verify [FILE] checks this machine's settings, and compares them with FILE\r\n"
    "  /log FILE      appends every line of the output to FILE as well\r\n"
    "  /?             shows this text\r\n"
    "\r\n"
    "Options may start with - as well as /. Exit codes: 0 done, 1 errors (an import\r\n"
    "that found an error in FILE writes nothing), 2 wrong command line, 3 warnings\r\n"
    "only, 4 the configuration dialog is open (an import refuses).";

enum TAction { kNone, kExport, kImport, kVerify, kHelp };

struct TOptions {
    TAction action = kNone;
    std::string file;
    bool hasFile = false;
    std::string log;
    bool hasLog = false;
    bool wrong = false;
};

bool IsOptionWord(const std::string& word) {
    return word.size() > 1 && (word[0] == '/' || word[0] == '-');
}

// The option's name and a value joined to it with ":" or "=".
void SplitOption(const std::string& word, std::string* name, std::string* value, bool* joined) {
    std::string body = word.substr(1);
    size_t mark = body.find_first_of(":=");
    *joined = mark != std::string::npos;
    *name = *joined ? body.substr(0, mark) : body;
    *value = *joined ? body.substr(mark + 1) : std::string();
}

TAction ActionOf(const std::string& name) {
    if (SameText(name, "export"))
        return kExport;
    if (SameText(name, "import"))
        return kImport;
    if (SameText(name, "verify"))
        return kVerify;
    if (name == "?")
        return kHelp;
    return kNone;
}

TOptions ReadOptions(const std::vector<std::string>& words) {
    TOptions options;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string name, value;
        bool joined = false;
        if (!IsOptionWord(words[i])) {
            options.wrong = true;
            continue;
        }
        SplitOption(words[i], &name, &value, &joined);
        // A value of its own follows as the next word, unless it is an option.
        bool next = !joined && i + 1 < words.size() && !IsOptionWord(words[i + 1]);
        if (SameText(name, "log")) {
            if (options.hasLog || (!joined && !next))
                options.wrong = true;
            options.hasLog = true;
            options.log = joined ? value : next ? words[++i] : "";
            options.wrong = options.wrong || options.log.empty();
            continue;
        }
        TAction action = ActionOf(name);
        if (action == kNone || options.action != kNone) {
            options.wrong = true;
            continue;
        }
        options.action = action;
        if (action == kHelp) {
            options.wrong = options.wrong || joined;
            continue;
        }
        options.hasFile = joined || next;
        options.file = joined ? value : next ? words[++i] : "";
        if ((action != kVerify && !options.hasFile) || (options.hasFile && options.file.empty()))
            options.wrong = true;
    }
    if (options.action == kNone)
        options.wrong = true;
    return options;
}

std::string SystemMessage(DWORD error) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = '\0';
    char code[32];
    std::snprintf(code, sizeof code, "error %lu", static_cast<unsigned long>(error));
    return length ? std::string(text) + " (" + code + ")" : std::string(code);
}

bool ReadWholeFile(const std::string& path, std::string* text, TReport& report) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        report.Problem(
            nullptr, "Cannot open the settings file " + path + ": " + SystemMessage(GetLastError()),
            kProblemError);
        return false;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool good = size != INVALID_FILE_SIZE && high == 0 && size <= kLargestFile;
    if (!good) {
        report.Problem(nullptr, "The settings file " + path + " is too large to be one",
                       kProblemError);
    } else {
        text->assign(size, '\0');
        DWORD got = 0;
        good = size == 0 || (ReadFile(file, &(*text)[0], size, &got, nullptr) && got == size);
        if (!good)
            report.Problem(
                nullptr,
                "Cannot read the settings file " + path + ": " + SystemMessage(GetLastError()),
                kProblemError);
    }
    CloseHandle(file);
    return good;
}

// The whole text or nothing: it goes into a new file beside the old one,
// which is then replaced in one step.
bool WriteWholeFile(const std::string& path, const std::string& text, TReport& report) {
    std::string temporary = path + ".ktc-new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = GetLastError();
    bool good = file != INVALID_HANDLE_VALUE;
    if (good) {
        DWORD written = 0;
        good = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
        error = GetLastError();
        good = CloseHandle(file) && good;
        good = good && MoveFileExA(temporary.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!good) {
            error = GetLastError();
            DeleteFileA(temporary.c_str());
        }
    }
    if (!good)
        report.Problem(nullptr,
                       "Cannot write the settings file " + path + ": " + SystemMessage(error),
                       kProblemError);
    return good;
}

bool ReadSettingsFile(const std::string& path, TDeploySettings* settings, TReport& report) {
    std::string text;
    if (!ReadWholeFile(path, &text, report))
        return false;
    TSettingsFile file;
    std::vector<TFileProblem> problems;
    bool parsed = file.Parse(text, &problems);
    for (const TFileProblem& problem : problems)
        report.Problem(nullptr, problem.text, kProblemError, problem.line);
    // Each section is still checked, so that one run shows every problem.
    bool checked = FromSettingsFile(file, settings, report);
    return parsed && checked;
}

int ExitCodeOf(const TReport& report) {
    if (report.Errors())
        return kExitErrors;
    return report.Warnings() ? kExitWarnings : kExitDone;
}

bool DialogIsOpen() {
    return FindWindowA(nullptr, kDialogTitle) != nullptr;
}

int Export(const TOptions& options, TReport& report) {
    TDeploySettings machine = ReadMachineSettings(report, kProblemWarning);
    if (!ReadChannelDir().stored)
        report.Problem(kChannelFilesPage,
                       "No channel file directory is stored; the file leaves it out",
                       kProblemWarning);
    TSettingsFile file;
    std::string text;
    if (!ToSettingsFile(machine, &file, report) || !file.Write(&text, nullptr) ||
        !WriteWholeFile(options.file, text, report)) {
        report.Note("Nothing was exported.");
        return kExitErrors;
    }
    report.Note("Exported the settings of this machine to " + options.file + ".");
    return ExitCodeOf(report);
}

int RefuseOpenDialog(TReport& report) {
    report.Problem(nullptr,
                   "The configuration dialog is open on this machine, and its OK would "
                   "overwrite the import; close it and import again. Nothing was written.",
                   kProblemError);
    return kExitDialogOpen;
}

int Import(const TOptions& options, TReport& report) {
    if (DialogIsOpen())
        return RefuseOpenDialog(report);
    report.SetFileName(options.file);
    TDeploySettings settings;
    if (!ReadSettingsFile(options.file, &settings, report) || report.Errors()) {
        report.Note("Nothing was written.");
        return kExitErrors;
    }
    // The checks took a while; the dialog may have been opened meanwhile.
    if (DialogIsOpen())
        return RefuseOpenDialog(report);
    ApplySettings(settings, report);
    if (report.Errors())
        report.Note("Imported the settings from " + options.file +
                    "; what the errors name was not saved.");
    else
        report.Note("Imported the settings from " + options.file + ".");
    return ExitCodeOf(report);
}

int Verify(const TOptions& options, TReport& report) {
    TDeploySettings file;
    bool fileGood = true;
    if (options.hasFile) {
        report.SetFileName(options.file);
        fileGood = ReadSettingsFile(options.file, &file, report);
    }
    TDeploySettings machine = ReadMachineSettings(report, -1);
    CheckMachineSettings(machine, report);
    if (options.hasFile && fileGood)
        CompareSettings(file, machine, report);
    std::string what = options.hasFile
                           ? "Verified the settings of this machine against " + options.file
                           : std::string("Verified the settings of this machine");
    if (report.Errors() || report.Warnings()) {
        char counts[96];
        std::snprintf(counts, sizeof counts, ": %d errors, %d warnings.", report.Errors(),
                      report.Warnings());
        report.Note(what + counts);
    } else {
        report.Note(what + ": no problem found.");
    }
    return ExitCodeOf(report);
}

}  // namespace

std::vector<std::string> CommandLineWords(const char* commandLine) {
    std::vector<std::string> words;
    const char* c = commandLine ? commandLine : "";
    for (;;) {
        while (*c == ' ' || *c == '\t')
            ++c;
        if (!*c)
            break;
        std::string word;
        bool quoted = false;
        for (; *c && (quoted || (*c != ' ' && *c != '\t')); ++c) {
            if (*c == '"')
                quoted = !quoted;
            else
                word += *c;
        }
        words.push_back(word);
    }
    return words;
}

bool IsDeployCommand(const char* commandLine) {
    for (const std::string& word : CommandLineWords(commandLine)) {
        if (!IsOptionWord(word))
            continue;
        std::string name, value;
        bool joined = false;
        SplitOption(word, &name, &value, &joined);
        if (ActionOf(name) != kNone || SameText(name, "log"))
            return true;
    }
    return false;
}

int RunDeployCommand(const char* commandLine) {
    TOptions options = ReadOptions(CommandLineWords(commandLine));
    TReport report;
    // A script that got its command line wrong still leaves its trace in
    // the log it asked for.
    const bool logged =
        options.hasLog && !options.log.empty() && report.OpenLog(options.log.c_str(), commandLine);
    const DWORD logError = GetLastError();
    if (options.wrong || options.action == kHelp) {
        report.Note(kUsage);
        return options.wrong ? kExitUsage : kExitDone;
    }
    if (options.hasLog && !logged) {
        report.Problem(nullptr,
                       "Cannot open the log file " + options.log + ": " + SystemMessage(logError),
                       kProblemError);
        return kExitErrors;
    }
    switch (options.action) {
        case kExport:
            return Export(options, report);
        case kImport:
            return Import(options, report);
        default:
            return Verify(options, report);
    }
}
