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
