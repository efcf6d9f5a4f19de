// Draws one printed page of the EUDC table: the header naming the face and its
// EUDC file, the column headings with a rule under each column, the grid of
// cells (glyph in a box, code, radicals of each annotating input method) and
// the page number. Platform-free: it draws on a DrawSurface in page units
// (0.1 mm, origin at the top left of the printable area, y negative downwards)
// and reads the settings from appState.
#pragma once

#include <cstdint>
#include <functional>

#include "print/draw_surface.h"
#include "print/page_layout.h"

namespace kestra {

// The page texts, loaded from the string table by the caller.
struct PageTexts {
    const char* labelFace;         // the face of every text but the glyphs
    const char* standardEudcLabel; // the name of the system default EUDC entry
    const char* headerFormat;      // face "%s", then EUDC file "%s"
    const char* footerFormat;      // page number "%d"
    const char* codeHeading;       // heading of the code column
};

constexpr int32_t kLabelFontHeight = 32;
constexpr int32_t kGlyphFontHeight = 64;
constexpr int kHeaderTextSize = 311; // 24 bytes of template, face 31, path 255, NUL

// Codes to print one per cell, in order, in place of appState's print range:
// a table of only the codes that a font file defines paginates what remains.
struct CellCodes {
    const uint16_t* codes = nullptr;
    int32_t count = 0;
};

// A field of every cell that the caller adds after the code, before the
// radicals: its heading, the width it takes (which the caller's layout must
// add to the column), and what draws it. draw gets the cell's code and the
// field's top left, and leaves the surface's selections as it found them.
struct ExtraField {
    const char* heading = nullptr; // Big5
    int32_t width = 0;
    std::function<void(uint16_t code, int32_t x, int32_t y)> draw;
};

class PageRenderer {
  public:
    PageRenderer(DrawSurface& surface, const PageLayout& layout, PageSize pageSize,
                 const PageTexts& texts);

    // Draws page pageNumber (from 1). Every object it selects is replaced by the
    // one it displaced, and every object it creates is deleted, before it returns.
    void printPage(int32_t pageNumber);

    // The cells hold these codes instead of the print range; they must stay
    // valid while pages are drawn.
    void useCellCodes(CellCodes codes) { cellCodes_ = codes; }
    // Each cell gets the field too; it must stay valid while pages are drawn.
    void useExtraField(const ExtraField* field) { extraField_ = field; }

  private:
    void printPageHeader();
    void printColumnHeadings(int32_t columnX);
    void printRules(int32_t left);
    void printCells(int64_t firstCell, SelectionKeeper& fonts, SurfaceObject glyphFont,
                    SurfaceObject labelFont);
    void printCell(uint16_t code, int32_t x, int32_t y, SelectionKeeper& fonts,
                   SurfaceObject glyphFont, SurfaceObject labelFont);
    void printRadicals(uint16_t code, int32_t x, int32_t y);
    void printPageFooter(int32_t pageNumber);
    void drawCentred(const char* text, int32_t y);
    void drawText(int32_t x, int32_t y, const char* text, int maxLength);

    int32_t firstRadicalOffset() const;
    int32_t gridLeft() const;
    int32_t columnLeft(int32_t left, int32_t column) const;
    int32_t rowTop(int32_t row) const;
    int64_t cellCount() const;
    uint16_t codeOfCell(int64_t cell) const;

    DrawSurface& surface_;
    PageLayout layout_;
    PageSize pageSize_;
    PageTexts texts_;
    CellCodes cellCodes_;
    const ExtraField* extraField_ = nullptr;
};

} // namespace kestra
