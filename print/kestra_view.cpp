#include "print/kestra_view.h"

#include <string>

#include "eudc/app_state.h"
#include "fw/dc.h"
#include "fw/frame_wnd.h"
#include "fw/gdi_object.h"
#include "fw/print_info.h"
#include "fw/resource_text.h"
#include "print/gdi_surface.h"
#include "print/glyph_face.h"
#include "print/page_renderer.h"
#include "res/resource.h"

IMPLEMENT_DYNCREATE(CKestraView)

BEGIN_MESSAGE_MAP(CKestraView, CView)
ON_COMMAND(ID_SET_FONT, OnSetFont)
ON_COMMAND(ID_SET_RANGE, OnSetRange)
ON_UPDATE_COMMAND_UI(ID_SET_RANGE, OnUpdateSetRange)
ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateFilePrint)
ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_DIRECT, OnUpdateFilePrint)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_PREVIEW, OnUpdateFilePrint)
END_MESSAGE_MAP()

using kestra::appState;

BOOL CKestraView::PreCreateWindow(CREATESTRUCTA& cs) {
    return CView::PreCreateWindow(cs);
}

// The view shows no range, so nothing is repainted.
void CKestraView::OnUpdateSetRange(CCmdUI* cmdUi) {
    cmdUi->Enable(appState.fontFace[0] != 0);
}

void CKestraView::OnUpdateFilePrint(CCmdUI* cmdUi) {
    cmdUi->Enable(appState.fontFace[0] != 0);
}

void CKestraView::OnDraw(CDC* dc) {
    if (appState.fontFace[0] == 0)
        return;
    CFont font;
    font.CreateFont(32, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET,
                    OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, FIXED_PITCH | FF_MODERN,
                    kestra::glyphFaceFor(appState.fontFace, appState.defaultFaceName,
                                         appState.standardEudcLabel));
    HGDIOBJ keptFont = dc->SelectObject(&font);
    TEXTMETRICA metrics{};
    dc->GetTextMetrics(&metrics);
    RECT client{};
    GetClientRect(&client);
    const int lineHeight = metrics.tmHeight;
    int y = (client.bottom - 3 * lineHeight) / 2;
    int x = (client.right - dc->GetTextExtent(appState.fontFace).cx) / 2;
    dc->TextOut(x, y, appState.fontFace);
    y += 2 * lineHeight;
    x = (client.right - dc->GetTextExtent(appState.eudcFilePath).cx) / 2;
    dc->TextOut(x, y, appState.eudcFilePath);
    dc->SelectObject(keptFont);
}

void CKestraView::OnPrepareDC(CDC* dc, CPrintInfo* info) {
    if (dc->IsPrinting())
        dc->SetMapMode(MM_LOMETRIC);
    CView::OnPrepareDC(dc, info);
}

BOOL CKestraView::OnPreparePrinting(CPrintInfo* info) {
    return DoPreparePrinting(info);
}

void CKestraView::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
    pageSize.cx = dc->GetDeviceCaps(HORZSIZE) * 10;
    pageSize.cy = dc->GetDeviceCaps(VERTSIZE) * 10;
    if (!CalcPageLayout(info)) {
        // Refuse the job rather than divide by an empty page.
        info->m_bContinuePrinting = FALSE;
        CFrameWnd* frame = GetParentFrame();
        AfxMessageBox(IDS_PAGE_TOO_SMALL, MB_OK | MB_ICONEXCLAMATION,
                      frame ? frame->m_hWnd : nullptr);
    }
}

BOOL CKestraView::CalcPageLayout(CPrintInfo* info) {
    const kestra::PageLayout layout = kestra::computePageLayout(pageSize, appState);
    cellHeight = layout.cellHeight;
    columnWidth = layout.columnWidth;
    columns = layout.columns;
    rows = layout.rows;
    cellsPerPage = layout.cellsPerPage;
    pageCount = layout.pageCount;
    if (!layout.fitsOnPage())
        return FALSE;
    info->SetMaxPage(static_cast<UINT>(pageCount));
    return TRUE;
}

PrintedPageTexts::PrintedPageTexts()
    : m_labelFace(LoadResourceString(IDS_DEFAULT_FACE)),
      m_standardLabel(LoadResourceString(IDS_STANDARD_EUDC_LABEL)),
      m_header(LoadResourceString(IDS_PAGE_HEADER)), m_footer(LoadResourceString(IDS_PAGE_FOOTER)),
      m_codeHeading(LoadResourceString(IDS_CODE_HEADING)), m_texts{m_labelFace.c_str(),
                                                                   m_standardLabel.c_str(),
                                                                   m_header.c_str(),
                                                                   m_footer.c_str(),
                                                                   m_codeHeading.c_str()} {}

void CKestraView::OnPrint(CDC* dc, CPrintInfo* info) {
    const PrintedPageTexts texts;
    currentPage = static_cast<int32_t>(info->m_nCurPage);

    kestra::PageLayout layout;
    layout.cellHeight = cellHeight;
    layout.columnWidth = columnWidth;
    layout.columns = columns;
    layout.rows = rows;
    layout.cellsPerPage = cellsPerPage;
    layout.pageCount = pageCount;
    kestra::GdiSurface surface(dc->m_hDC, dc->m_hAttribDC);
    kestra::PageRenderer renderer(surface, layout, pageSize, texts.Texts());
    renderer.printPage(currentPage);
}

void CKestraView::OnEndPrinting(CDC*, CPrintInfo*) {}
