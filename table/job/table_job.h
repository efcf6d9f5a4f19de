// One table as the Windows program would print it: the settings go into
// appState, the pages are paginated by computePageLayout and drawn by
// PageRenderer, so every page is the Windows program's page on another surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "print/draw_surface.h"
#include "print/page_layout.h"
#include "print/page_renderer.h"
#include "table/job/table_choices.h"

namespace kestra {

class EudcFont;

// The page texts of the Windows program's string table, in Big5. The
// standard EUDC label is empty: a font file is never the standard entry, so
// the glyphs are always drawn from the file.
extern const PageTexts kTablePageTexts;

struct PaperGeometry {
    double widthMm = 0;
    double heightMm = 0;
    double marginMm = 0;
    PageSize printable; // the paper less its margins, in page units
};

PaperGeometry paperGeometry(Paper paper, bool landscape);

// Puts the choices of options into appState: the face and file names of the
// header (given in UTF-8, kept in Big5 with what code page 950 cannot hold
// escaped, each shortened in its middle where it outgrows its field), the
// print range, the annotating input methods in the order given and the
// dictionaries' code form. The radical stores are left alone.
void applyTableChoices(const TableChoices& choices, const std::string& fontName,
                       const std::string& fontPath);

// The characters of the header that code page 950 cannot hold (escaped in
// appState), each once: what the label font may lack.
std::u32string headerCharactersOutsideBig5();

// How the loader reads the dictionaries' codes.
void useDictionaryCodeForm(CodeForm form);

// The codes of appState's print range that the font defines, in print order.
std::vector<uint16_t> definedCodesOfRange(const EudcFont& font);

// Whether any code of appState's print range has radicals of the layout in
// the radical stores.
bool rangeHasRadicals(uint32_t layoutId);

class TableJob {
  public:
    // Paginates appState's print range, or only chosenCodes when given, in
    // columns widened by extraFieldWidth for a field of the caller's.
    TableJob(PageSize printable, const std::vector<uint16_t>* chosenCodes = nullptr,
             int32_t extraFieldWidth = 0);

    const PageLayout& layout() const { return layout_; }
    // The codes of the cells, in page order.
    std::vector<uint16_t> codes() const;

    // Draws the page as the Windows program prints it, but for a header too
    // wide for the page: its path is first shortened in its middle (in
    // appState), so that the face and the file's name stay on the paper. The
    // extra field, as wide as the job was told, is drawn in every cell.
    void drawPage(DrawSurface& surface, int32_t pageNumber,
                  const ExtraField* extraField = nullptr) const;

  private:
    void fitHeaderToPage(DrawSurface& surface) const;

    PageSize printable_;
    std::vector<uint16_t> chosenCodes_;
    bool onlyChosen_ = false;
    PageLayout layout_;
};

} // namespace kestra
