#include "ime/whole_file.h"

#include <cstdio>
#include <new>

namespace kestra {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

long fileLength(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0)
        return -1;
    return length;
}

} // namespace

WholeFile readWholeFile(const char* path, size_t maxSize) {
    WholeFile result;
    const FileHandle file(std::fopen(path, "rb"));
    if (!file)
        return result;
    const long length = fileLength(file.get());
    if (length < 0 || static_cast<size_t>(length) > maxSize)
        return result;
    const size_t size = static_cast<size_t>(length);
    // One byte more than needed, so an empty file still gets a block.
    result.data.reset(new (std::nothrow) unsigned char[size + 1]);
    if (!result.data)
        return result;
    if (std::fread(result.data.get(), 1, size, file.get()) != size)
        return result;
    result.size = size;
    result.ok = true;
    return result;
}

} // namespace kestra
