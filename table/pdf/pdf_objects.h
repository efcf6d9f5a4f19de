// The numbered objects of a PDF file, held until the file is written whole:
// the header, the objects, the cross-reference table that says where each
// begins, and the trailer. A stream's data is compressed as it is added, with
// libdeflate at its fastest level, so that only the compressed bytes are kept.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "table/pdf/pdf_syntax.h"

struct libdeflate_compressor;

namespace kestra {

class PdfObjects {
  public:
    PdfObjects(); // throws std::bad_alloc when the compressor cannot be had
    ~PdfObjects();
    PdfObjects(const PdfObjects&) = delete;
    PdfObjects& operator=(const PdfObjects&) = delete;

    // A number for an object, to refer to before its value is written. An
    // object given no value is written as null.
    int32_t reserve();

    // The object's value (anew, should it have one), written through what
    // this returns.
    PdfValue value(int32_t object);

    // The object made a stream of the data, compressed; the stream's own
    // entries follow the length and filter in what this returns.
    PdfDictionary stream(int32_t object, const void* data, size_t size);
    int32_t addStream(const std::string& data);

    // Empty on success, else the reason of the first write that failed.
    std::string write(std::FILE* out, int32_t catalog, int32_t information) const;

  private:
    struct Object;
    struct CompressorDeleter {
        void operator()(libdeflate_compressor* compressor) const;
    };

    Object& at(int32_t object);

    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor_;
    std::vector<std::unique_ptr<Object>> objects_; // the first is number 1
};

} // namespace kestra
