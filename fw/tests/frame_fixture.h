// A test document, frame and view made by the single-document template, as
// the program makes its own; torn down after each test.
#pragma once

#include <gtest/gtest.h>

#include "fw/doc_template.h"
#include "fw/tests/test_classes.h"
#include "fw/tests/test_ids.h"

namespace fwtest {

class FrameFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        handlerLog.clear();
        gatedEnabled = true;
        TestView::jobPages = 1;
        TestView::pageMapModes.clear();
        TestView::afterPage = nullptr;
        TestApp& app = testApp();
        docTemplate = new CSingleDocTemplate(IDR_TESTFRAME, RUNTIME_CLASS(TestDoc),
                                             RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(TestView));
        app.AddDocTemplate(docTemplate);
        ASSERT_NE(docTemplate->OpenDocumentFile(nullptr, FALSE), nullptr);
        frame = dynamic_cast<TestFrame*>(app.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
    }

    void TearDown() override {
        testApp().AddDocTemplate(nullptr);
        // The main frame's end posts a quit; later modal loops must not see it.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    LRESULT command(UINT id, WORD code = 0) {
        return SendMessageA(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }

    CSingleDocTemplate* docTemplate = nullptr;
    TestFrame* frame = nullptr;
};

} // namespace fwtest
