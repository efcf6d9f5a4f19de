// Whole jobs through the program's own frame and view: every code printed to
// the test bed's file printer, and the preview looked at pixel by pixel. Each
// PostScript job and screenshot is kept in KESTRA_TEST_OUTPUT, where
// check_postscript.sh reads the pages' text once Wine has exited.
#include "app/tests/program_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "eudc/app_state.h"
#include "fw/fw_ids.h"
#include "fw/preview/preview_session.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace {

using kestra::appState;
using programtest::app;
using programtest::pagesIn;

// The client area of a window as pixels (0xRRGGBB), top row first.
struct Shot : testsupport::WindowShot {
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

Shot capture(HWND hwnd, const char* name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Shot shot;
    static_cast<testsupport::WindowShot&>(shot) = testsupport::captureClient(hwnd);
    testsupport::keepShot(shot, name);
    return shot;
}

// The preview runs its own message loop; the script runs inside it.
std::function<void()> g_script;
void CALLBACK runScript(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (auto script = std::move(g_script)) {
        g_script = nullptr;
        script();
    }
}

class PrintJob : public programtest::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        programtest::chooseFace(kestra::kEudcCodeCount);
    }
    // Prints directly and keeps the job as KESTRA_TEST_OUTPUT/<name>.ps.
    int printDirectAs(const char* name) {
        SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
        const std::string kept = testsupport::dosPath(
            testsupport::environment("KESTRA_TEST_OUTPUT") + "/" + name + ".ps");
        EXPECT_TRUE(CopyFileA(output.c_str(), kept.c_str(), FALSE)) << "no job was written";
        return pagesIn(testsupport::readFile(output));
    }
    void preview(std::function<void()> script) {
        g_script = std::move(script);
        SetTimer(nullptr, 0, 10, runScript);
        SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
        EXPECT_FALSE(g_script) << "the preview ended before its script ran";
        g_script = nullptr;
    }
};

TEST_F(PrintJob, EveryCodeWithoutAnnotationFillsThirtyTwoPages) {
    EXPECT_EQ(printDirectAs("plain"), 32);
    EXPECT_EQ(view->pageCount, 32);
    EXPECT_EQ(view->currentPage, 32);
}

TEST_F(PrintJob, EveryCodeWithPhoneticAndCangjieFillsTwoHundredTwentyThreePages) {
    programtest::annotateWithPhoneticAndCangjie();
    ASSERT_NE(appState.phoneticRoots[0][0][0], 0) << "the sample Phonetic dictionary did not load";
    EXPECT_EQ(printDirectAs("annotated"), 223);
    EXPECT_EQ(view->columns, 1);
    EXPECT_EQ(view->cellsPerPage, 28);
}

// Page units (0.1 mm, y down negative) to pixels of a sheet shown at `sheet`.
struct SheetMap {
    RECT sheet;
    kestra::PageSize page;
    LONG x(int32_t units) const {
        return sheet.left + MulDiv(units, sheet.right - sheet.left, page.cx);
    }
    LONG y(int32_t units) const {
        return sheet.top + MulDiv(-units, sheet.bottom - sheet.top, page.cy);
    }
    // The inside of the box of the cell in row 0, column `column`, a quarter in
    // from each side so that the outline stays out.
    RECT boxInside(const CKestraView& v, int column) const {
        const int32_t gridLeft =
            (v.pageSize.cx - (v.columns * v.columnWidth + (v.columns - 1) * 100)) / 2;
        const int32_t left = gridLeft + (v.columnWidth + 100) * column;
        return RECT{x(left + 16), y(-300 - 16), x(left + 50), y(-300 - 50)};
    }
    // Dark pixels along the left edge of that box, within two pixels.
    int edgeRows(const Shot& shot, const CKestraView& v, int column) const {
        const RECT inside = boxInside(v, column);
        const int32_t gridLeft =
            (v.pageSize.cx - (v.columns * v.columnWidth + (v.columns - 1) * 100)) / 2;
        const LONG edge = x(gridLeft + (v.columnWidth + 100) * column - 1);
        int rows = 0;
        for (LONG row = inside.top; row < inside.bottom; ++row)
            rows += shot.darkIn(RECT{edge - 2, row, edge + 3, row + 1}) > 0;
        return rows;
    }
};

TEST_F(PrintJob, PreviewShowsTheRingGlyphsInTheirBoxesAndFollowsTheBar) {
    SetWindowPos(frame->m_hWnd, HWND_TOP, 0, 0, 1000, 760, SWP_SHOWWINDOW);
    app().SetPreviewPageCount(1);
    preview([&] {
        PreviewSession& session = *PreviewSession::Current();
        const HWND pages = session.Pages().m_hWnd;
        const auto click = [&](int id) {
            SendMessageA(GetDlgItem(session.Bar(), id), BM_CLICK, 0, 0);
        };
        const Shot first = capture(pages, "preview-page1");
        const SheetMap map{first.white(), view->pageSize};
        ASSERT_GT(map.sheet.bottom - map.sheet.top, 400) << "no sheet of paper on screen";
        // FA40 has a ring, FA41 an empty outline: only the first box is inked inside.
        const RECT ring = map.boxInside(*view, 0), empty = map.boxInside(*view, 1);
        const int inside = (ring.right - ring.left) * (ring.bottom - ring.top);
        EXPECT_GT(first.darkIn(ring), inside / 10) << "no ring in the box of FA40";
        EXPECT_LT(first.darkIn(empty), inside / 20) << "ink inside the box of FA41";
        EXPECT_GT(map.edgeRows(first, *view, 0), (ring.bottom - ring.top) * 3 / 4);

        click(AFX_ID_PREVIEW_NEXT);
        const Shot second = capture(pages, "preview-page2");
        int changed = 0;
        for (size_t i = 0; i < first.pixels.size(); ++i)
            changed += (first.pixels[i] & 0xFFFFFF) != (second.pixels[i] & 0xFFFFFF);
        EXPECT_GT(changed, 500) << "the next page looks like the first";
        click(AFX_ID_PREVIEW_PREV);
        EXPECT_TRUE(capture(pages, "preview-back").pixels == first.pixels)
            << "back on page 1 the picture differs";

        const LONG middle = (map.sheet.top + map.sheet.bottom) / 2;
        EXPECT_EQ(first.whiteRuns(middle, 50), 1);
        click(AFX_ID_PREVIEW_NUMPAGE);
        const Shot two = capture(pages, "preview-two");
        EXPECT_EQ(two.whiteRuns(middle, 50), 2) << "not two sheets side by side";
        click(AFX_ID_PREVIEW_NUMPAGE);

        click(AFX_ID_PREVIEW_ZOOMIN);
        const Shot zoomed = capture(pages, "preview-zoom");
        const RECT shown = zoomed.white();
        // Twice the size from the same top left corner; only part of it fits.
        const SheetMap twice{RECT{shown.left, shown.top,
                                  shown.left + 2 * (map.sheet.right - map.sheet.left),
                                  shown.top + 2 * (map.sheet.bottom - map.sheet.top)},
                             view->pageSize};
        EXPECT_GE(shown.bottom, zoomed.height - 2) << "the enlarged sheet should fill the height";
        const RECT bigRing = twice.boxInside(*view, 0);
        EXPECT_GT(zoomed.darkIn(bigRing), first.darkIn(ring) * 2) << "the ring did not grow";
        EXPECT_GT(twice.edgeRows(zoomed, *view, 0), (bigRing.bottom - bigRing.top) * 3 / 4);
        click(AFX_ID_PREVIEW_ZOOMOUT);
        EXPECT_TRUE(capture(pages, "preview-zoomout").pixels == first.pixels);
        click(AFX_ID_PREVIEW_CLOSE);
    });
    EXPECT_EQ(PreviewSession::Current(), nullptr);
}

} // namespace
