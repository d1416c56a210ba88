// For the life of a test, HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of this
// process are remapped onto fresh scratch keys, deleted again afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace kt_test {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::string scratchPath;
    HKEY machine = nullptr;
    HKEY user = nullptr;
};

// Small registry tools for tests; each fails the running test on an error.
// A null value name is the key's default value.
void SetRegString(HKEY root, const char* subkey, const char* valueName, const char* text);
// Whether the value exists; its text into *text.
bool GetRegString(HKEY root, const char* subkey, const char* valueName, std::string* text);
void SetRegDword(HKEY root, const char* subkey, const char* valueName, DWORD number);
// Whether the value exists; a value of another type fails the test.
bool GetRegDword(HKEY root, const char* subkey, const char* valueName, DWORD* number);
bool RegValueExists(HKEY root, const char* subkey, const char* valueName);
bool RegKeyExists(HKEY root, const char* subkey);
void CreateRegKey(HKEY root, const char* subkey);
void DeleteRegTree(HKEY root, const char* subkey);

// While it lives, a key's access list is the one given in text form
// (SDDL); afterwards everyone may do everything again, so that the sandbox
// can remove the key. Fails the test when the list cannot be set.
class KeyAcl {
public:
    KeyAcl(HKEY root, const char* subkey, const char* sddl);
    ~KeyAcl();
    KeyAcl(const KeyAcl&) = delete;
    KeyAcl& operator=(const KeyAcl&) = delete;

private:
    HKEY root;
    std::string subkey;
};

// Everyone may do everything but write values, create subkeys and delete.
constexpr char kDenyWritesAcl[] = "D:(D;;0x10006;;;WD)(A;;KA;;;WD)";

}  // namespace kt_test
