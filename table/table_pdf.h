// Writes every page of a table job, with its fonts, outline and information,
// into a PDF stream.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
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

// Empty on success, else why the PDF could not be written.
std::string writeTablePdf(const TableJob& job, const PaperGeometry& paper, const TableFonts& fonts,
                          const DocumentInformation& information, std::FILE* out);

} // namespace kestra
