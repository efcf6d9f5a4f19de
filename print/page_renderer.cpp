#include "print/page_renderer.h"

#include <cstdio>
#include <cstring>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "ime/radical_text.h"
#include "print/glyph_face.h"
#include "print/ime_headings.h"
#include "print/text_format.h"

namespace kestra {
namespace {

constexpr int32_t kHeaderY = -100;
constexpr int32_t kHeadingY = -230;
constexpr int32_t kRuleY = -272;
constexpr int32_t kFooterMargin = 100; // the footer's top above the bottom edge
constexpr int32_t kCodeOffset = 84;
constexpr int32_t kFirstFieldOffset = 168;
constexpr int32_t kTextDrop = 16; // labels sit lower than the glyph's top
// A Phonetic field advances less than the 1260 its column reserves: the
// readings are set in 1180 and the rest is the gap before the next field.
constexpr int32_t kPhoneticFieldAdvance = 1180;
constexpr int32_t kOtherFieldAdvance = 180;
constexpr int32_t kBoxMargin = 1;
constexpr int32_t kBoxSize = 66;

int32_t radicalFieldAdvance(uint32_t layoutId) {
    return layoutId == kPhoneticLayoutId ? kPhoneticFieldAdvance : kOtherFieldAdvance;
}

// The layout reserved width for exactly these input methods, so the fields
// follow the same rule (annotate[k] == 1) and never outgrow their column.
template <typename Visit> void forEachAnnotatingIme(Visit visit) {
    const int count =
        appState.annotatableImeCount < kMaxImes ? appState.annotatableImeCount : kMaxImes;
    for (int k = 0; k < count; ++k) {
        if (appState.annotate[k] == 1)
            visit(appState.imeTable[k]);
    }
}

// The code of the given cell of the print range, or kNoCode past the code space.
uint16_t codeOfRangeCell(int32_t cell) {
    const int32_t index = static_cast<int32_t>(appState.printStartIndex) + cell;
    if (cell < 0 || index >= kEudcCodeCount)
        return kNoCode;
    const auto i = static_cast<uint16_t>(index);
    return appState.printAll == 1 ? puaIndexToCode(i) : codeOrderIndexToCode(i);
}

} // namespace

PageRenderer::PageRenderer(DrawSurface& surface, const PageLayout& layout, PageSize pageSize,
                           const PageTexts& texts)
    : surface_(surface), layout_(layout), pageSize_(pageSize), texts_(texts) {}

void PageRenderer::printPage(int32_t pageNumber) {
    // 64 bits: a page number far past the last would overflow 32.
    const int64_t firstCell = (static_cast<int64_t>(pageNumber) - 1) * layout_.cellsPerPage;
    const char* glyphFace =
        glyphFaceFor(appState.fontFace, texts_.labelFace, texts_.standardEudcLabel);
    // Declared before the keepers: the fonts are deleted only after the
    // keepers have put the displaced objects back.
    SurfaceObjectOwner labelFont(surface_, surface_.createFont(kLabelFontHeight, texts_.labelFace));
    SurfaceObjectOwner glyphFont(surface_, surface_.createFont(kGlyphFontHeight, glyphFace));
    SelectionKeeper brushes(surface_);
    SelectionKeeper fonts(surface_);
    brushes.select(surface_.nullBrush());
    fonts.select(labelFont.get());

    printPageHeader();
    printCells(firstCell, fonts, glyphFont.get(), labelFont.get());
    printPageFooter(pageNumber);
}

void PageRenderer::printPageHeader() {
    char header[kHeaderTextSize];
    const char* const fields[] = {appState.fontFace, appState.eudcFilePath};
    formatFields(header, kHeaderTextSize, texts_.headerFormat, fields, 2);
    drawCentred(header, kHeaderY);

    const int32_t left = gridLeft();
    SurfaceObjectOwner rulePen(surface_, surface_.createRulePen());
    SelectionKeeper pens(surface_);
    pens.select(rulePen.get());
    for (int32_t c = 0; c < layout_.columns; ++c)
        printColumnHeadings(columnLeft(left, c));
    printRules(left);
}

void PageRenderer::printColumnHeadings(int32_t columnX) {
    const int headingLength = static_cast<int>(std::strlen(texts_.codeHeading));
    surface_.textOut(columnX + kCodeOffset, kHeadingY, texts_.codeHeading, headingLength);
    if (extraField_ != nullptr && extraField_->heading != nullptr)
        drawText(columnX + kFirstFieldOffset, kHeadingY, extraField_->heading, kHeaderTextSize);
    int32_t x = columnX + firstRadicalOffset();
    forEachAnnotatingIme([&](const ImeRecord& ime) {
        drawText(x, kHeadingY, imeHeading(ime), kImeNameSize);
        x += radicalFieldAdvance(ime.layoutId);
    });
}

void PageRenderer::printRules(int32_t left) {
    for (int32_t c = 0; c < layout_.columns; ++c) {
        const int32_t x = columnLeft(left, c);
        surface_.moveTo(x, kRuleY);
        surface_.lineTo(x + layout_.columnWidth, kRuleY);
    }
}

void PageRenderer::printCells(int64_t firstCell, SelectionKeeper& fonts, SurfaceObject glyphFont,
                              SurfaceObject labelFont) {
    const int32_t left = gridLeft();
    for (int32_t r = 0; r < layout_.rows; ++r) {
        for (int32_t c = 0; c < layout_.columns; ++c) {
            const int64_t cell = firstCell + static_cast<int64_t>(r) * layout_.columns + c;
            if (cell >= cellCount())
                return;
            const uint16_t code = codeOfCell(cell);
            if (code == kNoCode)
                return;
            printCell(code, columnLeft(left, c), rowTop(r), fonts, glyphFont, labelFont);
        }
    }
}

void PageRenderer::printCell(uint16_t code, int32_t x, int32_t y, SelectionKeeper& fonts,
                             SurfaceObject glyphFont, SurfaceObject labelFont) {
    fonts.select(glyphFont);
    const char glyph[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    surface_.textOut(x, y, glyph, 2);
    surface_.rectangle(x - kBoxMargin, y + kBoxMargin, x + kBoxSize, y - kBoxSize);

    fonts.select(labelFont);
    char codeText[8];
    const int length = std::snprintf(codeText, sizeof codeText, "%4X", static_cast<unsigned>(code));
    surface_.textOut(x + kCodeOffset, y - kTextDrop, codeText, length);
    if (extraField_ != nullptr)
        extraField_->draw(code, x + kFirstFieldOffset, y);
    printRadicals(code, x, y - kTextDrop);
}

void PageRenderer::printRadicals(uint16_t code, int32_t x, int32_t y) {
    int32_t fieldX = x + firstRadicalOffset();
    forEachAnnotatingIme([&](const ImeRecord& ime) {
        appState.annotationText[0] = '\0';
        lookupRadicalText(code, ime.layoutId);
        if (appState.annotationText[0] != '\0')
            drawText(fieldX, y, appState.annotationText, kAnnotationTextSize);
        fieldX += radicalFieldAdvance(ime.layoutId);
    });
}

void PageRenderer::printPageFooter(int32_t pageNumber) {
    char number[12];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(pageNumber));
    char footer[64];
    const char* const fields[] = {number};
    formatFields(footer, sizeof footer, texts_.footerFormat, fields, 1);
    drawCentred(footer, kFooterMargin - pageSize_.cy);
}

void PageRenderer::drawCentred(const char* text, int32_t y) {
    const int length = static_cast<int>(std::strlen(text));
    const int32_t x = (pageSize_.cx - surface_.textWidth(text, length)) / 2;
    surface_.textOut(x, y, text, length);
}

// Draws at most maxLength bytes, so a field that lost its terminator cannot
// run on into the next one.
void PageRenderer::drawText(int32_t x, int32_t y, const char* text, int maxLength) {
    int length = 0;
    while (length < maxLength && text[length] != '\0')
        ++length;
    surface_.textOut(x, y, text, length);
}

int32_t PageRenderer::firstRadicalOffset() const {
    return kFirstFieldOffset + (extraField_ != nullptr ? extraField_->width : 0);
}

int32_t PageRenderer::gridLeft() const {
    const int32_t gridWidth =
        layout_.columns * layout_.columnWidth + (layout_.columns - 1) * kColumnGap;
    return (pageSize_.cx - gridWidth) / 2;
}

int32_t PageRenderer::columnLeft(int32_t left, int32_t column) const {
    return left + (layout_.columnWidth + kColumnGap) * column;
}

int32_t PageRenderer::rowTop(int32_t row) const {
    return -kFirstRowTop - (layout_.cellHeight + kRowGap) * row;
}

int64_t PageRenderer::cellCount() const {
    return cellCodes_.codes != nullptr ? cellCodes_.count : appState.printCount;
}

uint16_t PageRenderer::codeOfCell(int64_t cell) const {
    if (cellCodes_.codes != nullptr)
        return cell >= 0 && cell < cellCodes_.count ? cellCodes_.codes[cell] : kNoCode;
    return codeOfRangeCell(static_cast<int32_t>(cell));
}

} // namespace kestra
