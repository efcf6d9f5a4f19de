// Whole jobs through the program's own frame and view: every code printed to
// the test bed's file printer, and the preview looked at pixel by pixel. Each
// PostScript job and screenshot is kept in KESTRA_TEST_OUTPUT, where
// check_postscript.sh reads the pages' text once Wine has exited.
#include "app/tests/program_fixture.h"
#include "app/tests/page_pixels.h"

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

using pagepixels::Shot;

Shot capture(HWND hwnd, const char* name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Shot shot(testsupport::captureClient(hwnd));
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

// The sheet shown at `sheet`, laid out as the view laid out the job.
pagepixels::SheetMap mapOf(const RECT& sheet, const CKestraView& v) {
    kestra::PageLayout layout;
    layout.columns = v.columns;
    layout.columnWidth = v.columnWidth;
    return {sheet, v.pageSize, layout};
}

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
        const pagepixels::SheetMap map = mapOf(first.white(), *view);
        ASSERT_GT(map.sheet.bottom - map.sheet.top, 400) << "no sheet of paper on screen";
        // FA40 has a ring, FA41 an empty outline: only the first box is inked inside.
        const RECT ring = map.boxInside(0), empty = map.boxInside(1);
        const int inside = (ring.right - ring.left) * (ring.bottom - ring.top);
        EXPECT_GT(first.darkIn(ring), inside / 10) << "no ring in the box of FA40";
        EXPECT_LT(first.darkIn(empty), inside / 20) << "ink inside the box of FA41";
        EXPECT_GT(map.edgeRows(first, 0), (ring.bottom - ring.top) * 3 / 4);

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
        const pagepixels::SheetMap twice =
            mapOf(RECT{shown.left, shown.top, shown.left + 2 * (map.sheet.right - map.sheet.left),
                       shown.top + 2 * (map.sheet.bottom - map.sheet.top)},
                  *view);
        EXPECT_GE(shown.bottom, zoomed.height - 2) << "the enlarged sheet should fill the height";
        const RECT bigRing = twice.boxInside(0);
        EXPECT_GT(zoomed.darkIn(bigRing), first.darkIn(ring) * 2) << "the ring did not grow";
        EXPECT_GT(twice.edgeRows(zoomed, 0), (bigRing.bottom - bigRing.top) * 3 / 4);
        click(AFX_ID_PREVIEW_ZOOMOUT);
        EXPECT_TRUE(capture(pages, "preview-zoomout").pixels == first.pixels);
        click(AFX_ID_PREVIEW_CLOSE);
    });
    EXPECT_EQ(PreviewSession::Current(), nullptr);
}

} // namespace
