#include "table/glyph_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kestra {
namespace {

constexpr uint32_t kCollectionTag = 0x74746366; // 'ttcf'
constexpr uint32_t kHeadTag = 0x68656164;       // 'head'
constexpr uint32_t kLocaTag = 0x6C6F6361;       // 'loca'
constexpr uint32_t kGlyfTag = 0x676C7966;       // 'glyf'
constexpr size_t kDirectoryHeaderSize = 12;
constexpr size_t kTableRecordSize = 16;
constexpr size_t kIndexFormatOffset = 50; // indexToLocFormat in 'head'
// Glyph numbers are 16 bits: one index entry more than there can be glyphs.
constexpr uint64_t kMaxIndexEntries = 0x10001;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

uint32_t bigEndian(const unsigned char* p, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = (value << 8) | p[i];
    return value;
}

bool readAt(std::FILE* file, uint64_t offset, unsigned char* out, size_t size) {
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(out, 1, size, file) == size;
}

struct Table {
    uint64_t offset = 0;
    uint64_t length = 0;
    bool found = false;
};

struct Tables {
    Table head, loca, glyf;
};

bool readTables(std::FILE* file, Tables& tables) {
    unsigned char header[kDirectoryHeaderSize];
    if (!readAt(file, 0, header, sizeof header))
        return false;
    uint64_t directory = 0;
    if (bigEndian(header, 4) == kCollectionTag) {
        if (!readAt(file, kDirectoryHeaderSize, header, 4))
            return false;
        directory = bigEndian(header, 4);
        if (!readAt(file, directory, header, sizeof header))
            return false;
    }
    const uint32_t tableCount = bigEndian(header + 4, 2);
    for (uint32_t i = 0; i < tableCount; ++i) {
        unsigned char record[kTableRecordSize];
        if (!readAt(file, directory + kDirectoryHeaderSize + i * kTableRecordSize, record,
                    sizeof record))
            return false;
        const Table table{bigEndian(record + 8, 4), bigEndian(record + 12, 4), true};
        switch (bigEndian(record, 4)) {
        case kHeadTag:
            tables.head = table;
            break;
        case kLocaTag:
            tables.loca = table;
            break;
        case kGlyfTag:
            tables.glyf = table;
            break;
        default:
            break;
        }
    }
    return tables.head.found && tables.loca.found && tables.glyf.found;
}

} // namespace

GlyphIndex GlyphIndex::read(const std::string& path) {
    GlyphIndex index;
    const File file(std::fopen(path.c_str(), "rb"));
    struct stat info {};
    Tables tables;
    unsigned char format[2];
    if (!file || fstat(fileno(file.get()), &info) != 0 || !readTables(file.get(), tables) ||
        !readAt(file.get(), tables.head.offset + kIndexFormatOffset, format, sizeof format))
        return index;
    const size_t entrySize = bigEndian(format, 2) == 0 ? 2 : 4;
    const auto fileSize = static_cast<uint64_t>(info.st_size);
    index.fileSize_ = fileSize;
    index.glyfOffset_ = tables.glyf.offset;
    index.declaredEntries_ = std::min(tables.loca.length / entrySize, kMaxIndexEntries);
    const uint64_t present =
        tables.loca.offset < fileSize ? (fileSize - tables.loca.offset) / entrySize : 0;
    std::vector<unsigned char> bytes(std::min(index.declaredEntries_, present) * entrySize);
    if (!bytes.empty() && !readAt(file.get(), tables.loca.offset, bytes.data(), bytes.size()))
        return index;
    // The short form counts in 2-byte words.
    const uint32_t scale = entrySize == 2 ? 2 : 1;
    for (size_t at = 0; at < bytes.size(); at += entrySize)
        index.offsets_.push_back(bigEndian(&bytes[at], entrySize) * scale);
    index.known_ = true;
    return index;
}

GlyphData GlyphIndex::dataOf(uint32_t glyph) const {
    if (!known_)
        return GlyphData::Unknown;
    if (glyph + 1 >= offsets_.size())
        return glyph + 1 < declaredEntries_ ? GlyphData::PastEnd : GlyphData::None;
    if (offsets_[glyph + 1] <= offsets_[glyph])
        return GlyphData::None;
    return glyfOffset_ + offsets_[glyph + 1] > fileSize_ ? GlyphData::PastEnd : GlyphData::InFile;
}

} // namespace kestra
