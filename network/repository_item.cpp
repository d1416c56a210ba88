#include "network/repository_item.h"

#include "network/string_util.h"

#include <cstdlib>

namespace {

const char kComPort[] = "COM";

}  // namespace

int TRepositoryItem::liveCount = 0;

bool TRepositoryItem::IsComPort(const char* text) {
    return text && lstrcmpiA(text, kComPort) == 0;
}

TRepositoryItem::TRepositoryItem(const char* itemName, Type itemType) : type(itemType) {
    ++liveCount;
    if (itemType == ResourceManager)
        SetResourceManager(itemName);
    else
        SetDirectory(itemName);
}

TRepositoryItem::TRepositoryItem(const char* itemName, const char* itemPort,
                                 const char* itemSearchBase)
    : type(LdapServer) {
    ++liveCount;
    Fill(itemName, itemPort, itemSearchBase, IsComPort(itemPort) ? ResourceManager : LdapServer);
}

TRepositoryItem::~TRepositoryItem() {
    Release();
    --liveCount;
}

void TRepositoryItem::Release() {
    std::free(name);
    std::free(port);
    std::free(searchBase);
    name = port = searchBase = nullptr;
}

void TRepositoryItem::Fill(const char* newName, const char* newPort, const char* newSearchBase,
                           Type newType) {
    // Copies first: the new texts may be this record's own.
    char* nameCopy = StrDup(newName);
    char* portCopy = StrDup(newPort);
    char* searchBaseCopy = StrDup(newSearchBase);
    Release();
    name = nameCopy;
    port = portCopy;
    searchBase = searchBaseCopy;
    type = newType;
}

void TRepositoryItem::SetServer(const char* newName, const char* newPort,
                                const char* newSearchBase) {
    Fill(newName, newPort, newSearchBase, LdapServer);
}

void TRepositoryItem::SetDirectory(const char* newName) {
    Fill(newName, nullptr, nullptr, Directory);
}

void TRepositoryItem::SetResourceManager(const char* newName) {
    Fill(newName, kComPort, nullptr, ResourceManager);
}
