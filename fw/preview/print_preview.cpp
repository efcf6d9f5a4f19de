// The framework's print preview: begin the job on the printer, show its pages
// until the user closes the preview, end the job, and print it when asked to.
#include "fw/print_preview_entry.h"

#include "fw/dc.h"
#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/preview/preview_session.h"
#include "fw/print_info.h"
#include "fw/view.h"

void RunPrintPreview(CView* view, CPrintInfo* info) {
    CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
    if (!frame || !info || !info->m_pPD->hDC)
        return;
    const HWND frameHwnd = frame->m_hWnd;
    CDC dc;
    dc.SetOutputDC(info->m_pPD->hDC);
    dc.SetAttribDC(info->m_pPD->hDC);
    dc.SetPrinting(TRUE);
    view->OnBeginPrinting(&dc, info);
    BOOL print = FALSE;
    if (info->m_bContinuePrinting) {
        PreviewSession session(view, info, frame);
        session.Run();
        print = session.PrintRequested();
    }
    if (IsWindow(frameHwnd))
        view->OnEndPrinting(&dc, info);
    dc.ReleaseOutputDC();
    dc.ReleaseAttribDC();
    // The print button ends the preview and then prints as the menu would.
    if (print && IsWindow(frameHwnd))
        PostMessageA(frameHwnd, WM_COMMAND, ID_FILE_PRINT, 0);
}
