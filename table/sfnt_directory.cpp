#include "table/sfnt_directory.h"

namespace kestra {
namespace {

constexpr uint32_t kCollectionTag = sfntTag("ttcf");
// A collection's header: tag, version, face count, then the faces' offsets.
constexpr size_t kCollectionOffsetsAt = 12;

// Where the directory of face `faceIndex` starts.
bool directoryOffset(const SfntReader& read, int faceIndex, uint64_t& directory) {
    unsigned char header[kSfntDirectoryHeaderSize];
    if (faceIndex < 0 || !read(0, header, sizeof header))
        return false;
    if (readBigEndian(header, 4) != kCollectionTag) {
        directory = 0;
        return faceIndex == 0;
    }
    unsigned char offset[4];
    if (static_cast<uint32_t>(faceIndex) >= readBigEndian(header + 8, 4) ||
        !read(kCollectionOffsetsAt + static_cast<uint64_t>(faceIndex) * 4, offset, sizeof offset))
        return false;
    directory = readBigEndian(offset, 4);
    return true;
}

} // namespace

uint32_t readBigEndian(const unsigned char* p, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = (value << 8) | p[i];
    return value;
}

bool readSfntDirectory(const SfntReader& read, int faceIndex, std::vector<SfntTable>& tables) {
    uint64_t directory = 0;
    unsigned char header[kSfntDirectoryHeaderSize];
    if (!directoryOffset(read, faceIndex, directory) || !read(directory, header, sizeof header))
        return false;
    const uint32_t tableCount = readBigEndian(header + 4, 2);
    tables.clear();
    for (uint32_t i = 0; i < tableCount; ++i) {
        unsigned char record[kSfntTableRecordSize];
        if (!read(directory + kSfntDirectoryHeaderSize + i * kSfntTableRecordSize, record,
                  sizeof record))
            return false;
        tables.push_back({readBigEndian(record, 4), readBigEndian(record + 8, 4),
                          readBigEndian(record + 12, 4)});
    }
    return true;
}

} // namespace kestra
