#include "table/fonts/glyph_index.h"

#include <algorithm>

namespace kestra {
namespace {

constexpr uint32_t kCollectionTag = 0x74746366; // 'ttcf'
constexpr uint32_t kHeadTag = 0x68656164;       // 'head'
constexpr uint32_t kLocaTag = 0x6C6F6361;       // 'loca'
constexpr uint32_t kGlyfTag = 0x676C7966;       // 'glyf'
// A collection's header: tag, version, face count, then the faces' offsets.
constexpr uint64_t kCollectionOffsetsAt = 12;
// A face's directory: a 12-byte header, then one 16-byte record per table.
constexpr uint64_t kDirectoryHeaderSize = 12;
constexpr uint64_t kTableRecordSize = 16;
constexpr uint64_t kIndexFormatOffset = 50; // indexToLocFormat in 'head'
// Glyph numbers are 16 bits: one index entry more than there can be glyphs.
constexpr uint64_t kMaxIndexEntries = 0x10001;

// The file's bytes; a cut file may declare tables that reach past its end.
struct Bytes {
    const unsigned char* data;
    uint64_t size;

    // False when the `length` bytes at `offset` are not all in the file.
    bool number(uint64_t offset, size_t length, uint32_t& value) const {
        if (offset > size || length > size - offset)
            return false;
        value = 0;
        for (size_t i = 0; i < length; ++i)
            value = (value << 8) | data[offset + i];
        return true;
    }
};

struct Table {
    uint64_t offset = 0;
    uint64_t length = 0;
    bool found = false;
};

struct Tables {
    Table head, loca, glyf;
};

bool directoryOffset(const Bytes& file, int faceIndex, uint64_t& directory) {
    uint32_t tag = 0;
    uint32_t faces = 0;
    if (faceIndex < 0 || !file.number(0, 4, tag))
        return false;
    if (tag != kCollectionTag) {
        directory = 0;
        return faceIndex == 0;
    }
    uint32_t offset = 0;
    if (!file.number(8, 4, faces) || static_cast<uint32_t>(faceIndex) >= faces ||
        !file.number(kCollectionOffsetsAt + static_cast<uint64_t>(faceIndex) * 4, 4, offset))
        return false;
    directory = offset;
    return true;
}

// The face's tables that tell where outlines lie.
bool readTables(const Bytes& file, int faceIndex, Tables& tables) {
    uint64_t directory = 0;
    uint32_t count = 0;
    if (!directoryOffset(file, faceIndex, directory) || !file.number(directory + 4, 2, count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t record = directory + kDirectoryHeaderSize + i * kTableRecordSize;
        uint32_t tag = 0;
        uint32_t offset = 0;
        uint32_t length = 0;
        if (!file.number(record, 4, tag) || !file.number(record + 8, 4, offset) ||
            !file.number(record + 12, 4, length))
            return false;
        Table* table = tag == kHeadTag   ? &tables.head
                       : tag == kLocaTag ? &tables.loca
                       : tag == kGlyfTag ? &tables.glyf
                                         : nullptr;
        if (table != nullptr)
            *table = {offset, length, true};
    }
    return tables.head.found && tables.loca.found && tables.glyf.found;
}

} // namespace

GlyphIndex GlyphIndex::read(const unsigned char* data, size_t size, int faceIndex) {
    GlyphIndex index;
    const Bytes file{data, data != nullptr ? size : 0};
    Tables tables;
    uint32_t format = 0;
    if (!readTables(file, faceIndex, tables) ||
        !file.number(tables.head.offset + kIndexFormatOffset, 2, format))
        return index;
    const size_t entrySize = format == 0 ? 2 : 4;
    index.fileSize_ = file.size;
    index.glyfOffset_ = tables.glyf.offset;
    index.declaredEntries_ = std::min(tables.loca.length / entrySize, kMaxIndexEntries);
    const uint64_t present =
        tables.loca.offset < file.size ? (file.size - tables.loca.offset) / entrySize : 0;
    const uint64_t entries = std::min(index.declaredEntries_, present);
    // The short form counts in 2-byte words.
    const uint32_t scale = entrySize == 2 ? 2 : 1;
    index.offsets_.reserve(entries);
    for (uint64_t n = 0; n < entries; ++n) {
        uint32_t offset = 0;
        file.number(tables.loca.offset + n * entrySize, entrySize, offset);
        index.offsets_.push_back(offset * scale);
    }
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
