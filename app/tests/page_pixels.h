// Reading a page shown on screen pixel by pixel: where a cell's box lies on a
// sheet of paper drawn at some scale, and how much ink is inside it. Shared
// by the in-process preview test and the end-to-end flows.
#pragma once

#include <windows.h>

#include <algorithm>

#include "fw/tests/wine_test_support.h"
#include "print/page_layout.h"

namespace pagepixels {

// A picture as pixels (0xRRGGBB), top row first.
struct Shot : testsupport::WindowShot {
    Shot() = default;
    explicit Shot(testsupport::WindowShot shot) : testsupport::WindowShot(std::move(shot)) {}
    DWORD at(LONG x, LONG y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) +
                      static_cast<size_t>(x)] &
               0xFFFFFF;
    }
    bool dark(LONG x, LONG y) const {
        const DWORD p = at(x, y);
        return (p & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && ((p >> 16) & 0xFF) < 100;
    }
    // The bounding box of the pure white pixels: the sheet of paper.
    RECT white() const {
        RECT box{width, height, -1, -1};
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x)
                if (at(x, y) == 0xFFFFFF) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }
    int darkIn(const RECT& r) const {
        int n = 0;
        for (LONG y = std::max(r.top, 0L); y < std::min(r.bottom, height); ++y)
            for (LONG x = std::max(r.left, 0L); x < std::min(r.right, width); ++x)
                n += dark(x, y);
        return n;
    }
    // Runs of white wider than `minimum` along row y.
    int whiteRuns(LONG y, LONG minimum) const {
        int runs = 0;
        LONG run = 0;
        for (LONG x = 0; x <= width; ++x) {
            if (x < width && at(x, y) == 0xFFFFFF) {
                ++run;
                continue;
            }
            runs += run > minimum;
            run = 0;
        }
        return runs;
    }
};

// Page units (0.1 mm, y down negative) to pixels of a sheet shown at `sheet`.
struct SheetMap {
    RECT sheet;
    kestra::PageSize page;
    kestra::PageLayout layout;

    LONG x(int32_t units) const {
        return sheet.left + MulDiv(units, sheet.right - sheet.left, page.cx);
    }
    LONG y(int32_t units) const {
        return sheet.top + MulDiv(-units, sheet.bottom - sheet.top, page.cy);
    }
    int32_t columnLeft(int column) const {
        const int32_t gridLeft =
            (page.cx - (layout.columns * layout.columnWidth + (layout.columns - 1) * 100)) / 2;
        return gridLeft + (layout.columnWidth + 100) * column;
    }
    // The inside of the box of the cell in row 0, column `column`, a quarter in
    // from each side so that the outline stays out.
    RECT boxInside(int column) const {
        const int32_t left = columnLeft(column);
        return RECT{x(left + 16), y(-300 - 16), x(left + 50), y(-300 - 50)};
    }
    // Dark pixels along the left edge of that box, within two pixels.
    int edgeRows(const Shot& shot, int column) const {
        const RECT inside = boxInside(column);
        const LONG edge = x(columnLeft(column) - 1);
        int rows = 0;
        for (LONG row = inside.top; row < inside.bottom; ++row)
            rows += shot.darkIn(RECT{edge - 2, row, edge + 3, row + 1}) > 0;
        return rows;
    }
};

} // namespace pagepixels
