// How many table cells fit on a page, and how many pages a print range takes.
// Page units are 0.1 mm (MM_LOMETRIC), origin at the top left of the printable
// area, y negative downwards.
#pragma once

#include <cstdint>

namespace kestra {

struct AppState;

struct PageSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

constexpr int32_t kCellHeight = 64;
constexpr int32_t kGlyphAndCodeWidth = 148;
constexpr int32_t kPhoneticFieldReserve = 1260;
constexpr int32_t kOtherFieldReserve = 180;
constexpr int32_t kColumnGap = 100;
constexpr int32_t kRowGap = 20;
constexpr int32_t kFirstRowTop = 300;
constexpr int32_t kVerticalReserve = 480;  // header, headings and footer

struct PageLayout {
    int32_t cellHeight = 0;
    int32_t columnWidth = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t cellsPerPage = 0;
    int32_t pageCount = 0;

    // False when the printable area holds no whole cell; pageCount is then 0
    // and the job must be refused.
    bool fitsOnPage() const { return columns >= 1 && rows >= 1; }
};

// Width of one table column for the given annotating layouts.
int32_t columnWidthFor(const uint32_t* annotatingLayoutIds, int count);

// The layout of a print job of printCount cells.
PageLayout computePageLayout(PageSize printable, int32_t columnWidth, uint16_t printCount);

// The same, for the input methods that the state marks as annotating.
PageLayout computePageLayout(PageSize printable, const AppState& state);

}  // namespace kestra
