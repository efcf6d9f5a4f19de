// Builds user radical dictionaries in memory and on disk for the tests and
// the benchmarks, in the file layout the loader reads.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestra::testing {

class DictionaryWriter {
  public:
    // Phonetic entries are 8 bytes with 4 keys; every other layout 9 bytes with 5.
    explicit DictionaryWriter(uint32_t layoutId);

    // Keys beyond those given are 0; the two trailing bytes are 0.
    DictionaryWriter& add(uint16_t code, std::initializer_list<int> keys);
    // Writes this count into the header instead of the number of entries.
    DictionaryWriter& announce(int32_t count);
    // Appends bytes after the entries (for example part of an entry).
    DictionaryWriter& appendRaw(std::initializer_list<unsigned char> bytes);

    std::vector<unsigned char> bytes() const;
    int entryCount() const { return entries_; }

  private:
    int entrySize_;
    int keyPositions_;
    int entries_ = 0;
    bool announced_ = false;
    int32_t count_ = 0;
    std::vector<unsigned char> body_;
};

// A file in the temporary folder, removed when this goes.
class TempFile {
  public:
    explicit TempFile(const std::vector<unsigned char>& contents);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return path_.c_str(); }

  private:
    std::string path_;
};

// A path in the temporary folder that no file has.
std::string missingFilePath();

} // namespace kestra::testing
