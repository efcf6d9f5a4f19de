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

// The font is cut down and closed before its program is compressed, so that
// only one copy of its outlines is in memory at a time.
template <typename Close>
std::string embed(PdfDocument& document, const char* name, const FontSubset& font, Close close) {
    SubsetFont subset;
    const bool cut = !font.used() || font.subset(subset);
    close();
    if (!cut)
        return "the font could not be subset";
    return font.used() ? document.addFont(name, subset) : std::string();
}

} // namespace

std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          EudcFont& eudc, FontFile& labels, std::string& problem) {
    FontSubset eudcFont(eudc.face(), eudc.file(), 0);
    FontSubset labelFont(labels.face.get(), labels.file, labels.index);
    auto document =
        std::make_unique<PdfDocument>(paper.widthMm * kPointsPerMm, paper.heightMm * kPointsPerMm);
    PdfSurface surface(eudc, eudcFont, labelFont, pageMatrix(paper));
    for (int32_t page = 1; page <= job.layout().pageCount && problem.empty(); ++page) {
        job.drawPage(surface, page);
        problem = document->addPage(surface.takePage());
    }
    if (problem.empty())
        problem = embed(*document, PdfSurface::kLabelFontName, labelFont, [&] { labels.close(); });
    if (problem.empty())
        problem = embed(*document, PdfSurface::kEudcFontName, eudcFont, [&] { eudc.close(); });
    if (!problem.empty())
        return nullptr;
    document->setOutline(tableOutline(job.codes(), job.layout().cellsPerPage));
    return document;
}

} // namespace kestra
