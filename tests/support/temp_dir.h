// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace kt_test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Windows path without a trailing separator.
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }
    // Relative names may hold subdirectories, which are created.
    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void MakeDir(const std::string& name) const;

private:
    std::string path;
};

// Files anywhere, by Windows path.
// The whole content, or "<missing>" when the file cannot be opened.
std::string ReadFileText(const std::string& path);
bool PathExists(const std::string& path);
// Removes path with everything in it, read-only entries too; false when
// something is left.
bool RemoveTree(const std::string& path);
// The Windows directory, without a trailing separator.
std::string WindowsDir();

}  // namespace kt_test
