#include "fw/view.h"

#include "fw/dc.h"
#include "fw/document.h"
#include "fw/frame_wnd.h"
#include "fw/print_info.h"

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::SetDocument(CDocument* document) {
    if (m_pDocument)
        m_pDocument->RemoveView(this);
    m_pDocument = document;
    if (document)
        document->AddView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
    return CWnd::PreCreateWindow(cs);
}

BOOL CView::OnCmdMsg(UINT id, int code, CCmdUI* cmdUi) {
    if (CWnd::OnCmdMsg(id, code, cmdUi))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, cmdUi);
}

void CView::OnPrepareDC(CDC*, CPrintInfo* info) {
    // Without a page count set in OnBeginPrinting, a job stops after its
    // first page instead of running to page 65535.
    if (info && info->GetMaxPage() == 0xFFFF && info->m_nCurPage > 1)
        info->m_bContinuePrinting = FALSE;
}

void CView::OnPaint() {
    CPaintDC dc(m_hWnd);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

BOOL CView::OnPreparePrinting(CPrintInfo* info) {
    return DoPreparePrinting(info);
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* dc, CPrintInfo*) {
    OnDraw(dc);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
