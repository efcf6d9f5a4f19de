#include "print/page_layout.h"

#include "eudc/app_state.h"

namespace kestra {

int32_t columnWidthFor(const uint32_t* annotatingLayoutIds, int count) {
    int32_t width = kGlyphAndCodeWidth;
    for (int i = 0; i < count; ++i)
        width += annotatingLayoutIds[i] == kPhoneticLayoutId ? kPhoneticFieldReserve
                                                              : kOtherFieldReserve;
    return width;
}

PageLayout computePageLayout(PageSize printable, int32_t columnWidth, uint16_t printCount) {
    PageLayout layout;
    layout.cellHeight = kCellHeight;
    layout.columnWidth = columnWidth;
    layout.columns = (printable.cx - kColumnGap) / (columnWidth + kColumnGap);
    layout.rows = (printable.cy - kVerticalReserve) / (kCellHeight + kRowGap);
    // Two negative counts would multiply into a positive one: a page that
    // holds no whole column or row holds no cell at all.
    if (!layout.fitsOnPage())
        return layout;
    layout.cellsPerPage = layout.columns * layout.rows;
    layout.pageCount = (static_cast<int32_t>(printCount) - 1) / layout.cellsPerPage + 1;
    return layout;
}

PageLayout computePageLayout(PageSize printable, const AppState& state) {
    uint32_t annotating[kMaxImes];
    int count = 0;
    const int imes = state.annotatableImeCount < kMaxImes ? state.annotatableImeCount : kMaxImes;
    for (int i = 0; i < imes; ++i) {
        if (state.annotate[i] == 1)
            annotating[count++] = state.imeTable[i].layoutId;
    }
    return computePageLayout(printable, columnWidthFor(annotating, count), state.printCount);
}

}  // namespace kestra
