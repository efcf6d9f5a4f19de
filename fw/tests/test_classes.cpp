#include "fw/tests/test_classes.h"

#include "fw/dc.h"
#include "fw/fw_ids.h"
#include "fw/print_info.h"
#include "fw/tests/test_ids.h"

namespace fwtest {

std::vector<std::string> handlerLog;
bool gatedEnabled = true;
unsigned TestView::jobPages = 1;
std::vector<int> TestView::pageMapModes;
void (*TestView::afterPage)(UINT page) = nullptr;

namespace {

void record(const char* who, int id) {
    handlerLog.push_back(std::string(who) + ":" + std::to_string(id));
}

} // namespace

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_TEST_ALL_HANDLE, OnAll)
ON_COMMAND(ID_TEST_DOC_FRAME_APP, OnDocFrameApp)
ON_COMMAND(ID_TEST_FRAME_APP, OnFrameApp)
ON_COMMAND(ID_TEST_APP_ONLY, OnAppOnly)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

void TestApp::OnAll() {
    record("app", ID_TEST_ALL_HANDLE);
}
void TestApp::OnDocFrameApp() {
    record("app", ID_TEST_DOC_FRAME_APP);
}
void TestApp::OnFrameApp() {
    record("app", ID_TEST_FRAME_APP);
}
void TestApp::OnAppOnly() {
    record("app", ID_TEST_APP_ONLY);
}

TestApp& testApp() {
    static TestApp app;
    static const bool started = [] {
        app.InitApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
        app.LoadStdProfileSettings(4);
        return true;
    }();
    (void)started;
    return app;
}

IMPLEMENT_DYNCREATE(TestDoc)
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
ON_COMMAND(ID_TEST_ALL_HANDLE, OnAll)
ON_COMMAND(ID_TEST_DOC_FRAME_APP, OnDocFrameApp)
END_MESSAGE_MAP()

void TestDoc::OnAll() {
    record("doc", ID_TEST_ALL_HANDLE);
}
void TestDoc::OnDocFrameApp() {
    record("doc", ID_TEST_DOC_FRAME_APP);
}

IMPLEMENT_DYNCREATE(TestFrame)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
ON_COMMAND(ID_TEST_ALL_HANDLE, OnAll)
ON_COMMAND(ID_TEST_DOC_FRAME_APP, OnDocFrameApp)
ON_COMMAND(ID_TEST_FRAME_APP, OnFrameApp)
END_MESSAGE_MAP()

void TestFrame::OnAll() {
    record("frame", ID_TEST_ALL_HANDLE);
}
void TestFrame::OnDocFrameApp() {
    record("frame", ID_TEST_DOC_FRAME_APP);
}
void TestFrame::OnFrameApp() {
    record("frame", ID_TEST_FRAME_APP);
}

IMPLEMENT_DYNCREATE(TestView)
BEGIN_MESSAGE_MAP(TestView, CView)
ON_COMMAND(ID_TEST_ALL_HANDLE, OnAll)
ON_COMMAND(ID_TEST_GATED, OnGated)
ON_UPDATE_COMMAND_UI(ID_TEST_GATED, OnUpdateGated)
ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

void TestView::OnDraw(CDC*) {}
void TestView::OnAll() {
    record("view", ID_TEST_ALL_HANDLE);
}
void TestView::OnGated() {
    record("view", ID_TEST_GATED);
}
void TestView::OnUpdateGated(CCmdUI* cmdUi) {
    cmdUi->Enable(gatedEnabled);
}

BOOL TestView::OnPreparePrinting(CPrintInfo* info) {
    handlerLog.push_back(info->m_bDirect ? "prepare:direct" : "prepare:dialog");
    return DoPreparePrinting(info);
}

void TestView::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
    handlerLog.push_back("begin:" + std::to_string(dc->GetDeviceCaps(HORZSIZE) > 0));
    if (jobPages == 0)
        info->m_bContinuePrinting = FALSE;
    else
        info->SetMaxPage(jobPages);
}

void TestView::OnPrepareDC(CDC* dc, CPrintInfo* info) {
    if (dc->IsPrinting())
        dc->SetMapMode(MM_LOMETRIC);
    CView::OnPrepareDC(dc, info);
}

void TestView::OnPrint(CDC* dc, CPrintInfo* info) {
    record("print", static_cast<int>(info->m_nCurPage));
    pageMapModes.push_back(dc->GetMapMode());
    dc->TextOut(100, -100, "page");
    if (afterPage)
        afterPage(info->m_nCurPage);
}

void TestView::OnEndPrinting(CDC*, CPrintInfo*) {
    handlerLog.push_back("end");
}

} // namespace fwtest
