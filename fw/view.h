// The view: the client area of the frame that shows the document, and the
// print architecture. A job runs OnPreparePrinting, OnBeginPrinting, then per
// page OnPrepareDC and OnPrint with m_nCurPage set, and OnEndPrinting.
#pragma once

#include <windows.h>

#include "fw/wnd.h"

class CDC;
class CDocument;
class CPrintInfo;

class CView : public CWnd {
  public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    void SetDocument(CDocument* document);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT id, int code, CCmdUI* cmdUi) override;
    virtual void OnInitialUpdate() {}

    virtual void OnDraw(CDC* dc) = 0;
    // Called before OnDraw and before each printed or previewed page.
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr);

    // The job's printer: the print dialog (print), the current printer
    // (print direct, preview). FALSE ends the job before it starts.
    virtual BOOL OnPreparePrinting(CPrintInfo* info);
    BOOL DoPreparePrinting(CPrintInfo* info);
    // The job's DC exists; set SetMaxPage here, or clear m_bContinuePrinting
    // to refuse the job.
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
    virtual void OnPrint(CDC* dc, CPrintInfo* info);
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);

    // ID_FILE_PRINT (with the print dialog) and ID_FILE_PRINT_DIRECT.
    void OnFilePrint();
    // ID_FILE_PRINT_PREVIEW: the preview window in the frame.
    void OnFilePrintPreview();

    DECLARE_MESSAGE_MAP()

  protected:
    void OnPaint();

    CDocument* m_pDocument = nullptr;
};
