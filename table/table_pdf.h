// Writes every page of a table job into a PDF stream through cairo.
#pragma once

#include <cstdio>
#include <string>

#include "table/table_job.h"

namespace kestra {

class CairoFace;
class EudcFont;

struct TableFonts {
    const EudcFont& eudc;
    const CairoFace& glyphFace;
    const CairoFace& labelFace;
};

// Empty on success, else why the PDF could not be written.
std::string writeTablePdf(const TableJob& job, const PaperGeometry& paper, const TableFonts& fonts,
                          const std::string& title, std::FILE* out);

} // namespace kestra
