#include "app/tests/program_fixture.h"

#include "app/kestra_doc.h"
#include "eudc/app_state.h"
#include "fw/doc_template.h"
#include "fw/tests/wine_test_support.h"
#include "res/resource.h"

namespace programtest {

CKestraApp& app() {
    static CKestraApp theApp;
    static const bool started = theApp.InitApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    (void)started;
    return theApp;
}

int pagesIn(const std::string& postscript) {
    int n = 0;
    for (size_t at = postscript.find("%%Page:"); at != std::string::npos;
         at = postscript.find("%%Page:", at + 1))
        ++n;
    return n;
}

void ProgramTest::SetUp() {
    kestra::appState = kestra::AppState{};
    app().AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CKestraDoc),
                                                RUNTIME_CLASS(CMainFrame),
                                                RUNTIME_CLASS(CKestraView)));
    ASSERT_NE(app().GetDocTemplate()->OpenDocumentFile(nullptr, FALSE), nullptr);
    frame = dynamic_cast<CMainFrame*>(app().m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    view = dynamic_cast<CKestraView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    output = testsupport::printerOutputPath();
    ASSERT_FALSE(output.empty()) << "run through scripts/wine-test.sh";
    DeleteFileA(output.c_str());
}

void ProgramTest::TearDown() {
    app().AddDocTemplate(nullptr);
    // Closing the frame posted WM_QUIT for the program's message loop, which
    // these tests do not run.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

} // namespace programtest
