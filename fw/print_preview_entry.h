// The door into print preview, which lives in fw/preview/. CView's
// OnFilePrintPreview prepares the job and then calls this.
#pragma once

class CView;
class CPrintInfo;

// Shows the pages of the job that `info` describes inside the view's frame,
// with the bar of dialog AFX_IDD_PREVIEW_TOOLBAR above them, and returns when
// the preview is closed. On entry OnPreparePrinting has succeeded:
// info->m_bPreview is TRUE and info->m_pPD->hDC is a DC on the current
// printer, which `info` deletes when it dies. The preview runs
// OnBeginPrinting (and stops at once, drawing nothing, when it clears
// m_bContinuePrinting), per page OnPrepareDC then OnPrint with m_nCurPage set
// on a CDC whose attribute DC is the printer and whose IsPrinting() is TRUE,
// and OnEndPrinting before it returns.
void RunPrintPreview(CView* view, CPrintInfo* info);
