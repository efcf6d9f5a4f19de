// The program's own application, frame, document and view, made in this
// process by the template as the program makes them, for tests that drive
// them with messages.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/kestra_app.h"
#include "app/main_frame.h"
#include "app/tests/sample_choices.h"
#include "print/kestra_view.h"

namespace programtest {

CKestraApp& app();

// How many pages a PostScript job holds.
int pagesIn(const std::string& postscript);

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    void command(UINT id) { SendMessageA(frame->m_hWnd, WM_COMMAND, id, 0); }

    CMainFrame* frame = nullptr;
    CKestraView* view = nullptr;
    std::string output; // the test bed's printer file, removed before each test
};

} // namespace programtest
