// Timings of whole jobs under Wine, on the test bed's file printer: every code
// printed directly without and with annotation, and one preview page recorded
// and played on screen by the preview's own code. Prints the median and the
// range of several runs of each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/kestra_app.h"
#include "app/kestra_doc.h"
#include "app/main_frame.h"
#include "app/tests/sample_choices.h"
#include "eudc/app_state.h"
#include "fw/dc.h"
#include "fw/doc_template.h"
#include "fw/preview/preview_pages.h"
#include "fw/print_info.h"
#include "fw/tests/wine_test_support.h"
#include "print/kestra_view.h"
#include "res/resource.h"

namespace {

using kestra::appState;

double nowMs() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs `work` `runs` times and prints median, fastest and slowest.
void measure(const char* name, int runs, double targetMs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = nowMs();
        work();
        times.push_back(nowMs() - start);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    printf("%-28s median %9.2f ms  min %9.2f  max %9.2f  (%d runs, target %.0f ms: %s)\n", name,
           median, times.front(), times.back(), runs, targetMs,
           median <= targetMs ? "met" : "MISSED");
    fflush(stdout);
}

// One preview page as the preview shows it: recorded through OnPrepareDC and
// OnPrint into a metafile on the printer, then played onto a screen bitmap.
void benchPreviewPage(CKestraView* view) {
    CPrintInfo info;
    info.m_bPreview = TRUE;
    info.m_pPD->hDC = testsupport::createDefaultPrinterDc();
    if (!info.m_pPD->hDC) {
        printf("preview page: no default printer\n");
        return;
    }
    {
        CDC dc;
        dc.SetOutputDC(info.m_pPD->hDC);
        dc.SetAttribDC(info.m_pPD->hDC);
        dc.SetPrinting(TRUE);
        view->OnBeginPrinting(&dc, &info);
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 480, 690);
    ReleaseDC(nullptr, screen);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    const RECT sheet{0, 0, 480, 690};
    PreviewPages pages(view, &info);
    UINT page = 1;
    int missing = 0;
    measure("preview page, record", 21, 50, [&] {
        pages.Clear();
        missing += pages.Page(page) == nullptr;
    });
    measure("preview page, play", 21, 50, [&] {
        PatBlt(memory, 0, 0, 480, 690, WHITENESS);
        PlayEnhMetaFile(memory, pages.Page(page), &sheet);
        GdiFlush();
    });
    measure("preview page, both", 21, 50, [&] {
        pages.Clear();
        PatBlt(memory, 0, 0, 480, 690, WHITENESS);
        PlayEnhMetaFile(memory, pages.Page(page), &sheet);
        GdiFlush();
        page = page % 32 + 1;
    });
    if (missing)
        printf("preview page: %d pages could not be recorded\n", missing);
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
    view->OnEndPrinting(nullptr, &info);
}

} // namespace

int main() {
    static CKestraApp theApp;
    theApp.InitApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    theApp.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CKestraDoc),
                                                 RUNTIME_CLASS(CMainFrame),
                                                 RUNTIME_CLASS(CKestraView)));
    if (!theApp.GetDocTemplate()->OpenDocumentFile(nullptr, FALSE)) {
        printf("no main frame\n");
        return 1;
    }
    auto* frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
    auto* view = frame ? dynamic_cast<CKestraView*>(frame->GetActiveView()) : nullptr;
    if (!view) {
        printf("no view\n");
        return 1;
    }
    const auto printDirect = [&] {
        SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    };
    programtest::chooseFace(kestra::kEudcCodeCount);
    measure("print 32 pages", 5, 1000, printDirect);
    benchPreviewPage(view);
    programtest::annotateWithPhoneticAndCangjie();
    measure("print 223 annotated pages", 3, 4000, printDirect);
    theApp.AddDocTemplate(nullptr);
    return 0;
}
