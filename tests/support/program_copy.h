// A copy of the running test program placed elsewhere, for behaviour that
// depends on where the program lies: the copy runs a child test of its own
// and prints what it finds as "\nname=value" lines.
#pragma once

#include <windows.h>

#include <string>

namespace kt_test {

class ProgramCopy {
public:
    // Copies this test program to exePath (fails the test when it cannot);
    // the copy is removed again with this object.
    explicit ProgramCopy(const std::string& exePath);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool Copied() const { return copied; }
    const std::string& Path() const { return path; }

    // Runs the copy's tests that match filter, disabled ones included, with
    // the extra arguments after the test flags; their output into *output.
    // False when there is no copy, or (the test failed) when it cannot run
    // or does not end within a minute.
    bool RunTests(const std::string& filter, const std::string& arguments, std::string* output,
                  DWORD* exitCode) const;

private:
    std::string path;
    bool copied = false;
};

// The value of the line "name=value" in a child's output, up to the line's
// end; "(missing)" when there is no such line.
std::string Field(const std::string& output, const std::string& name);

}  // namespace kt_test
