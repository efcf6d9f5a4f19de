// Draws every page of a table job into a PDF document, with its fonts and
// outline. Each font is closed as soon as its glyphs are cut out for the
// document, which then needs nothing else to be written.
#pragma once

#include <memory>
#include <string>

#include "table/pdf/pdf_document.h"
#include "table/job/table_job.h"

namespace kestra {

class EudcFont;
struct FontFile;

// What kept the document from being made.
enum class TablePdfProblem {
    None,
    Document,  // the reason says why
    EudcFont,  // HarfBuzz could not cut the font down to its glyphs
    LabelFont, // nor the label font
};

// Null on failure, with problem saying why.
std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          EudcFont& eudc, FontFile& labels,
                                          TablePdfProblem& problem, std::string& reason);

} // namespace kestra
