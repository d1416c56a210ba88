// The command-line options that export, import and verify the settings
// without the dialog: /export FILE, /import FILE, /verify [FILE], /? and
// /log FILE, each also with "-" and in any letter case.
#pragma once

#include <string>
#include <vector>

// Exit codes that scripts test.
constexpr int kExitDone = 0;
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWarnings = 3;
constexpr int kExitDialogOpen = 4;

// The words of a command line, as a program's arguments: blanks separate
// them, and double quotes keep blanks inside one (the quotes are dropped).
std::vector<std::string> CommandLineWords(const char* commandLine);

// Whether the command line asks for one of these options. Without one,
// the program starts as it always did, and the command line goes on to it.
bool IsDeployCommand(const char* commandLine);

// Runs the options of the command line and returns the exit code.
int RunDeployCommand(const char* commandLine);
