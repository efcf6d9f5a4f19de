// Draws every page of a table job into a PDF document, with its fonts and
// outline. Each font is closed as soon as its glyphs are cut out for the
// document, which then needs nothing else to be written.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "table/pdf/pdf_document.h"
#include "table/job/table_job.h"

namespace kestra {

class CodeMatches;
class EudcFont;
struct FontFile;

// The matcher's suggestions for the cells, and the reference faces they are
// drawn from: faces[k] is face k of the index, open where a suggestion uses
// it. Each face is embedded cut down to the standard characters drawn.
struct TableMatches {
    const CodeMatches& matches;
    std::vector<FontFile>& faces;
};

// What kept the document from being made.
enum class TablePdfProblem {
    None,
    Document,  // the reason says why
    EudcFont,  // HarfBuzz could not cut the font down to its glyphs
    LabelFont, // nor the label font
    OtherFont, // nor a reference or fallback font, whose path is the reason
};

// Null on failure, with problem saying why. The header's characters that the
// label font lacks are drawn from the fallback faces that have them. The job
// must have been made as wide as the suggestions need (kMatchFieldWidth)
// when there are any.
std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          EudcFont& eudc, FontFile& labels,
                                          std::vector<FontFile>& fallbacks,
                                          const TableMatches* matches, TablePdfProblem& problem,
                                          std::string& reason);

} // namespace kestra
