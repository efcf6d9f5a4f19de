// Joins the parts of a table written side by side into one PDF: of n parts,
// part k holds pages k + 1, k + 1 + n, k + 1 + 2n, ..., so the pages are taken
// from the parts in turn. Stream data is copied as it is, never recompressed.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class QPDF;

namespace kestra {

class InterleavedPdf {
  public:
    explicit InterleavedPdf(size_t partCount);
    ~InterleavedPdf();
    InterleavedPdf(const InterleavedPdf&) = delete;
    InterleavedPdf& operator=(const InterleavedPdf&) = delete;

    // Reads part k, which may come before the others are ready. data must
    // stay unchanged until write() returns. Empty on success, else the reason.
    std::string readPart(size_t k, const std::string& data);

    // Writes the joined PDF; its document information (title, creator) is
    // the first part's. Empty on success, else the reason.
    std::string write(std::FILE* out);

  private:
    std::vector<std::unique_ptr<QPDF>> parts_;
};

} // namespace kestra
