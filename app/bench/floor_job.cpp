#include "app/bench/floor_job.h"

#include <string>

#include "eudc/app_state.h"
#include "fw/resource_text.h"
#include "fw/tests/wine_test_support.h"
#include "print/page_layout.h"
#include "print/page_renderer.h"
#include "res/resource.h"

namespace floorbench {

using kestra::appState;

Job recordJob(HDC printer) {
    SetMapMode(printer, MM_LOMETRIC);
    kestra::PageSize pageSize;
    pageSize.cx = GetDeviceCaps(printer, HORZSIZE) * 10;
    pageSize.cy = GetDeviceCaps(printer, VERTSIZE) * 10;
    const kestra::PageLayout layout = kestra::computePageLayout(pageSize, appState);
    const std::string labelFace = LoadResourceString(IDS_DEFAULT_FACE);
    const std::string standardLabel = LoadResourceString(IDS_STANDARD_EUDC_LABEL);
    const std::string header = LoadResourceString(IDS_PAGE_HEADER);
    const std::string footer = LoadResourceString(IDS_PAGE_FOOTER);
    const std::string codeHeading = LoadResourceString(IDS_CODE_HEADING);
    const kestra::PageTexts texts = {labelFace.c_str(), standardLabel.c_str(), header.c_str(),
                                     footer.c_str(), codeHeading.c_str()};
    Job job;
    for (int32_t page = 1; page <= layout.pageCount; ++page) {
        floorbench::PageRecorder recorder(printer);
        kestra::PageRenderer(recorder, layout, pageSize, texts).printPage(page);
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
