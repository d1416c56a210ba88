#include "tests/support/program_copy.h"

#include "tests/support/process.h"

#include <gtest/gtest.h>

namespace kt_test {

namespace {

constexpr DWORD kChildTimeoutMs = 60000;

}  // namespace

ProgramCopy::ProgramCopy(const std::string& exePath) : path(exePath) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    copied = CopyFileA(self, path.c_str(), FALSE) != 0;
    EXPECT_TRUE(copied) << "cannot copy the test program to " << path << " (error "
                        << GetLastError() << ")";
}

ProgramCopy::~ProgramCopy() {
    if (copied)
        DeleteFileA(path.c_str());
}

bool ProgramCopy::RunTests(const std::string& filter, const std::string& arguments,
                           std::string* output, DWORD* exitCode) const {
    if (!copied)
        return false;
    std::string line = "\"" + path + "\" --gtest_also_run_disabled_tests --gtest_filter=" + filter;
    if (!arguments.empty())
        line += " " + arguments;
    return RunAndCapture(line, output, exitCode, kChildTimeoutMs);
}

std::string Field(const std::string& output, const std::string& name) {
    std::string key = "\n" + name + "=";
    size_t at = output.find(key);
    if (at == std::string::npos)
        return "(missing)";
    at += key.size();
    size_t end = output.find_first_of("\r\n", at);
    return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace kt_test
