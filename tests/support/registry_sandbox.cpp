#include "tests/support/registry_sandbox.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace kt_test {

namespace {

const char kScratchRoot[] = "Software\\ktconfig-tests";

int sandboxCounter = 0;

const char* Shown(const char* valueName) {
    return valueName ? valueName : "(default)";
}

// The key, created when missing; null (the test failed) when it cannot be.
HKEY CreateKey(HKEY root, const char* subkey, REGSAM access) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                  nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create key " << subkey << " (error " << status << ")";
        return nullptr;
    }
    return key;
}

void SetValue(HKEY root, const char* subkey, const char* valueName, DWORD type, const BYTE* data,
              DWORD size) {
    HKEY key = CreateKey(root, subkey, KEY_SET_VALUE);
    if (!key)
        return;
    LONG status = RegSetValueExA(key, valueName, 0, type, data, size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "cannot set " << subkey << " " << Shown(valueName) << " (error " << status
                      << ")";
}

HKEY CreateScratchKey(const std::string& path) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "registry sandbox: cannot create HKCU\\" << path << " (error " << status
                      << ")";
        return nullptr;
    }
    return key;
}

}  // namespace

RegistrySandbox::RegistrySandbox() {
    char name[64];
    std::snprintf(name, sizeof name, "\\%lu-%d", GetCurrentProcessId(), ++sandboxCounter);
    scratchPath = std::string(kScratchRoot) + name;
    // A tree of that name can only be left over from a dead process that had
    // our pid: it is nobody's any more.
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath.c_str());

    // Both keys are made under the real HKCU before anything is remapped;
    // once HKCU is overridden, the path would land inside the sandbox.
    machine = CreateScratchKey(scratchPath + "\\machine");
    user = CreateScratchKey(scratchPath + "\\user");
    if (!machine || !user)
        return;
    LONG status = RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine);
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "registry sandbox: cannot remap HKLM (error " << status << ")";
    status = RegOverridePredefKey(HKEY_CURRENT_USER, user);
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "registry sandbox: cannot remap HKCU (error " << status << ")";
}

RegistrySandbox::~RegistrySandbox() {
    // Back to the real keys first: the scratch tree lives under the real HKCU.
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (machine)
        RegCloseKey(machine);
    if (user)
        RegCloseKey(user);
    LONG status = RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "registry sandbox: cannot delete HKCU\\" << scratchPath << " (error "
                      << status << ")";
    // Fails while other test processes still hold their trees there; fine.
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchRoot);
}

void SetRegString(HKEY root, const char* subkey, const char* valueName, const char* text) {
    const char* data = text ? text : "";
    SetValue(root, subkey, valueName, REG_SZ, reinterpret_cast<const BYTE*>(data),
             static_cast<DWORD>(strlen(data) + 1));
}

bool GetRegString(HKEY root, const char* subkey, const char* valueName, std::string* text) {
    if (text)
        text->clear();
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key);
    if (status == ERROR_FILE_NOT_FOUND)
        return false;
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open key " << subkey << " (error " << status << ")";
        return false;
    }
    DWORD type = 0, size = 0;
    status = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        RegCloseKey(key);
        if (status != ERROR_FILE_NOT_FOUND)
            ADD_FAILURE() << "cannot read " << subkey << " " << Shown(valueName) << " (error "
                          << status << ")";
        return false;
    }
    std::vector<char> data(size + 1, '\0');
    status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                              &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot read " << subkey << " " << Shown(valueName) << " (error " << status
                      << ")";
        return false;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        ADD_FAILURE() << subkey << " " << Shown(valueName) << " is not a string (type " << type
                      << ")";
    if (text)
        text->assign(data.data());  // stops at the terminator, stored or not
    return true;
}

void SetRegDword(HKEY root, const char* subkey, const char* valueName, DWORD number) {
    SetValue(root, subkey, valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
             sizeof number);
}

bool GetRegDword(HKEY root, const char* subkey, const char* valueName, DWORD* number) {
    if (number)
        *number = 0;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG status = RegGetValueA(root, subkey, valueName, RRF_RT_ANY, &type, &value, &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return false;
    if (status != ERROR_SUCCESS || type != REG_DWORD) {
        ADD_FAILURE() << subkey << " " << Shown(valueName) << " is no number (error " << status
                      << ", type " << type << ")";
        return false;
    }
    if (number)
        *number = value;
    return true;
}

bool RegValueExists(HKEY root, const char* subkey, const char* valueName) {
    LONG status = RegGetValueA(root, subkey, valueName, RRF_RT_ANY, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot look at " << subkey << " " << Shown(valueName) << " (error "
                      << status << ")";
    return status == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY root, const char* subkey) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, subkey, 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) {
        RegCloseKey(key);
        return true;
    }
    if (status != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot open key " << subkey << " (error " << status << ")";
    return false;
}

void CreateRegKey(HKEY root, const char* subkey) {
    if (HKEY key = CreateKey(root, subkey, KEY_READ))
        RegCloseKey(key);
}

void DeleteRegTree(HKEY root, const char* subkey) {
    LONG status = RegDeleteTreeA(root, subkey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot delete key " << subkey << " (error " << status << ")";
}

namespace {

bool SetKeyAcl(HKEY root, const char* subkey, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, subkey, 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

}  // namespace

KeyAcl::KeyAcl(HKEY root, const char* subkey, const char* sddl) : root(root), subkey(subkey) {
    if (!SetKeyAcl(root, subkey, sddl))
        ADD_FAILURE() << "cannot set the access list of " << subkey;
}

KeyAcl::~KeyAcl() {
    if (!SetKeyAcl(root, subkey.c_str(), "D:(A;;KA;;;WD)"))
        ADD_FAILURE() << "cannot give " << subkey << " back to everyone";
}

}  // namespace kt_test
