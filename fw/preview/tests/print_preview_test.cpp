// Print preview in a frame, driven from a timer inside its own message loop:
// the bar's buttons are clicked as a user would, and each step is checked.
#include "fw/print_preview_entry.h"

#include "eudc/app_state.h"
#include "fw/dc.h"
#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/preview/preview_session.h"
#include "fw/preview/tests/gdi_object_counter.h"
#include "fw/print_info.h"
#include "fw/tests/wine_test_support.h"
#include "fw/view.h"
#include "print/gdi_surface.h"
#include "print/page_layout.h"
#include "print/page_renderer.h"
#include "print/tests/sample_page_texts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using kestra::appState;

// A view that prints the table as the program's view does.
class TableView : public CView {
  public:
    void OnDraw(CDC*) override {}
    void OnPrepareDC(CDC* dc, CPrintInfo* info) override {
        if (dc->IsPrinting())
            dc->SetMapMode(MM_LOMETRIC);
        CView::OnPrepareDC(dc, info);
    }
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override {
        pageSize = {dc->GetDeviceCaps(HORZSIZE) * 10, dc->GetDeviceCaps(VERTSIZE) * 10};
        layout = kestra::computePageLayout(pageSize, appState);
        info->SetMaxPage(static_cast<UINT>(layout.pageCount));
        ++begun;
    }
    void OnPrint(CDC* dc, CPrintInfo* info) override {
        printedOnPrinterAttributes +=
            dc->IsPrinting() && dc->m_hAttribDC == info->m_pPD->hDC && dc->m_hDC != dc->m_hAttribDC;
        pagesDrawn.push_back(info->m_nCurPage);
        kestra::GdiSurface surface(dc->m_hDC, dc->m_hAttribDC);
        const kestra::PageTexts& texts = kestra::testing::kSamplePageTexts;
        kestra::PageRenderer(surface, layout, pageSize, texts)
            .printPage(static_cast<int32_t>(info->m_nCurPage));
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ++ended; }

    kestra::PageSize pageSize;
    kestra::PageLayout layout;
    std::vector<UINT> pagesDrawn;
    int printedOnPrinterAttributes = 0;
    int begun = 0;
    int ended = 0;
};

// The script runs step by step from a timer, inside the preview's own loop.
std::function<void()> g_script;
void CALLBACK runScript(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_script) {
        auto script = std::move(g_script);
        g_script = nullptr;
        script();
    }
}

std::wstring textOf(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

// How many rows of `area` in the shot hold ink: a pixel darker than the
// preview's grey ground, the glyphs' smoothed edges included.
int inkRows(const testsupport::WindowShot& shot, const RECT& area) {
    int rows = 0;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const DWORD* row = &shot.pixels[static_cast<size_t>(y * shot.width)];
        rows += std::any_of(row + area.left, row + area.right, [](DWORD rgb) {
            return (rgb & 0xFF) < 0x70 && ((rgb >> 8) & 0xFF) < 0x70 && (rgb >> 16) < 0x70;
        });
    }
    return rows;
}

class PrintPreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gdi_counter::Install());
        appState.printAll = 1;
        appState.printStartIndex = 0;
        appState.printCount = kestra::kEudcCodeCount;
        appState.annotatableImeCount = 0;
        kestra::copyBounded(appState.fontFace, "AR PL UMing TW");
        kestra::copyBounded(appState.eudcFilePath, "C:\\WINDOWS\\FONTS\\EUDCRING.TTE");

        const RECT rect{0, 0, 800, 600};
        ASSERT_TRUE(frame.CreateEx(0, nullptr, "Kestra", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect,
                                   nullptr, nullptr));
        menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, ID_FILE_PRINT, "Print");
        SetMenu(frame.m_hWnd, menu);
        ASSERT_TRUE(view.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, rect, &frame,
                                  reinterpret_cast<HMENU>(AFX_IDW_PANE_FIRST)));
        frame.SetActiveView(&view);
        frame.RecalcLayout();
        info.m_bPreview = TRUE;
        info.m_pPD->hDC = testsupport::createDefaultPrinterDc();
        if (!info.m_pPD->hDC)
            GTEST_SKIP() << "the test bed has no default printer";
    }

    void TearDown() override {
        if (frame.m_hWnd)
            frame.DestroyWindow();
    }

    // Runs the preview with the script started from inside its loop.
    void preview(std::function<void()> script) {
        g_script = std::move(script);
        SetTimer(nullptr, 0, 10, runScript);
        RunPrintPreview(&view, &info);
        EXPECT_FALSE(g_script) << "the preview ended before its script ran";
        g_script = nullptr;
    }

    static PreviewSession& session() { return *PreviewSession::Current(); }
    static HWND button(int id) { return GetDlgItem(session().Bar(), id); }
    static void click(int id) {
        SendMessageA(button(id), BM_CLICK, 0, 0);
        RedrawWindow(session().Pages().m_hWnd, nullptr, nullptr, RDW_UPDATENOW);
    }
    static HWND previewWindow() { return session().Pages().m_hWnd; }

    CFrameWnd frame;
    TableView view;
    CPrintInfo info;
    HMENU menu = nullptr;
};

TEST_F(PrintPreviewTest, ShowsTheBarAndThePagesInPlaceOfTheView) {
    bool ran = false;
    preview([&] {
        ran = true;
        ASSERT_NE(PreviewSession::Current(), nullptr);
        EXPECT_NE(session().Bar(), nullptr);
        EXPECT_TRUE(IsWindowVisible(session().Bar()));
        EXPECT_FALSE(IsWindowVisible(view.m_hWnd));
        EXPECT_EQ(GetDlgItem(frame.m_hWnd, AFX_IDW_PANE_FIRST), previewWindow());
        EXPECT_EQ(GetMenu(frame.m_hWnd), nullptr);
        // The pages lie below the bar.
        RECT bar{}, pages{};
        GetWindowRect(session().Bar(), &bar);
        GetWindowRect(previewWindow(), &pages);
        EXPECT_GE(pages.top, bar.bottom);
        RedrawWindow(previewWindow(), nullptr, nullptr, RDW_UPDATENOW);
        EXPECT_EQ(textOf(previewWindow()), L"\x7B2C 1 \x9801"); // 第 1 頁
        EXPECT_FALSE(IsWindowEnabled(button(AFX_ID_PREVIEW_PREV)));
        EXPECT_TRUE(IsWindowEnabled(button(AFX_ID_PREVIEW_NEXT)));
        click(AFX_ID_PREVIEW_CLOSE);
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(view.begun, 1);
    EXPECT_EQ(view.ended, 1);
    EXPECT_EQ(info.GetMaxPage(), 32u);
    ASSERT_FALSE(view.pagesDrawn.empty());
    EXPECT_EQ(view.pagesDrawn.front(), 1u);
    EXPECT_EQ(view.printedOnPrinterAttributes, static_cast<int>(view.pagesDrawn.size()));
    // The view is back as it was.
    EXPECT_TRUE(IsWindowVisible(view.m_hWnd));
    EXPECT_EQ(GetDlgItem(frame.m_hWnd, AFX_IDW_PANE_FIRST), view.m_hWnd);
    EXPECT_EQ(GetMenu(frame.m_hWnd), menu);
    EXPECT_EQ(PreviewSession::Current(), nullptr);
}

TEST_F(PrintPreviewTest, PageIsDrawnOnScreen) {
    size_t dark = 0, white = 0;
    preview([&] {
        RedrawWindow(previewWindow(), nullptr, nullptr, RDW_UPDATENOW);
        const testsupport::WindowShot shot = testsupport::captureClient(previewWindow());
        testsupport::keepShot(shot, "preview");
        for (DWORD rgb : shot.pixels) {
            dark += rgb == 0;
            white += rgb == 0xFFFFFF;
        }
        click(AFX_ID_PREVIEW_CLOSE);
    });
    // A white sheet with black rules, boxes and text on it (and its shadow).
    EXPECT_GT(white, 10000u);
    EXPECT_GT(dark, 2000u);
}

// Run at 96 dpi and again at 144 and 192 (fw/preview/tests/CMakeLists.txt).
TEST_F(PrintPreviewTest, ThePageNumberShowsWholeUnderItsSheet) {
    const wchar_t kPageOne[] = L"\x7B2C 1 \x9801"; // 第 1 頁
    int shown = 0, uncut = 0;
    preview([&] {
        RedrawWindow(previewWindow(), nullptr, nullptr, RDW_UPDATENOW);
        // The number once more, in the grey left of the sheet where nothing cuts it.
        HDC dc = GetDC(previewWindow());
        const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, 0, 0, kPageOne, 5);
        SelectObject(dc, old);
        ReleaseDC(previewWindow(), dc);
        const testsupport::WindowShot shot = testsupport::captureClient(previewWindow());
        RECT sheet{shot.width, 0, 0, 0}; // the white paper's left and bottom
        for (size_t i = 0; i < shot.pixels.size(); ++i)
            if (shot.pixels[i] == 0xFFFFFF) {
                sheet.left = std::min(sheet.left, static_cast<LONG>(i % shot.width));
                sheet.bottom = static_cast<LONG>(i / shot.width) + 1;
            }
        constexpr LONG kShadow = 3;
        shown = inkRows(shot, {sheet.left, sheet.bottom + kShadow, shot.width, shot.height});
        uncut = inkRows(shot, {0, 0, sheet.left, shot.height});
        click(AFX_ID_PREVIEW_CLOSE);
    });
    EXPECT_GE(shown, uncut);
}

TEST_F(PrintPreviewTest, NextAndPreviousStopAtTheEnds) {
    preview([&] {
        click(AFX_ID_PREVIEW_NEXT);
        EXPECT_EQ(textOf(previewWindow()), L"\x7B2C 2 \x9801");
        EXPECT_TRUE(IsWindowEnabled(button(AFX_ID_PREVIEW_PREV)));
        click(AFX_ID_PREVIEW_PREV);
        click(AFX_ID_PREVIEW_PREV);
        EXPECT_EQ(session().Pages().CurrentPage(), 1u);
        for (int i = 0; i < 40; ++i)
            session().OnCommand(AFX_ID_PREVIEW_NEXT);
        EXPECT_EQ(session().Pages().CurrentPage(), 32u);
        EXPECT_FALSE(IsWindowEnabled(button(AFX_ID_PREVIEW_NEXT)));
        click(AFX_ID_PREVIEW_CLOSE);
    });
    EXPECT_EQ(view.pagesDrawn.back(), 32u);
}

TEST_F(PrintPreviewTest, TwoPagesToggleAndZoomSteps) {
    preview([&] {
        EXPECT_EQ(textOf(button(AFX_ID_PREVIEW_NUMPAGE)), L"\x5169\x9801(&T)"); // 兩頁(&T)
        view.pagesDrawn.clear();
        click(AFX_ID_PREVIEW_NUMPAGE);
        EXPECT_EQ(session().Pages().PagesShown(), 2u);
        EXPECT_EQ(info.m_nNumPreviewPages, 2u);
        EXPECT_EQ(textOf(button(AFX_ID_PREVIEW_NUMPAGE)), L"\x4E00\x9801(&P)"); // 一頁(&P)
        EXPECT_NE(std::find(view.pagesDrawn.begin(), view.pagesDrawn.end(), 2u),
                  view.pagesDrawn.end());

        EXPECT_FALSE(IsWindowEnabled(button(AFX_ID_PREVIEW_ZOOMOUT)));
        click(AFX_ID_PREVIEW_ZOOMIN);
        EXPECT_EQ(session().Pages().PagesShown(), 1u);
        EXPECT_FALSE(IsWindowEnabled(button(AFX_ID_PREVIEW_NUMPAGE)));
        EXPECT_TRUE(GetWindowLongA(previewWindow(), GWL_STYLE) & WS_VSCROLL);
        click(AFX_ID_PREVIEW_ZOOMIN);
        EXPECT_FALSE(IsWindowEnabled(button(AFX_ID_PREVIEW_ZOOMIN)));
        click(AFX_ID_PREVIEW_ZOOMOUT);
        click(AFX_ID_PREVIEW_ZOOMOUT);
        EXPECT_EQ(session().Pages().Zoom(), 0);
        EXPECT_EQ(session().Pages().PagesShown(), 2u);
        click(AFX_ID_PREVIEW_NUMPAGE);
        EXPECT_EQ(textOf(button(AFX_ID_PREVIEW_NUMPAGE)), L"\x5169\x9801(&T)");
        click(AFX_ID_PREVIEW_CLOSE);
    });
}

TEST_F(PrintPreviewTest, HundredPageTurnsLeaveNoGdiObjectBehind) {
    int countedBefore = -1, countedAfter = -1;
    DWORD systemBefore = 0, systemAfter = 0;
    const int livePrePreview = gdi_counter::LiveObjects();
    preview([&] {
        // Both kept pictures in use before counting: the preview keeps the
        // last two pages it showed, and no more.
        click(AFX_ID_PREVIEW_NEXT);
        click(AFX_ID_PREVIEW_PREV);
        countedBefore = gdi_counter::LiveObjects();
        systemBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        view.pagesDrawn.clear();
        for (int turn = 0; turn < 100; ++turn)
            click(turn < 50 ? AFX_ID_PREVIEW_NEXT : AFX_ID_PREVIEW_PREV);
        countedAfter = gdi_counter::LiveObjects();
        systemAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        EXPECT_EQ(session().Pages().CurrentPage(), 1u);
        click(AFX_ID_PREVIEW_CLOSE);
    });
    // 32 pages: forward 3..32 are drawn anew (2 is kept), back 30..1 (31 is
    // kept); the turns past either end change nothing.
    EXPECT_EQ(view.pagesDrawn.size(), 30u + 30u);
    EXPECT_EQ(countedAfter, countedBefore);
    EXPECT_EQ(systemAfter, systemBefore);
    // The kept pictures go with the preview.
    EXPECT_EQ(gdi_counter::LiveObjects(), livePrePreview);
}

TEST_F(PrintPreviewTest, ClosingTheFrameEndsThePreviewAndThenAsksAgainToClose) {
    preview([&] { PostMessageA(frame.m_hWnd, WM_CLOSE, 0, 0); });
    EXPECT_TRUE(IsWindow(frame.m_hWnd)) << "not destroyed under the preview's loop";
    EXPECT_TRUE(IsWindowVisible(view.m_hWnd));
    EXPECT_EQ(view.ended, 1);
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, frame.m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        << "the close is asked for again once the preview has ended";
}

TEST_F(PrintPreviewTest, PrintButtonEndsThePreviewAndAsksForPrinting) {
    preview([&] { click(AFX_ID_PREVIEW_PRINT); });
    EXPECT_EQ(PreviewSession::Current(), nullptr);
    MSG msg{};
    bool printAsked = false;
    while (PeekMessageA(&msg, frame.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        printAsked |= LOWORD(msg.wParam) == ID_FILE_PRINT;
    EXPECT_TRUE(printAsked);
}

TEST_F(PrintPreviewTest, EscapeClosesThePreview) {
    preview([&] { PostMessageA(previewWindow(), WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(PreviewSession::Current(), nullptr);
    EXPECT_TRUE(IsWindowVisible(view.m_hWnd));
}

TEST_F(PrintPreviewTest, RefusedJobShowsNothing) {
    class RefusingView : public TableView {
      public:
        void OnBeginPrinting(CDC* dc, CPrintInfo* info) override {
            TableView::OnBeginPrinting(dc, info);
            info->m_bContinuePrinting = FALSE;
        }
    };
    RefusingView refusing;
    const RECT rect{0, 0, 100, 100};
    ASSERT_TRUE(refusing.CreateEx(0, nullptr, "", WS_CHILD, rect, &frame,
                                  reinterpret_cast<HMENU>(AFX_IDW_PANE_FIRST + 5)));
    RunPrintPreview(&refusing, &info);
    EXPECT_TRUE(refusing.pagesDrawn.empty());
    EXPECT_EQ(refusing.ended, 1);
    refusing.DestroyWindow();
}

} // namespace
