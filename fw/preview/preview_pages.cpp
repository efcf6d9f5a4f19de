#include "fw/preview/preview_pages.h"

#include "fw/dc.h"
#include "fw/print_info.h"
#include "fw/view.h"

namespace {

// A metric mapping mode (MM_LOMETRIC and the like) is recorded by name, and
// Wine replays it at the screen's resolution instead of the printer's, which
// shrinks the page to a corner of the sheet. The same transform written out
// as explicit extents, taken from the printer, replays as it was recorded.
void makeMappingExplicit(HDC metafile, HDC printer) {
    const int mode = GetMapMode(printer);
    if (mode == MM_TEXT || mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC)
        return;
    SIZE window{}, viewport{};
    POINT windowOrigin{}, viewportOrigin{};
    GetWindowExtEx(printer, &window);
    GetViewportExtEx(printer, &viewport);
    GetWindowOrgEx(printer, &windowOrigin);
    GetViewportOrgEx(printer, &viewportOrigin);
    SetMapMode(metafile, MM_ANISOTROPIC);
    SetWindowExtEx(metafile, window.cx, window.cy, nullptr);
    SetViewportExtEx(metafile, viewport.cx, viewport.cy, nullptr);
    SetWindowOrgEx(metafile, windowOrigin.x, windowOrigin.y, nullptr);
    SetViewportOrgEx(metafile, viewportOrigin.x, viewportOrigin.y, nullptr);
}

} // namespace

PreviewPages::PreviewPages(CView* view, CPrintInfo* info) : m_view(view), m_info(info) {}

PreviewPages::~PreviewPages() {
    Clear();
}

void PreviewPages::Clear() {
    for (Slot& slot : m_slots) {
        if (slot.picture)
            DeleteEnhMetaFile(slot.picture);
        slot = Slot{};
    }
}

SIZE PreviewPages::PaperMillimetres() const {
    HDC printer = m_info->m_pPD->hDC;
    return SIZE{GetDeviceCaps(printer, HORZSIZE), GetDeviceCaps(printer, VERTSIZE)};
}

HENHMETAFILE PreviewPages::Page(UINT page) {
    for (const Slot& slot : m_slots) {
        if (slot.picture && slot.page == page)
            return slot.picture;
    }
    HENHMETAFILE picture = Record(page);
    if (!picture)
        return nullptr;
    Slot& slot = m_slots[m_nextSlot];
    m_nextSlot = (m_nextSlot + 1) % kSlots;
    if (slot.picture)
        DeleteEnhMetaFile(slot.picture);
    slot.page = page;
    slot.picture = picture;
    return picture;
}

HENHMETAFILE PreviewPages::Record(UINT page) {
    HDC printer = m_info->m_pPD->hDC;
    const SIZE paper = PaperMillimetres();
    const RECT frame{0, 0, paper.cx * 100, paper.cy * 100}; // 0.01 mm
    HDC metafile = CreateEnhMetaFileA(printer, nullptr, &frame, nullptr);
    if (!metafile)
        return nullptr;
    // The page sets the printer DC's mapping mode and selects into it; the
    // next page and the real print must find it as it was.
    const int saved = SaveDC(printer);
    {
        CDC dc;
        dc.SetOutputDC(metafile);
        dc.SetAttribDC(printer);
        dc.SetPrinting(TRUE);
        m_info->m_nCurPage = page;
        m_view->OnPrepareDC(&dc, m_info);
        makeMappingExplicit(metafile, printer);
        m_view->OnPrint(&dc, m_info);
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    if (saved)
        RestoreDC(printer, saved);
    return CloseEnhMetaFile(metafile);
}
