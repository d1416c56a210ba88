// The Unix system Wine runs on, as tests reach it: paths both ways and Unix
// programs started from the Windows side.
#pragma once

#include <string>

namespace kt_test {

// Wine maps the Unix root onto drive Z:; a path that does not start at the
// Unix root is returned as it is.
std::string WindowsPath(const std::string& unixPath);

// The Unix path Wine gives a Windows path; empty when it gives none.
std::string UnixPath(const std::string& windowsPath);

// Starts the Unix program (a Unix path) with the whole command line, its own
// name first. Wine cannot wait for a Unix program, so callers look for its
// effect; false when it could not be started.
bool StartUnixProgram(const std::string& program, const std::string& commandLine);

}  // namespace kt_test
