#include "table/table_pdf.h"

#include "table/font_files.h"
#include "table/font_subset.h"
#include "table/pdf_surface.h"
#include "table/table_outline.h"

namespace kestra {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kPointsPerPageUnit = kPointsPerMm / 10;

PageMatrix pageMatrix(const PaperGeometry& paper) {
    const double margin = paper.marginMm * kPointsPerMm;
    return {kPointsPerPageUnit, margin, paper.heightMm * kPointsPerMm - margin};
}

// Each font is subset, compressed and let go before the next, so that only
// one font program is in memory at a time.
std::string embed(PdfDocument& document, const char* name, const FontSubset& font) {
    if (!font.used())
        return std::string();
    SubsetFont subset;
    if (!font.subset(subset))
        return "the font could not be subset";
    return document.addFont(name, subset);
}

} // namespace

std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          const TableFonts& fonts, std::string& problem) {
    FontSubset eudcFont(fonts.eudc.face(), fonts.eudc.file(), 0);
    FontSubset labelFont(fonts.labelFace, fonts.labelFile, fonts.labelIndex);
    auto document = std::make_unique<PdfDocument>(paper.widthMm * kPointsPerMm,
                                                  paper.heightMm * kPointsPerMm);
    PdfSurface surface(fonts.eudc, eudcFont, labelFont, pageMatrix(paper));
    for (int32_t page = 1; page <= job.layout().pageCount && problem.empty(); ++page) {
        job.drawPage(surface, page);
        problem = document->addPage(surface.takePage());
    }
    if (problem.empty())
        problem = embed(*document, PdfSurface::kLabelFontName, labelFont);
    if (problem.empty())
        problem = embed(*document, PdfSurface::kEudcFontName, eudcFont);
    if (!problem.empty())
        return nullptr;
    document->setOutline(tableOutline(job.codes(), job.layout().cellsPerPage));
    return document;
}

} // namespace kestra
