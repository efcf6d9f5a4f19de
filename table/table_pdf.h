// Draws every page of a table job into a PDF document, with its fonts and
// outline. The fonts are embedded before the document is written, so the
// caller can let them go and write a document that needs nothing else.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

#include "table/pdf_document.h"
#include "table/table_job.h"

namespace kestra {

class EudcFont;
class MappedFile;

struct TableFonts {
    const EudcFont& eudc;
    FT_Face labelFace;
    const MappedFile& labelFile;
    int labelIndex;
};

// Null on failure, with problem saying why.
std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          const TableFonts& fonts, std::string& problem);

} // namespace kestra
