// A tool's command line: its program path, in double quotes when it has
// parameters or blanks, then the parameters. Made from the program and the
// parameters, split back into them, and the tool name proposed for a program.
#pragma once

#include <windows.h>

// Sizes of the buffers that hold what a tool is made of, terminator included.
constexpr int kCommandLineSize = MAX_PATH;
constexpr int kProgramSize = MAX_PATH;
constexpr int kParametersSize = MAX_PATH;
constexpr int kToolNameSize = 32;

// The command line of program with parameters into out (kCommandLineSize
// bytes): "program" parameters, or, without parameters, the program bare or
// in quotes when it holds a blank. Returns 1 when program and parameters fit
// whole; 0 when they do not, and out then holds the bare program alone.
int MakeCommandLine(char* out, const char* program, const char* parameters);

// The program part of commandLine into program (kProgramSize bytes); returns
// where the parameters begin (empty when there are none). An unquoted
// command line that names an existing file as a whole is all program.
const char* SplitCommandLine(char* program, const char* commandLine);

// Replaces name (kToolNameSize bytes) by a name made from the file part of
// path ("C:\Tools\NOTEPAD.EXE" gives "Notepad"), unless the two differ only
// in the case of the letters A to Z.
void DeriveToolName(char* name, const char* path);
