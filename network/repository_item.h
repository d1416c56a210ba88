// One item of the Network list: a directory (LDAP) server, a central
// directory or a Resource Manager server.
#pragma once

#include <windows.h>

class TRepositoryItem {
public:
    enum Type : DWORD { LdapServer = 0, Directory = 1, ResourceManager = 2 };

    // A directory, or a Resource Manager whose port is "COM".
    TRepositoryItem(const char* name, Type type);
    // A server definition: a Resource Manager when the port is "COM" in any
    // letter case, an LDAP server otherwise. Null fields stay null.
    TRepositoryItem(const char* name, const char* port, const char* searchBase);
    ~TRepositoryItem();
    TRepositoryItem(const TRepositoryItem&) = delete;
    TRepositoryItem& operator=(const TRepositoryItem&) = delete;

    // An LDAP server whatever the port says.
    void SetServer(const char* name, const char* port, const char* searchBase);
    void SetDirectory(const char* name);
    void SetResourceManager(const char* name);

    const char* GetName() const { return name; }
    // The fields as texts; a missing port or search base is empty.
    const char* GetPort() const { return port ? port : ""; }
    const char* GetSearchBase() const { return searchBase ? searchBase : ""; }
    bool HasPort() const { return port != nullptr; }
    bool HasSearchBase() const { return searchBase != nullptr; }
    Type GetType() const { return type; }

    // Whether a port text makes a server definition a Resource Manager.
    static bool IsComPort(const char* port);
    // Records alive now, for the checks that each is freed exactly once.
    static int LiveCount() { return liveCount; }

private:
    void Fill(const char* newName, const char* newPort, const char* newSearchBase, Type newType);
    void Release();

    char* name = nullptr;
    char* port = nullptr;
    char* searchBase = nullptr;
    Type type;

    static int liveCount;
};
