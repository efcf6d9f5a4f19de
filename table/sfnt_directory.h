// The table directory of a TrueType font file or collection: where each table
// of one face lies. The glyph index reads it from a file that may be cut
// short, the subsetter from a file held whole in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kestra {

constexpr uint32_t sfntTag(const char (&name)[5]) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(name[0])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(name[1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(name[2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(name[3]));
}

// The directory's header, then one record per table.
constexpr size_t kSfntDirectoryHeaderSize = 12;
constexpr size_t kSfntTableRecordSize = 16;

// A big-endian number of `size` bytes (at most 4).
uint32_t readBigEndian(const unsigned char* p, size_t size);

// A table as the directory declares it; a cut file may declare tables that
// reach past its end.
struct SfntTable {
    uint32_t tag = 0;
    uint64_t offset = 0;
    uint64_t length = 0;
};

// Reads `size` bytes at `offset` of the file; false when they are not there.
using SfntReader = std::function<bool(uint64_t offset, unsigned char* out, size_t size)>;

// The tables of face `faceIndex` (0 for a single font); false when the file
// has no such face or its directory cannot be read whole.
bool readSfntDirectory(const SfntReader& read, int faceIndex, std::vector<SfntTable>& tables);

} // namespace kestra
