// The Network page's store: three parallel keys under the tool-wide root,
// item N being value "ValueN" in each (the server or directory name, the
// port, the search base). Read and written without the page, so that
// stored data can be checked on its own.
#pragma once

#include "network/repository_item.h"

class TErrorSink;

// One item number as read: the texts are valid during the call only.
struct TStoredServer {
    const char* name;
    const char* port;
    const char* searchBase;
    bool hasName;
    bool hasPort;
    bool hasSearchBase;
    TRepositoryItem::Type type;
    // An LDAP server without a search base: reported, and no item.
    bool refused;
};

class TServerSink {
public:
    // false stops the reading (no memory for the item).
    virtual bool Item(const TStoredServer& item) = 0;

protected:
    ~TServerSink() = default;
};

class TServerSource {
public:
    virtual int Count() const = 0;
    // Null: no record at that place, nothing written for it.
    virtual const TRepositoryItem* Record(int index) const = 0;

protected:
    ~TServerSource() = default;
};

// Item after item, from Value1 until a name cannot be read; nothing when
// one of the three keys cannot be opened.
void ReadServers(TServerSink& sink, TErrorSink& errors);
// Replaces the stored items with the source's, in its order; each failure
// is reported.
void WriteServers(const TServerSource& source, TErrorSink& errors);

// The report of an LDAP server stored or given without a search base.
const char* LacksSearchBaseText();
// The longest text that a name, a port or a search base may hold to be
// read back whole.
constexpr int kServerFieldLength = 2046;
