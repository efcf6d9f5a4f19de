#include "app/bench/floor_job.h"

#include "eudc/app_state.h"
#include "fw/tests/wine_test_support.h"
#include "print/kestra_view.h"
#include "print/page_layout.h"

namespace floorbench {

using kestra::appState;

Job recordJob(HDC printer) {
    SetMapMode(printer, MM_LOMETRIC);
    kestra::PageSize pageSize;
    pageSize.cx = GetDeviceCaps(printer, HORZSIZE) * 10;
    pageSize.cy = GetDeviceCaps(printer, VERTSIZE) * 10;
    const kestra::PageLayout layout = kestra::computePageLayout(pageSize, appState);
    const PrintedPageTexts texts;
    Job job;
    for (int32_t page = 1; page <= layout.pageCount; ++page) {
        floorbench::PageRecorder recorder(printer);
        kestra::PageRenderer(recorder, layout, pageSize, texts.Texts()).printPage(page);
        job.push_back(recorder.take());
    }
    return job;
}

bool printJob(const Job& job, ObjectLifetime lifetime) {
    HDC printer = testsupport::createDefaultPrinterDc();
    if (!printer)
        return false;
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = "Kestra floor";
    bool printed = StartDocA(printer, &document) > 0;
    {
        floorbench::PageReplayer replayer(printer, lifetime);
        for (size_t page = 0; printed && page < job.size(); ++page) {
            printed = StartPage(printer) > 0;
            SetMapMode(printer, MM_LOMETRIC);
            replayer.play(job[page]);
            printed = printed && EndPage(printer) > 0;
        }
    }
    if (printed)
        EndDoc(printer);
    else
        AbortDoc(printer);
    DeleteDC(printer);
    return printed;
}

} // namespace floorbench
