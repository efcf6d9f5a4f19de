// A document, frame and view that record which of their handlers ran, and
// the application object of the framework tests.
#pragma once

#include <string>
#include <vector>

#include "fw/document.h"
#include "fw/frame_wnd.h"
#include "fw/runtime_class.h"
#include "fw/view.h"
#include "fw/win_app.h"

namespace fwtest {

// What ran, in order: "view:40001", "doc:40002", "print:3", ...
extern std::vector<std::string> handlerLog;
// The update handler of ID_TEST_GATED answers this.
extern bool gatedEnabled;

class TestApp : public CWinApp {
  public:
    void OnAll();
    void OnDocFrameApp();
    void OnFrameApp();
    void OnAppOnly();
    DECLARE_MESSAGE_MAP()
};

// The one application object of the test program, started on first use.
TestApp& testApp();

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
  public:
    void OnAll();
    void OnDocFrameApp();
    DECLARE_MESSAGE_MAP()
};

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
  public:
    void OnAll();
    void OnDocFrameApp();
    void OnFrameApp();
    DECLARE_MESSAGE_MAP()
};

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
  public:
    void OnDraw(CDC* dc) override;
    void OnAll();
    void OnGated();
    void OnUpdateGated(CCmdUI* cmdUi);

    BOOL OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) override;
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;

    // Pages the next job has; 0 refuses it in OnBeginPrinting.
    static unsigned jobPages;
    // Called at the end of each OnPrint with the page number, when set.
    static void (*afterPage)(UINT page);
    // Mapping mode the DC had when each page was printed.
    static std::vector<int> pageMapModes;
    DECLARE_MESSAGE_MAP()
};

} // namespace fwtest
