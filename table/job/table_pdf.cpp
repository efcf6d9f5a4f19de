#include "table/job/table_pdf.h"

#include <optional>

#include "match/compatibility_ideographs.h"
#include "table/fonts/font_files.h"
#include "table/fonts/font_subset.h"
#include "table/job/code_matches.h"
#include "table/job/match_field.h"
#include "table/job/table_outline.h"
#include "table/pdf/pdf_surface.h"

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
TablePdfProblem embed(PdfDocument& document, const std::string& name, const FontSubset& font,
                      TablePdfProblem fontProblem, std::string& reason, Close close) {
    SubsetFont subset;
    const bool cut = !font.used() || font.subset(subset);
    close();
    if (!cut)
        return fontProblem;
    reason = font.used() ? document.addFont(name.c_str(), subset) : std::string();
    return reason.empty() ? TablePdfProblem::None : TablePdfProblem::Document;
}

// A suggestion found under a compatibility ideograph of the reference face
// is drawn as that glyph, and copies as the unified character it stands for.
FT_UInt compatibilityGlyph(const FontSubset& face, char32_t unified) {
    for (char32_t compatibility : match::compatibilityIdeographsOf(unified)) {
        if (const FT_UInt glyph = face.glyphOf(compatibility))
            return glyph;
    }
    return 0;
}

// A face added to the surface beside the label and the EUDC font: a
// reference face the suggestions are drawn from, or a fallback face.
struct AddedFace {
    explicit AddedFace(FontFile& font)
        : file(font), subset(font.face.get(), font.file, font.index) {}

    FontFile& file;
    FontSubset subset;
};
using AddedFaces = std::vector<std::unique_ptr<AddedFace>>;

// The reference faces known to the surface by their names in the index, then
// the fallback faces, in the order the surface numbers them.
AddedFaces addFaces(PdfSurface& surface, const TableMatches* matches,
                    std::vector<FontFile>& fallbacks) {
    AddedFaces added;
    for (size_t k = 0; matches != nullptr && k < matches->faces.size(); ++k) {
        if (matches->faces[k].face.get() == nullptr)
            continue;
        added.push_back(std::make_unique<AddedFace>(matches->faces[k]));
        FontSubset& subset = added.back()->subset;
        surface.addFace(referenceFaceName(static_cast<int>(k)), subset,
                        [&subset](char32_t c) { return compatibilityGlyph(subset, c); });
    }
    for (FontFile& fallback : fallbacks) {
        added.push_back(std::make_unique<AddedFace>(fallback));
        surface.addFallbackFace(added.back()->subset);
    }
    return added;
}

TablePdfProblem embedAddedFaces(PdfDocument& document, const AddedFaces& added,
                                std::string& reason) {
    for (size_t k = 0; k < added.size(); ++k) {
        FontFile& file = added[k]->file;
        const std::string path = file.path;
        const TablePdfProblem problem =
            embed(document, PdfSurface::faceResourceName(k), added[k]->subset,
                  TablePdfProblem::OtherFont, reason, [&] { file.close(); });
        if (problem == TablePdfProblem::OtherFont)
            reason = path;
        if (problem != TablePdfProblem::None)
            return problem;
    }
    return TablePdfProblem::None;
}

} // namespace

std::unique_ptr<PdfDocument> makeTablePdf(const TableJob& job, const PaperGeometry& paper,
                                          EudcFont& eudc, FontFile& labels,
                                          std::vector<FontFile>& fallbacks,
                                          const TableMatches* matches, TablePdfProblem& problem,
                                          std::string& reason) {
    FontSubset eudcFont(eudc.face(), eudc.file(), eudc.faceIndex());
    FontSubset labelFont(labels.face.get(), labels.file, labels.index);
    auto document =
        std::make_unique<PdfDocument>(paper.widthMm * kPointsPerMm, paper.heightMm * kPointsPerMm);
    PdfSurface surface(eudc, eudcFont, labelFont, pageMatrix(paper));
    const AddedFaces added = addFaces(surface, matches, fallbacks);
    const std::optional<ExtraField> field =
        matches != nullptr ? std::optional(matchField(surface, matches->matches)) : std::nullopt;
    problem = TablePdfProblem::None;
    for (int32_t page = 1; page <= job.layout().pageCount && reason.empty(); ++page) {
        job.drawPage(surface, page, field ? &*field : nullptr);
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
    if (problem == TablePdfProblem::None)
        problem = embedAddedFaces(*document, added, reason);
    if (problem != TablePdfProblem::None)
        return nullptr;
    document->setOutline(tableOutline(job.codes(), job.layout().cellsPerPage));
    return document;
}

} // namespace kestra
