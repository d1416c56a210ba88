#include "plugins/version_file.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// The first bytes hold the DOS and NT headers and, in any file a linker
// wrote, the section table.
constexpr DWORD kHeadSize = 4096;
constexpr WORD kDosMagic = 0x5A4D;  // "MZ"
constexpr DWORD kNtMagic = 0x4550;  // "PE\0\0"
constexpr WORD kPe32Magic = 0x10B;
constexpr WORD kPe32PlusMagic = 0x20B;
constexpr DWORD kResourceDirectory = 2;
constexpr int kMaxSections = 96;   // the loader's own limit
constexpr WORD kVersionType = 16;  // RT_VERSION
constexpr WORD kVersionName = 1;   // VS_VERSION_INFO
constexpr DWORD kSubdirectoryBit = 0x80000000u;
constexpr DWORD kDirectorySize = 16;  // IMAGE_RESOURCE_DIRECTORY
constexpr DWORD kEntrySize = 8;       // IMAGE_RESOURCE_DIRECTORY_ENTRY
constexpr DWORD kDataEntrySize = 16;  // IMAGE_RESOURCE_DATA_ENTRY
// A block's length is a WORD.
constexpr DWORD kMaxBlock = 0xFFFF;
constexpr size_t kNodeHeader = 6;  // wLength, wValueLength, wType
constexpr int kMaxKey = 64;
constexpr int kMaxLanguages = 64;
constexpr uint32_t kMaxEntries = 1024;

uint16_t Word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Dword(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

size_t Align4(size_t n) {
    return (n + 3) & ~static_cast<size_t>(3);
}

class TModuleFile {
public:
    explicit TModuleFile(const char* path)
        : file(CreateFileA(path, GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        LARGE_INTEGER length{};
        if (file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &length))
            size = static_cast<uint64_t>(length.QuadPart);
    }
    ~TModuleFile() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    TModuleFile(const TModuleFile&) = delete;
    TModuleFile& operator=(const TModuleFile&) = delete;

    bool IsOpen() const { return file != INVALID_HANDLE_VALUE; }
    uint64_t Size() const { return size; }

    // Exactly length bytes at offset, or false. The position is set apart:
    // a read with an OVERLAPPED position costs Wine one more server trip.
    bool ReadAt(uint64_t offset, void* buffer, DWORD length) const {
        if (offset > size || length > size - offset)
            return false;
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
               ReadFile(file, buffer, length, &got, nullptr) && got == length;
    }

private:
    HANDLE file;
    uint64_t size = 0;
};

struct TSection {
    uint32_t address, virtualSize, rawSize, rawOffset;
};

// The parts of the NT headers that locate the resources.
class TImage {
public:
    explicit TImage(const TModuleFile& file) : file(file) {}

    // False for any file the system would not read as a plain PE module.
    bool Load() {
        uint8_t head[kHeadSize];
        DWORD headSize = file.Size() < kHeadSize ? static_cast<DWORD>(file.Size()) : kHeadSize;
        if (headSize < 0x40 || !file.ReadAt(0, head, headSize) || Word(head) != kDosMagic)
            return false;
        const uint32_t nt = Dword(head + 0x3C);
        constexpr uint32_t kFileHeader = 4, kOptionalHeader = 24;
        if (nt < 0x40 || nt > headSize - kOptionalHeader || Dword(head + nt) != kNtMagic)
            return false;
        const int sectionCount = Word(head + nt + kFileHeader + 2);
        const uint32_t optionalSize = Word(head + nt + kFileHeader + 16);
        const uint32_t optional = nt + kOptionalHeader;
        if (optional + 2 > headSize)
            return false;
        uint32_t countAt, directoriesAt;
        switch (Word(head + optional)) {
            case kPe32Magic:
                countAt = 92;
                directoriesAt = 96;
                break;
            case kPe32PlusMagic:
                countAt = 108;
                directoriesAt = 112;
                break;
            default:
                return false;
        }
        const uint32_t resourceEntry = directoriesAt + 8 * kResourceDirectory;
        if (optionalSize < resourceEntry + 8 || optional + optionalSize > headSize)
            return false;
        if (Dword(head + optional + countAt) <= kResourceDirectory)
            return false;
        headersSize = Dword(head + optional + 60);
        resourceAddress = Dword(head + optional + resourceEntry);
        if (sectionCount < 1 || sectionCount > kMaxSections)
            return false;
        const uint32_t table = optional + optionalSize;
        if (table + 40u * sectionCount > headSize)
            return false;
        for (int i = 0; i < sectionCount; ++i) {
            const uint8_t* s = head + table + 40 * i;
            sections[i] = TSection{Dword(s + 12), Dword(s + 8), Dword(s + 16), Dword(s + 20)};
        }
        count = sectionCount;
        return true;
    }

    uint32_t ResourceAddress() const { return resourceAddress; }
    uint32_t HeadersSize() const { return headersSize; }

    // The file offset of length bytes at address, when the first section
    // holding address (the system's rule for a data module) holds them all
    // in its file data, and an image mapping would show the same bytes.
    bool Locate(uint32_t address, uint32_t length, uint64_t* offset) const {
        const TSection* s = FirstSection(address);
        if (!s)
            return false;
        const uint64_t end = static_cast<uint64_t>(address - s->address) + length;
        if (end > s->rawSize || (s->virtualSize && end > s->virtualSize))
            return false;
        return InFile(*s, address, length, offset);
    }

    // Whether the system finds `length` bytes at address, however it maps
    // the file: as a data module it takes the first section whose file
    // data holds the address and reads the file from there; as an image,
    // the section's pages.
    bool SystemCanCopy(uint32_t address, uint32_t length) const {
        constexpr uint64_t kPage = 0x1000;
        const TSection* s = FirstSection(address);
        if (!s)
            return false;
        const uint64_t end = static_cast<uint64_t>(address - s->address) + length;
        const uint64_t pages = (static_cast<uint64_t>(s->virtualSize) + kPage - 1) & ~(kPage - 1);
        if (end > s->rawSize || (s->virtualSize && end > pages))
            return false;
        uint64_t offset = 0;
        return InFile(*s, address, length, &offset);
    }

private:
    // The first section whose file data holds address.
    const TSection* FirstSection(uint32_t address) const {
        for (int i = 0; i < count; ++i) {
            const TSection& s = sections[i];
            if (address >= s.address && address - s.address < s.rawSize)
                return &s;
        }
        return nullptr;
    }

    // The file offset of address in section s, when length bytes from there
    // lie in the file.
    bool InFile(const TSection& s, uint32_t address, uint32_t length, uint64_t* offset) const {
        *offset = static_cast<uint64_t>(s.rawOffset) + (address - s.address);
        return *offset <= file.Size() && length <= file.Size() - *offset;
    }

    const TModuleFile& file;
    TSection sections[kMaxSections] = {};
    int count = 0;
    uint32_t headersSize = 0;
    uint32_t resourceAddress = 0;
};

enum class TStep { Found, Missing, Unsure };

// The resource directory. Linkers put its tables at the start of the
// resource section, so one read of the section's first bytes serves them;
// a table beyond is read where it lies.
class TResources {
public:
    TResources(const TModuleFile& file, const TImage& image, uint64_t rootOffset,
               uint32_t rootAddress)
        : file(file), image(image), rootOffset(rootOffset), rootAddress(rootAddress) {
        for (uint32_t length = kWindowSize; length >= kDirectorySize; length /= 2) {
            uint64_t offset = 0;
            if (image.Locate(rootAddress, length, &offset) && file.ReadAt(offset, window, length)) {
                windowSize = length;
                break;
            }
        }
    }

    // The entry of directory `at` (an offset from the root) for a numeric
    // id. The system searches the id entries by halves, so they must be in
    // order for a plain search to find what it finds.
    TStep FindId(uint32_t at, uint16_t id, uint32_t* entry) const {
        uint8_t directory[kDirectorySize];
        if (!Read(at, directory, sizeof directory))
            return TStep::Unsure;
        const uint32_t named = Word(directory + 12);
        const uint32_t ids = Word(directory + 14);
        // Modules have a few dozen resource types; a damaged count would be
        // read entry by entry.
        if (named + ids > kMaxEntries)
            return TStep::Unsure;
        uint32_t previous = 0;
        TStep result = TStep::Missing;
        for (uint32_t i = 0; i < ids; ++i) {
            uint8_t item[kEntrySize];
            if (!Read(at + kDirectorySize + kEntrySize * (named + i), item, sizeof item))
                return TStep::Unsure;
            const uint32_t name = Dword(item);
            if (name > 0xFFFF || (i > 0 && name <= previous))
                return TStep::Unsure;
            previous = name;
            if (name == id) {
                *entry = Dword(item + 4);
                result = TStep::Found;
            }
        }
        return result;
    }

    // The data entries (address, size) of the languages of a resource,
    // at most max of them.
    TStep Languages(uint32_t at, uint32_t* addresses, uint32_t* sizes, int max, int* count) const {
        uint8_t directory[kDirectorySize];
        if (!Read(at, directory, sizeof directory))
            return TStep::Unsure;
        const int entries = Word(directory + 12) + Word(directory + 14);
        if (entries < 1 || entries > max)
            return TStep::Unsure;
        for (int i = 0; i < entries; ++i) {
            uint8_t item[kEntrySize];
            if (!Read(at + kDirectorySize + kEntrySize * i, item, sizeof item))
                return TStep::Unsure;
            const uint32_t data = Dword(item + 4);
            uint8_t entry[kDataEntrySize];
            if ((data & kSubdirectoryBit) || !Read(data, entry, sizeof entry))
                return TStep::Unsure;
            addresses[i] = Dword(entry);
            sizes[i] = Dword(entry + 4);
        }
        *count = entries;
        return TStep::Found;
    }

private:
    static constexpr uint32_t kWindowSize = 4096;

    // Table bytes at an offset from the root, inside the resource section
    // as the system maps it.
    bool Read(uint32_t at, void* buffer, uint32_t length) const {
        if (at > 0x7FFFFFFFu - length)
            return false;
        if (at + length <= windowSize) {
            std::memcpy(buffer, window + at, length);
            return true;
        }
        uint64_t offset = 0;
        if (!image.Locate(rootAddress + at, length, &offset) || offset != rootOffset + at)
            return false;
        return file.ReadAt(offset, buffer, length);
    }

    const TModuleFile& file;
    const TImage& image;
    uint64_t rootOffset;
    uint32_t rootAddress;
    uint8_t window[kWindowSize];
    uint32_t windowSize = 0;
};

// A node of a 32-bit version block: wLength, wValueLength, wType, the key,
// the value and the children, each part aligned to four bytes from the
// node's start.
struct TNode {
    size_t start, end;  // end = start + wLength
    uint16_t valueLength, type;
    size_t keyLength;  // in characters, terminator not counted
    size_t value;      // offset of the value
    size_t children;   // offset of the first child
};

class TBlock {
public:
    explicit TBlock(const uint8_t* bytes) : bytes(bytes) {}

    // The node at start, inside limit; false for anything of another form.
    bool Node(size_t start, size_t limit, TNode* node) const {
        if (start + kNodeHeader > limit)
            return false;
        const uint8_t* p = bytes + start;
        const size_t length = Word(p);
        node->valueLength = Word(p + 2);
        node->type = Word(p + 4);
        // The system takes a block whose type word is not 0 or 1 for a
        // 16-bit one.
        if (length < kNodeHeader || start + length > limit || node->type > 1)
            return false;
        node->start = start;
        node->end = start + length;
        size_t key = start + kNodeHeader;
        size_t n = 0;
        for (;; ++n) {
            if (key + 2 * n + 2 > node->end)
                return false;
            if (Word(bytes + key + 2 * n) == 0)
                break;
        }
        node->keyLength = n;
        node->value = start + Align4(kNodeHeader + 2 * (n + 1));
        const size_t valueBytes = node->valueLength * (node->type ? 2u : 1u);
        // Children past the end are none, for the system's search too.
        node->children = node->value + Align4(valueBytes);
        return true;
    }

    // The child of parent whose key is `key` (ASCII, compared ignoring
    // case as the system does for keys).
    TStep Child(const TNode& parent, const char* key, size_t keyLength, TNode* child) const {
        size_t at = parent.children;
        while (at < parent.end) {
            if (!Node(at, parent.end, child))
                return TStep::Unsure;
            if (child->keyLength == keyLength) {
                switch (KeyEquals(*child, key)) {
                    case TStep::Found:
                        return TStep::Found;
                    case TStep::Unsure:
                        return TStep::Unsure;
                    case TStep::Missing:
                        break;
                }
            }
            at = child->start + Align4(child->end - child->start);
        }
        return TStep::Missing;
    }

    // The text of a text node up to its terminator, when it has one inside
    // its value and is ASCII as far as it is copied.
    TStep Text(const TNode& node, char* text, size_t size) const {
        if (node.type != 1 || node.valueLength == 0 ||
            node.value + 2 * static_cast<size_t>(node.valueLength) > node.end)
            return TStep::Unsure;
        size_t copied = 0;
        for (size_t i = 0; i < node.valueLength; ++i) {
            const uint16_t c = Word(bytes + node.value + 2 * i);
            if (c == 0) {
                text[copied] = '\0';
                return TStep::Found;
            }
            if (copied + 1 < size) {
                if (c >= 0x80)
                    return TStep::Unsure;
                text[copied++] = static_cast<char>(c);
            }
        }
        return TStep::Unsure;  // no terminator: readers differ in how far they go
    }

private:
    // Characters outside ASCII may fold to ASCII ones under the system's
    // case rules; such keys are left to it.
    TStep KeyEquals(const TNode& node, const char* key) const {
        for (size_t i = 0; i < node.keyLength; ++i) {
            const uint16_t c = Word(bytes + node.start + kNodeHeader + 2 * i);
            if (c >= 0x80)
                return TStep::Unsure;
            char a = static_cast<char>(c), b = key[i];
            if (a >= 'A' && a <= 'Z')
                a = static_cast<char>(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z')
                b = static_cast<char>(b - 'A' + 'a');
            if (a != b)
                return TStep::Missing;
        }
        return TStep::Found;
    }

    const uint8_t* bytes;
};

TVersionText AsAnswer(TStep step) {
    return step == TStep::Missing ? TVersionText::Missing : TVersionText::AskSystem;
}

TVersionText QueryBlock(const uint8_t* bytes, size_t size, const char* subBlock, char* text,
                        size_t textSize) {
    TBlock block(bytes);
    TNode node;
    if (!block.Node(0, size, &node))
        return TVersionText::AskSystem;
    const char* part = subBlock;
    while (*part) {
        if (*part == '\\') {
            ++part;
            continue;
        }
        const char* end = std::strchr(part, '\\');
        size_t length = end ? static_cast<size_t>(end - part) : std::strlen(part);
        if (length > kMaxKey)
            return TVersionText::AskSystem;
        for (size_t i = 0; i < length; ++i) {
            if (static_cast<unsigned char>(part[i]) >= 0x80)
                return TVersionText::AskSystem;
        }
        TNode child;
        TStep step = block.Child(node, part, length, &child);
        if (step != TStep::Found)
            return AsAnswer(step);
        node = child;
        part += length;
    }
    return block.Text(node, text, textSize) == TStep::Found ? TVersionText::Found
                                                            : TVersionText::AskSystem;
}

}  // namespace

TVersionText ReadVersionText(const char* path, const char* subBlock, char* text, size_t size) {
    if (!path || !subBlock || !text || size == 0)
        return TVersionText::AskSystem;
    TModuleFile file(path);
    if (!file.IsOpen())
        return TVersionText::AskSystem;
    TImage image(file);
    if (!image.Load())
        return TVersionText::AskSystem;
    const uint32_t root = image.ResourceAddress();
    // No resources at all: the common case of a library without them.
    if (root == 0)
        return TVersionText::Missing;
    // A directory inside the headers is found there by the system, not
    // through the sections.
    if (root < image.HeadersSize())
        return TVersionText::AskSystem;
    uint64_t rootOffset = 0;
    if (!image.Locate(root, kDirectorySize, &rootOffset))
        return TVersionText::AskSystem;
    TResources resources(file, image, rootOffset, root);

    uint32_t typeEntry = 0, nameEntry = 0;
    TStep step = resources.FindId(0, kVersionType, &typeEntry);
    if (step != TStep::Found)
        return AsAnswer(step);
    if (!(typeEntry & kSubdirectoryBit))
        return TVersionText::AskSystem;
    step = resources.FindId(typeEntry & ~kSubdirectoryBit, kVersionName, &nameEntry);
    if (step != TStep::Found)
        return AsAnswer(step);
    if (!(nameEntry & kSubdirectoryBit))
        return TVersionText::AskSystem;
    uint32_t addresses[kMaxLanguages], lengths[kMaxLanguages];
    int languages = 0;
    if (resources.Languages(nameEntry & ~kSubdirectoryBit, addresses, lengths, kMaxLanguages,
                            &languages) != TStep::Found)
        return TVersionText::AskSystem;
    // The system copies the block it picks without looking: a resource
    // that runs past the end of the file would stop the program.
    for (int i = 0; i < languages; ++i) {
        const uint32_t copied = lengths[i] < kSystemBlockCopy ? lengths[i] : kSystemBlockCopy;
        if (!image.SystemCanCopy(addresses[i], copied))
            return TVersionText::Damaged;
    }
    // With several languages the system's choice depends on the user's.
    if (languages != 1)
        return TVersionText::AskSystem;
    const uint32_t address = addresses[0], length = lengths[0];

    // The block's own length bounds every node; what lies behind it in the
    // resource is never looked at.
    const uint32_t readLength = length < kMaxBlock ? length : kMaxBlock;
    if (readLength < kNodeHeader)
        return TVersionText::AskSystem;
    uint64_t offset = 0;
    uint8_t block[kMaxBlock];
    if (!image.Locate(address, readLength, &offset) || !file.ReadAt(offset, block, readLength))
        return TVersionText::AskSystem;
    const size_t blockLength = Word(block);
    if (blockLength < kNodeHeader || blockLength > readLength)
        return TVersionText::AskSystem;
    return QueryBlock(block, blockLength, subBlock, text, size);
}
