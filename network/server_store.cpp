#include "network/server_store.h"

#include "sheet/error_sink.h"

#include <cstdio>
#include <cstring>

namespace {

enum Part { kServerPart, kPortPart, kSearchBasePart, kPartCount };
const char* const kPartKeys[kPartCount] = {
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase",
};
const char kValuePrefix[] = "Value";
constexpr int kValueNameSize = 32;

const char kCannotCreate[] = "Cannot create registry key ";
const char kCannotWrite[] = "Cannot write to registry key ";
const char kNoSearchBase[] = "LDAP server definition is invalid because it lacks search base";
constexpr int kKindError = 1;

// What a definition dialog saves of a field, and so the most a value may
// hold to be read back; ports too, so that a long port keeps its server.
constexpr DWORD kReadSize = 2047;
constexpr int kReportSize = 2048;

void ValueName(char (&name)[kValueNameSize], int number) {
    std::snprintf(name, sizeof name, "%s%d", kValuePrefix, number);
}

// A value's data as text. The buffer has room for a terminator after the
// most that is read, for data stored without one.
LONG ReadValue(HKEY key, const char* name, char (&text)[kReadSize + 1], DWORD* size) {
    *size = kReadSize;
    LONG status =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), size);
    if (status != ERROR_SUCCESS) {
        *size = 0;
        text[0] = '\0';
        return status;
    }
    text[*size <= kReadSize ? *size : kReadSize] = '\0';
    return status;
}

bool HasText(LONG status, DWORD size) {
    // Only the terminator, or nothing at all, is an empty value.
    return status == ERROR_SUCCESS && size > 1;
}

bool WriteValue(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
}

// Whether a value name is one that loading reads ("Value" and a number in
// the form "%d" gives, in any letter case as the registry compares names).
bool IsItemValueName(const char* name) {
    size_t prefix = sizeof kValuePrefix - 1;
    if (_strnicmp(name, kValuePrefix, prefix) != 0)
        return false;
    const char* digits = name + prefix;
    if (*digits < '1' || *digits > '9')
        return false;
    for (const char* c = digits; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    return true;
}

// A key that outlived its deletion still holds the old items, which would
// come back at the next load wherever the new list does not overwrite them.
void RemoveItemValues(HKEY key) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    // From the end: deleting a value moves only those after it.
    for (DWORD index = count; index-- > 0;) {
        char name[kValueNameSize];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;  // a longer name is no item's
        if (IsItemValueName(name))
            RegDeleteValueA(key, name);
    }
}

// "what" followed by the path of that part's key, as an error.
void ReportKey(TErrorSink& errors, const char* what, int part) {
    char text[kReportSize];
    std::snprintf(text, sizeof text, "%s%s", what, kPartKeys[part]);
    errors.Report(text, kKindError);
}

const char* Shown(const char* text) {
    return text ? text : "";
}

// Item number into the three open keys; a failed part is reported.
void WriteItem(HKEY* keys, int number, const TRepositoryItem* record, TErrorSink& errors) {
    char valueName[kValueNameSize];
    ValueName(valueName, number);
    // A part that cannot be written ends its item: the parts after it would
    // describe another kind of item.
    if (!WriteValue(keys[kServerPart], valueName, Shown(record->GetName()))) {
        ReportKey(errors, kCannotWrite, kServerPart);
        return;
    }
    if (!record->HasPort())
        return;
    if (!WriteValue(keys[kPortPart], valueName, record->GetPort())) {
        ReportKey(errors, kCannotWrite, kPortPart);
        return;
    }
    if (record->HasSearchBase() &&
        !WriteValue(keys[kSearchBasePart], valueName, record->GetSearchBase()))
        ReportKey(errors, kCannotWrite, kSearchBasePart);
}

// Whether every part's key can be opened (or made) for all the save does to
// it; each that cannot is reported. A save that deleted the other keys
// first would lose their items without writing them back.
bool CanOpenEveryKey(TErrorSink& errors) {
    bool all = true;
    for (int part = 0; part < kPartCount; ++part) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPartKeys[part], 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            ReportKey(errors, kCannotCreate, part);
            all = false;
            continue;
        }
        RegCloseKey(key);
    }
    return all;
}

}  // namespace

void ReadServers(TServerSink& sink, TErrorSink& errors) {
    // All three keys, or no items.
    HKEY keys[kPartCount] = {};
    bool opened = true;
    for (int part = 0; part < kPartCount; ++part)
        opened = opened &&
                 RegOpenKeyA(HKEY_LOCAL_MACHINE, kPartKeys[part], &keys[part]) == ERROR_SUCCESS;
    // Item after item, until a name cannot be read.
    for (int number = 1; opened; ++number) {
        char valueName[kValueNameSize];
        ValueName(valueName, number);
        char name[kReadSize + 1];
        char port[kReadSize + 1];
        char searchBase[kReadSize + 1];
        DWORD size = 0;

        TStoredServer item{};
        item.name = name;
        item.port = port;
        item.searchBase = searchBase;
        LONG nameStatus = ReadValue(keys[kServerPart], valueName, name, &size);
        item.hasName = HasText(nameStatus, size);

        item.type = TRepositoryItem::Directory;
        LONG status = ReadValue(keys[kPortPart], valueName, port, &size);
        item.hasPort = HasText(status, size);
        if (item.hasPort)
            item.type = TRepositoryItem::IsComPort(port) ? TRepositoryItem::ResourceManager
                                                         : TRepositoryItem::LdapServer;

        status = ReadValue(keys[kSearchBasePart], valueName, searchBase, &size);
        item.hasSearchBase = HasText(status, size);
        if (!item.hasSearchBase && item.type == TRepositoryItem::LdapServer) {
            errors.Report(kNoSearchBase, kKindError);
            item.refused = true;
        }
        if (!sink.Item(item))
            break;
        if (nameStatus != ERROR_SUCCESS)
            break;
    }
    for (HKEY key : keys) {
        if (key)
            RegCloseKey(key);
    }
}

void WriteServers(const TServerSource& source, TErrorSink& errors) {
    // 1. Nothing goes unless all three keys can take the new list.
    if (!CanOpenEveryKey(errors))
        return;
    // 2. The old store goes; a key that cannot go is emptied of items below.
    bool deleted[kPartCount];
    for (int part = 0; part < kPartCount; ++part)
        deleted[part] = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPartKeys[part]) == ERROR_SUCCESS;
    // 3. Each key again, each failure reported.
    HKEY keys[kPartCount] = {};
    bool created = true;
    for (int part = 0; part < kPartCount; ++part) {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPartKeys[part], 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &keys[part],
                            nullptr) != ERROR_SUCCESS) {
            keys[part] = nullptr;
            ReportKey(errors, kCannotCreate, part);
            created = false;
        }
    }
    // 4. Only into all three: the records in the source's order.
    if (created) {
        for (int part = 0; part < kPartCount; ++part) {
            if (!deleted[part])
                RemoveItemValues(keys[part]);
        }
        int count = source.Count();
        for (int index = 0; index < count; ++index) {
            if (const TRepositoryItem* record = source.Record(index))
                WriteItem(keys, index + 1, record, errors);
        }
    }
    for (HKEY key : keys) {
        if (key)
            RegCloseKey(key);
    }
}

const char* LacksSearchBaseText() {
    return kNoSearchBase;
}
