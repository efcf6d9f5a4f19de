// The objects of a table's PDF: the pages with their content streams, the
// fonts embedded once each as CID fonts (a subset TrueType or CFF program, its
// widths and a ToUnicode map), the outline and the document's information.
// Each is written as it is added, its streams compressed, and held until the
// whole file is written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace kestra {

struct SubsetFont;

struct OutlineEntry {
    std::string title;
    int32_t page = 0; // from 1
    std::vector<OutlineEntry> children;
};

struct DocumentInformation {
    std::string title; // UTF-8, as are the others
    std::string subject;
    std::string creator;
};

class PdfDocument {
  public:
    PdfDocument(double widthPoints, double heightPoints);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Each page uses the fonts by the names given to addFont. Each gives
    // empty on success, else the reason it failed.
    std::string addPage(const std::string& content);
    std::string addFont(const char* resourceName, const SubsetFont& font);
    void setOutline(const std::vector<OutlineEntry>& entries);
    void setInformation(const DocumentInformation& information);

    // Empty on success, else why the PDF could not be written.
    std::string write(std::FILE* out);

  private:
    struct Objects;
    std::unique_ptr<Objects> objects_;
};

} // namespace kestra
