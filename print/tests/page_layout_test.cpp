#include "print/page_layout.h"

#include "eudc/app_state.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestra {
namespace {

constexpr PageSize kA4Portrait{2000, 2870};
constexpr uint32_t kPhonetic[] = {kPhoneticLayoutId};
constexpr uint32_t kCangjie[] = {kCangjieLayoutId};
constexpr uint32_t kPhoneticThenCangjie[] = {kPhoneticLayoutId, kCangjieLayoutId};

TEST(PageLayout, PlainTableOnA4) {
    const PageLayout layout = computePageLayout(kA4Portrait, columnWidthFor(nullptr, 0), 6217);
    EXPECT_EQ(layout.cellHeight, 64);
    EXPECT_EQ(layout.columnWidth, 148);
    EXPECT_EQ(layout.columns, 7);
    EXPECT_EQ(layout.rows, 28);
    EXPECT_EQ(layout.cellsPerPage, 196);
    EXPECT_EQ(layout.pageCount, 32);
    EXPECT_TRUE(layout.fitsOnPage());
}

TEST(PageLayout, AnnotatedTablesOnA4) {
    const PageLayout phonetic = computePageLayout(kA4Portrait, columnWidthFor(kPhonetic, 1), 6217);
    EXPECT_EQ(phonetic.columnWidth, 1408);
    EXPECT_EQ(phonetic.columns, 1);
    EXPECT_EQ(phonetic.cellsPerPage, 28);
    EXPECT_EQ(phonetic.pageCount, 223);

    const PageLayout cangjie = computePageLayout(kA4Portrait, columnWidthFor(kCangjie, 1), 6217);
    EXPECT_EQ(cangjie.columnWidth, 328);
    EXPECT_EQ(cangjie.columns, 4);
    EXPECT_EQ(cangjie.cellsPerPage, 112);
    EXPECT_EQ(cangjie.pageCount, 56);

    const PageLayout both =
        computePageLayout(kA4Portrait, columnWidthFor(kPhoneticThenCangjie, 2), 6217);
    EXPECT_EQ(both.columnWidth, 1588);
    EXPECT_EQ(both.columns, 1);
    EXPECT_EQ(both.pageCount, 223);
}

TEST(PageLayout, LandscapeWithBothInputMethods) {
    const PageLayout layout =
        computePageLayout({2870, 2000}, columnWidthFor(kPhoneticThenCangjie, 2), 6217);
    EXPECT_EQ(layout.columns, 1);
    EXPECT_EQ(layout.rows, 18);
    EXPECT_EQ(layout.pageCount, 346);
}

TEST(PageLayout, PageCountAtTheEdgeOfAPage) {
    const int32_t width = columnWidthFor(nullptr, 0);
    EXPECT_EQ(computePageLayout(kA4Portrait, width, 1).pageCount, 1);
    EXPECT_EQ(computePageLayout(kA4Portrait, width, 196).pageCount, 1);
    EXPECT_EQ(computePageLayout(kA4Portrait, width, 197).pageCount, 2);
}

TEST(PageLayout, RowsAtTheSmallestPrintableHeights) {
    const int32_t width = columnWidthFor(nullptr, 0);
    EXPECT_EQ(computePageLayout({2000, 570}, width, 10).rows, 1);
    const PageLayout tooLow = computePageLayout({2000, 560}, width, 10);
    EXPECT_EQ(tooLow.rows, 0);
    EXPECT_FALSE(tooLow.fitsOnPage());
    EXPECT_EQ(tooLow.pageCount, 0);
}

// A width of 100 + n × (column + 100) holds n columns to the unit and a height
// of 480 + n × 84 holds n rows; one unit less loses the last one.
TEST(PageLayout, ExactFitsHoldTheirLastColumnAndRowToTheUnit) {
    struct Case {
        PageSize exactFit;
        int32_t columnWidth;
        int32_t columns;
        int32_t rows;
    };
    const Case cases[] = {
        {{1836, 2832}, columnWidthFor(nullptr, 0), 7, 28},
        {{1812, 564}, columnWidthFor(kCangjie, 1), 4, 1},
        {{1788, 648}, columnWidthFor(kPhoneticThenCangjie, 2), 1, 2},
    };
    for (const Case& c : cases) {
        const PageLayout fit = computePageLayout(c.exactFit, c.columnWidth, 6217);
        EXPECT_EQ(fit.columns, c.columns) << c.exactFit.cx << " wide";
        EXPECT_EQ(fit.rows, c.rows) << c.exactFit.cy << " high";
        const PageSize lessByOne{c.exactFit.cx - 1, c.exactFit.cy - 1};
        const PageLayout tight = computePageLayout(lessByOne, c.columnWidth, 6217);
        EXPECT_EQ(tight.columns, c.columns - 1) << lessByOne.cx << " wide";
        EXPECT_EQ(tight.rows, c.rows - 1) << lessByOne.cy << " high";
    }
}

TEST(PageLayout, AreaTooSmallForOneCellIsReportedNotDivided) {
    // 150 mm wide cannot hold a Phonetic-and-Cangjie column (178.8 mm).
    const PageLayout narrow =
        computePageLayout({1500, 2870}, columnWidthFor(kPhoneticThenCangjie, 2), 6217);
    EXPECT_EQ(narrow.columns, 0);
    EXPECT_FALSE(narrow.fitsOnPage());
    EXPECT_EQ(narrow.cellsPerPage, 0);

    // A height of 39.6 mm or less gives a negative row count.
    const PageLayout low = computePageLayout({2000, 300}, columnWidthFor(nullptr, 0), 6217);
    EXPECT_LT(low.rows, 0);
    EXPECT_FALSE(low.fitsOnPage());
    EXPECT_EQ(low.cellsPerPage, 0);

    // Negative columns and rows must not multiply into a positive cell count.
    const PageLayout tiny = computePageLayout({-400, 300}, columnWidthFor(nullptr, 0), 6217);
    EXPECT_LT(tiny.columns, 0);
    EXPECT_LT(tiny.rows, 0);
    EXPECT_FALSE(tiny.fitsOnPage());
    EXPECT_EQ(tiny.cellsPerPage, 0);
    EXPECT_EQ(tiny.pageCount, 0);
}

TEST(PageLayout, ReadsOnlyTheTickedInputMethodsOfTheState) {
    auto state = std::make_unique<AppState>();
    state->printCount = 6217;
    state->annotatableImeCount = 2;
    state->imeTable[0].layoutId = kPhoneticLayoutId;
    state->imeTable[1].layoutId = kCangjieLayoutId;
    state->annotate[1] = 1;
    state->annotate[2] = 1;  // beyond the annotatable records: ignored
    state->imeTable[2].layoutId = kPhoneticLayoutId;
    const PageLayout layout = computePageLayout(kA4Portrait, *state);
    EXPECT_EQ(layout.columnWidth, 328);
    EXPECT_EQ(layout.pageCount, 56);
}

TEST(PageLayout, AnyInputMethodOtherThanPhoneticReservesTheNarrowField) {
    const uint32_t quick[] = {kQuickLayoutId};
    const uint32_t unknown[] = {0xE0050404};
    EXPECT_EQ(columnWidthFor(quick, 1), 328);
    EXPECT_EQ(columnWidthFor(unknown, 1), 328);
}

}  // namespace
}  // namespace kestra
