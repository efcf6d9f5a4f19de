#include "table/job/table_pdf.h"

#include "table/fonts/font_files.h"
#include "table/fonts/font_subset.h"
#include "table/pdf/pdf_surface.h"
#include "table/job/table_outline.h"

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
TablePdfProblem embed(PdfDocument& document, const char* name, const FontSubset& font,
                      TablePdfProblem fontProblem, std::string& reason, Close close) {
    SubsetFont subset;
    const bool cut = !font.used() || font.subset(subset);
    close();
    if (!cut)
        return fontProblem;
    reason = font.used() ? document.addFont(name, subset) : std::string();
    return reason.empty() ? TablePdfProblem::None : TablePdfProblem::Document;
}

} // namespace

std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          EudcFont& eudc, FontFile& labels,
                                          TablePdfProblem& problem, std::string& reason) {
    FontSubset eudcFont(eudc.face(), eudc.file(), eudc.faceIndex());
    FontSubset labelFont(labels.face.get(), labels.file, labels.index);
    auto document =
        std::make_unique<PdfDocument>(paper.widthMm * kPointsPerMm, paper.heightMm * kPointsPerMm);
    PdfSurface surface(eudc, eudcFont, labelFont, pageMatrix(paper));
    problem = TablePdfProblem::None;
    for (int32_t page = 1; page <= job.layout().pageCount && reason.empty(); ++page) {
        job.drawPage(surface, page);
        reason = document->addPage(surface.takePage());
    }
    if (!reason.empty())
        problem = TablePdfProblem::Document;
    if (problem == TablePdfProblem::None)
        problem = embed(*document, PdfSurface::kLabelFontName, labelFont,
                        TablePdfProblem::LabelFont, reason, [&] { labels.close(); });
    if (problem == TablePdfProblem::None)
        problem = embed(*document, PdfSurface::kEudcFontName, eudcFont, TablePdfProblem::EudcFont,
                        reason, [&] { eudc.close(); });
    if (problem != TablePdfProblem::None)
        return nullptr;
    document->setOutline(tableOutline(job.codes(), job.layout().cellsPerPage));
    return document;
}

} // namespace kestra
