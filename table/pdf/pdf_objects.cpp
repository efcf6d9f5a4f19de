#include "table/pdf/pdf_objects.h"

#include <libdeflate.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string_view>

namespace kestra {
namespace {

// zlib's fastest level costs two and a half times libdeflate's for the same
// size; the font program, nearly all of the file, is the part that counts.
constexpr int kCompressionLevel = 1;
// The bytes past 127 on the second line tell a program that moves the file
// that it is binary.
constexpr std::string_view kHeader = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
// Each entry of the cross-reference table is 20 bytes, its end of line two of
// them: a reader finds an object's entry by its number alone.
constexpr size_t kEntryLength = 20;
constexpr std::string_view kFreeEntry = "0000000000 65535 f \n";

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
using Bytes = std::unique_ptr<unsigned char, FreeDeleter>;

// Where the file goes. It counts the bytes, for the offsets, and sums them
// up, for the file's identifier; the first write that fails keeps the
// system's reason, and nothing is written after it.
class FileOutput {
  public:
    explicit FileOutput(std::FILE* file) : file_(file) {}

    void write(const void* data, size_t size) {
        errno = 0;
        if (error_ == 0 && size > 0 && std::fwrite(data, 1, size, file_) != size)
            keepError();
        crc_ = libdeflate_crc32(crc_, data, size);
        adler_ = libdeflate_adler32(adler_, data, size);
        offset_ += size;
    }
    void write(std::string_view text) { write(text.data(), text.size()); }

    uint64_t offset() const { return offset_; }

    // Sixteen bytes that tell this file from another: two checksums of what
    // was written, computed by different rules, and its length. The same
    // document gives the same file. No digest is needed to tell files apart,
    // and libdeflate's checksums cost next to nothing.
    std::string identifier() const {
        std::string bytes;
        for (uint64_t value : {uint64_t{crc_} << 32 | adler_, offset_}) {
            for (int shift = 56; shift >= 0; shift -= 8)
                bytes += static_cast<char>((value >> shift) & 0xFF);
        }
        return bytes;
    }

    std::string finish() {
        errno = 0;
        if (error_ == 0 && std::fflush(file_) != 0)
            keepError();
        return error_ != 0 ? std::strerror(error_) : std::string();
    }

  private:
    void keepError() { error_ = errno != 0 ? errno : EIO; }

    std::FILE* file_;
    int error_ = 0;
    uint64_t offset_ = 0;
    uint32_t crc_ = 0;
    uint32_t adler_ = 1;
};

std::string crossReferenceTable(const std::vector<uint64_t>& offsets) {
    std::string table = "xref\n0 " + std::to_string(offsets.size() + 1) + "\n";
    table.reserve(table.size() + kEntryLength * (offsets.size() + 1));
    table += kFreeEntry;
    for (uint64_t offset : offsets) {
        char entry[kEntryLength + 1];
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        table.append(entry, kEntryLength);
    }
    return table;
}

std::string trailer(size_t objects, int32_t catalog, int32_t information,
                    const std::string& identifier) {
    std::string text = "trailer\n";
    {
        PdfDictionary trailer(text);
        trailer.key("Size").integer(static_cast<int64_t>(objects + 1));
        trailer.key("Root").reference(catalog);
        if (information != 0)
            trailer.key("Info").reference(information);
        // Both halves alike: the file is new, no changed copy of another.
        PdfArray pair = trailer.key("ID").array();
        pair.item().hexString(identifier);
        pair.item().hexString(identifier);
    }
    return text + "\n";
}

} // namespace

struct PdfObjects::Object {
    std::string text; // the value, or the stream's dictionary
    Bytes data;       // a stream's, compressed
    size_t size = 0;
};

void PdfObjects::CompressorDeleter::operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
}

PdfObjects::PdfObjects() : compressor_(libdeflate_alloc_compressor(kCompressionLevel)) {
    if (!compressor_)
        throw std::bad_alloc();
}

PdfObjects::~PdfObjects() = default;

int32_t PdfObjects::reserve() {
    objects_.push_back(std::make_unique<Object>());
    return static_cast<int32_t>(objects_.size());
}

PdfObjects::Object& PdfObjects::at(int32_t object) {
    return *objects_.at(static_cast<size_t>(object) - 1);
}

PdfValue PdfObjects::value(int32_t object) {
    Object& target = at(object);
    target.text.clear();
    target.data.reset();
    return PdfValue(target.text);
}

// The buffer is as large as the worst case; shrinking it to what was used
// gives the rest back, and of a large one the rest was never even touched.
PdfDictionary PdfObjects::stream(int32_t object, const void* data, size_t size) {
    const size_t bound = libdeflate_zlib_compress_bound(compressor_.get(), size);
    Bytes bytes(static_cast<unsigned char*>(std::malloc(bound)));
    if (!bytes)
        throw std::bad_alloc();
    const size_t length =
        libdeflate_zlib_compress(compressor_.get(), data, size, bytes.get(), bound);
    if (length == 0)
        throw std::runtime_error("compressing a stream failed");
    if (void* shrunk = std::realloc(bytes.get(), length)) {
        (void)bytes.release();
        bytes.reset(static_cast<unsigned char*>(shrunk));
    }
    Object& target = at(object);
    target.text.clear();
    target.data = std::move(bytes);
    target.size = length;
    PdfDictionary dictionary(target.text);
    dictionary.key("Length").integer(static_cast<int64_t>(length));
    dictionary.key("Filter").name("FlateDecode");
    return dictionary;
}

int32_t PdfObjects::addStream(const std::string& data) {
    const int32_t object = reserve();
    stream(object, data.data(), data.size());
    return object;
}

std::string PdfObjects::write(std::FILE* out, int32_t catalog, int32_t information) const {
    FileOutput file(out);
    file.write(kHeader);
    std::vector<uint64_t> offsets;
    offsets.reserve(objects_.size());
    for (size_t i = 0; i < objects_.size(); ++i) {
        offsets.push_back(file.offset());
        const Object& object = *objects_[i];
        file.write(std::to_string(i + 1) + " 0 obj\n");
        file.write(object.text.empty() ? std::string_view("null") : object.text);
        if (object.data) {
            file.write("\nstream\n");
            file.write(object.data.get(), object.size);
            file.write("\nendstream");
        }
        file.write("\nendobj\n");
    }
    const uint64_t table = file.offset();
    file.write(crossReferenceTable(offsets));
    file.write(trailer(objects_.size(), catalog, information, file.identifier()));
    file.write("startxref\n" + std::to_string(table) + "\n%%EOF\n");
    return file.finish();
}

} // namespace kestra
