#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fw/dc.h"
#include "fw/fw_ids.h"
#include "fw/print_info.h"
#include "fw/tests/frame_fixture.h"
#include "fw/tests/wine_test_support.h"

namespace fwtest {
namespace {

using ::testing::ElementsAre;

class PrintLoop : public FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        output = testsupport::printerOutputPath();
        ASSERT_FALSE(output.empty()) << "KESTRA_TEST_OUTPUT is not set";
        DeleteFileA(output.c_str());
    }
    std::string output;
};

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(PrintLoop, PrintDirectRunsEveryPageInOrderOnTheCurrentPrinter) {
    TestView::jobPages = 3;
    command(ID_FILE_PRINT_DIRECT);
    EXPECT_THAT(handlerLog,
                ElementsAre("prepare:direct", "begin:1", "print:1", "print:2", "print:3", "end"));
    EXPECT_THAT(TestView::pageMapModes, ElementsAre(MM_LOMETRIC, MM_LOMETRIC, MM_LOMETRIC));
    ASSERT_TRUE(testsupport::fileExists(output));
    EXPECT_EQ(countOf(testsupport::readFile(output), "%%Page:"), 3);
    EXPECT_TRUE(frame->IsWindowEnabled()) << "the frame is enabled again after the job";
}

TEST_F(PrintLoop, AJobRefusedInOnBeginPrintingPrintsNothing) {
    TestView::jobPages = 0;
    command(ID_FILE_PRINT_DIRECT);
    EXPECT_THAT(handlerLog, ElementsAre("prepare:direct", "begin:1", "end"));
    EXPECT_FALSE(testsupport::fileExists(output));
}

// The printing box: the visible dialog of this thread with a page line.
HWND printingBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            if (IsWindowVisible(hwnd) && GetDlgItem(hwnd, AFX_IDC_PRINT_PAGENUM)) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string boxLine(int id) {
    char text[128] = {};
    GetDlgItemTextA(printingBox(), id, text, sizeof text);
    return text;
}

std::string pageLineAtPage2;
bool frameDisabledWhilePrinting = false;

TEST_F(PrintLoop, CancelInThePrintingBoxStopsTheJobAfterThePageUnderWay) {
    TestView::jobPages = 5;
    pageLineAtPage2.clear();
    TestView::afterPage = [](UINT page) {
        if (page != 2)
            return;
        pageLineAtPage2 = boxLine(AFX_IDC_PRINT_PAGENUM);
        frameDisabledWhilePrinting = !IsWindowEnabled(GetWindow(printingBox(), GW_OWNER));
        SendMessageA(printingBox(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    command(ID_FILE_PRINT_DIRECT);
    EXPECT_THAT(handlerLog, ElementsAre("prepare:direct", "begin:1", "print:1", "print:2", "end"));
    EXPECT_EQ(pageLineAtPage2, "\xB2\xC4 2 \xAD\xB6"); // 第 2 頁
    EXPECT_TRUE(frameDisabledWhilePrinting);
    EXPECT_EQ(printingBox(), nullptr) << "the box is gone with the job";
    EXPECT_TRUE(frame->IsWindowEnabled());
}

// A click reaches the box through the queue, which the job empties only now
// and then: it still ends the job long before its last page. So does a quit
// (the session ends, say), which is left in the queue for the main loop.
TEST_F(PrintLoop, ACancelClickOrAQuitQueuedDuringTheJobEndsItBeforeTheLastPage) {
    constexpr unsigned kPages = 200;
    for (bool quit : {false, true}) {
        handlerLog.clear();
        TestView::jobPages = kPages;
        TestView::afterPage = quit ? [](UINT page) {
            if (page == 2)
                PostQuitMessage(7);
            Sleep(10);
        } : [](UINT page) {
            if (page == 2)
                PostMessageA(GetDlgItem(printingBox(), IDCANCEL), BM_CLICK, 0, 0);
            Sleep(10);
        };
        command(ID_FILE_PRINT_DIRECT);
        ASSERT_FALSE(handlerLog.empty());
        EXPECT_EQ(handlerLog.back(), "end");
        EXPECT_LT(handlerLog.size(), kPages / 2) << "ended while the job ran, quit " << quit;
        EXPECT_EQ(printingBox(), nullptr);
        EXPECT_TRUE(frame->IsWindowEnabled());
        MSG msg{};
        EXPECT_EQ(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, quit);
        EXPECT_EQ(msg.wParam, quit ? 7u : 0u) << "the quit's exit code";
    }
}

TEST(PrintInfo, PageRangeIsAllPagesUnlessTheDialogChoseNumbers) {
    CPrintInfo info;
    info.SetMaxPage(32);
    EXPECT_EQ(info.GetFromPage(), 1u);
    EXPECT_EQ(info.GetToPage(), 32u);
    info.m_pd.Flags |= PD_PAGENUMS;
    info.m_pd.nFromPage = 2;
    info.m_pd.nToPage = 5;
    EXPECT_EQ(info.GetFromPage(), 2u);
    EXPECT_EQ(info.GetToPage(), 5u);
    // Kept in 16 bits, as the print dialog keeps it.
    info.SetMaxPage(70000);
    EXPECT_EQ(info.GetMaxPage(), 70000u & 0xFFFFu);
}

} // namespace
} // namespace fwtest
