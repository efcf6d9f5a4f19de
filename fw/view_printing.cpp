// The print loop of the view: the print dialog or the current printer, then
// the job's pages with the printing box up and Cancel stopping the job.
#include "fw/view.h"

#include <commdlg.h>

#include <string>

#include "fw/dc.h"
#include "fw/document.h"
#include "fw/frame_wnd.h"
#include "fw/fw_ids.h"
#include "fw/print_info.h"
#include "fw/print_preview_entry.h"
#include "fw/printing_dialog.h"
#include "fw/resource_text.h"
#include "fw/win_app.h"

namespace {

HWND ownerOf(const CView* view) {
    CFrameWnd* frame = view->GetParentFrame();
    return frame ? frame->m_hWnd : nullptr;
}

// Asks where "print to file" writes; empty when the user cancels.
std::string askOutputFile(HWND owner) {
    std::string filter = LoadResourceString(AFX_IDS_PRINTFILTER);
    for (char& c : filter) {
        if (c == '|')
            c = '\0';
    }
    filter.push_back('\0');
    const std::string defaultExt = LoadResourceString(AFX_IDS_PRINTDEFAULTEXT);
    const std::string title = LoadResourceString(AFX_IDS_PRINTCAPTION);
    char path[MAX_PATH] = {};
    lstrcpynA(path, LoadResourceString(AFX_IDS_PRINTDEFAULT).c_str(), sizeof path);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = defaultExt.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    return GetSaveFileNameA(&ofn) ? std::string(path) : std::string();
}

class PrintJob {
  public:
    PrintJob(CView* view, CPrintInfo& info) : m_view(view), m_info(info) {
        m_dc.SetOutputDC(info.m_pPD->hDC);
        m_dc.SetAttribDC(info.m_pPD->hDC);
        m_dc.SetPrinting(TRUE);
    }
    ~PrintJob() {
        // The DC belongs to the CPrintInfo.
        m_dc.ReleaseOutputDC();
        m_dc.ReleaseAttribDC();
    }

    void Run();

  private:
    BOOL PrintPages(PrintingDialog& box);
    std::string DocumentName() const;
    std::string PortLine() const;

    CView* m_view;
    CPrintInfo& m_info;
    CDC m_dc;
};

std::string PrintJob::DocumentName() const {
    const CDocument* document = m_view->GetDocument();
    return document ? document->GetTitle() : std::string();
}

std::string PrintJob::PortLine() const {
    if (!m_info.m_strOutputFile.empty())
        return FormatResourceString1(AFX_IDS_PRINTTOFILE, m_info.m_strOutputFile.c_str());
    return FormatResourceString1(AFX_IDS_PRINTONPORT, AfxGetApp()->Printer().PortName().c_str());
}

void PrintJob::Run() {
    HWND owner = ownerOf(m_view);
    if (m_info.m_pPD->Flags & PD_PRINTTOFILE) {
        m_info.m_strOutputFile = askOutputFile(owner);
        if (m_info.m_strOutputFile.empty())
            return;
    }
    m_view->OnBeginPrinting(&m_dc, &m_info);
    if (!m_info.m_bContinuePrinting) {
        // Refused by the view, which has told the user why.
        m_view->OnEndPrinting(&m_dc, &m_info);
        return;
    }
    const std::string documentName = DocumentName();
    DOCINFOA docInfo{};
    docInfo.cbSize = sizeof docInfo;
    docInfo.lpszDocName = documentName.c_str();
    docInfo.lpszOutput = m_info.m_strOutputFile.empty() ? nullptr : m_info.m_strOutputFile.c_str();

    PrintingDialog box(m_view->GetParentFrame());
    box.Open(documentName.c_str(), AfxGetApp()->Printer().DeviceName().c_str(), PortLine().c_str());
    SetAbortProc(m_info.m_pPD->hDC, PrintingDialog::AbortProc);
    if (StartDocA(m_info.m_pPD->hDC, &docInfo) <= 0) {
        m_view->OnEndPrinting(&m_dc, &m_info);
        box.DestroyWindow();
        AfxMessageBox(AFX_IDS_PRINTFAILED, MB_OK | MB_ICONEXCLAMATION, owner);
        return;
    }
    if (PrintPages(box))
        EndDoc(m_info.m_pPD->hDC);
    else
        AbortDoc(m_info.m_pPD->hDC);
    m_view->OnEndPrinting(&m_dc, &m_info);
}

BOOL PrintJob::PrintPages(PrintingDialog& box) {
    UINT first = m_info.GetFromPage();
    UINT last = m_info.GetToPage();
    if (first < m_info.GetMinPage())
        first = m_info.GetMinPage();
    if (last > m_info.GetMaxPage())
        last = m_info.GetMaxPage();
    HDC printer = m_info.m_pPD->hDC;
    for (m_info.m_nCurPage = first; m_info.m_nCurPage <= last; ++m_info.m_nCurPage) {
        m_view->OnPrepareDC(&m_dc, &m_info);
        if (!m_info.m_bContinuePrinting)
            break;
        box.ShowPage(m_info.m_nCurPage);
        if (StartPage(printer) <= 0)
            return FALSE;
        // Starting a page resets the DC's attributes on some systems.
        m_view->OnPrepareDC(&m_dc, &m_info);
        m_view->OnPrint(&m_dc, &m_info);
        if (EndPage(printer) <= 0 || !PrintingDialog::AbortProc(printer, 0))
            return FALSE;
    }
    return TRUE;
}

} // namespace

BOOL CView::DoPreparePrinting(CPrintInfo* info) {
    HWND owner = ownerOf(this);
    PrinterSettings& printer = AfxGetApp()->Printer();
    if (!printer.EnsurePrinter()) {
        AfxMessageBox(AFX_IDS_NOPRINTER, MB_OK | MB_ICONEXCLAMATION, owner);
        return FALSE;
    }
    if (info->m_bPreview || info->m_bDirect) {
        info->m_pPD->hDC = printer.CreatePrinterDC();
        if (!info->m_pPD->hDC) {
            AfxMessageBox(AFX_IDS_PRINTFAILED, MB_OK | MB_ICONEXCLAMATION, owner);
            return FALSE;
        }
        return TRUE;
    }
    return printer.RunPrintDialog(owner, *info->m_pPD);
}

void CView::OnFilePrint() {
    CPrintInfo info;
    const MSG* msg = GetCurrentMessage();
    if (msg && msg->message == WM_COMMAND && LOWORD(msg->wParam) == ID_FILE_PRINT_DIRECT)
        info.m_bDirect = TRUE;
    if (!OnPreparePrinting(&info))
        return;
    PrintJob job(this, info);
    job.Run();
}

void CView::OnFilePrintPreview() {
    CPrintInfo info;
    info.m_bPreview = TRUE;
    // One or two pages side by side, as the user left it last time.
    CWinApp* app = AfxGetApp();
    const UINT pages = app->GetPreviewPageCount();
    if (pages == 1 || pages == 2)
        info.m_nNumPreviewPages = pages;
    if (!OnPreparePrinting(&info))
        return;
    RunPrintPreview(this, &info);
    app->SetPreviewPageCount(info.m_nNumPreviewPages);
}
