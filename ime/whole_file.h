// A file read into one heap block in a single read, without text translation.
#pragma once

#include <cstddef>
#include <memory>

namespace kestra {

struct WholeFile {
    bool ok = false; // false: could not be opened, sized, allocated or read whole
    size_t size = 0;
    std::unique_ptr<unsigned char[]> data;
};

// Files longer than maxSize are refused before anything is allocated: a length
// beyond it is not a file of the expected kind (a folder, for one, can report
// a length of LONG_MAX).
WholeFile readWholeFile(const char* path, size_t maxSize);

} // namespace kestra
