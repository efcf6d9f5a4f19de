#include "table/glyph_index.h"

#include "table/sfnt_directory.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kestra {
namespace {

constexpr size_t kIndexFormatOffset = 50; // indexToLocFormat in 'head'
// Glyph numbers are 16 bits: one index entry more than there can be glyphs.
constexpr uint64_t kMaxIndexEntries = 0x10001;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool readAt(std::FILE* file, uint64_t offset, unsigned char* out, size_t size) {
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(out, 1, size, file) == size;
}

struct Tables {
    SfntTable head, loca, glyf;
};

// The first face's tables that tell where outlines lie.
bool readTables(std::FILE* file, Tables& tables) {
    std::vector<SfntTable> all;
    const auto read = [file](uint64_t offset, unsigned char* out, size_t size) {
        return readAt(file, offset, out, size);
    };
    if (!readSfntDirectory(read, 0, all))
        return false;
    for (const SfntTable& table : all) {
        if (table.tag == sfntTag("head"))
            tables.head = table;
        else if (table.tag == sfntTag("loca"))
            tables.loca = table;
        else if (table.tag == sfntTag("glyf"))
            tables.glyf = table;
    }
    return tables.head.tag != 0 && tables.loca.tag != 0 && tables.glyf.tag != 0;
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
    const size_t entrySize = readBigEndian(format, 2) == 0 ? 2 : 4;
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
        index.offsets_.push_back(readBigEndian(&bytes[at], entrySize) * scale);
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
