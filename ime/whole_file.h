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

WholeFile readWholeFile(const char* path);

} // namespace kestra
