#include <gtest/gtest.h>

#include "fw/dc.h"
#include "fw/gdi_object.h"
#include "fw/tests/test_classes.h"
#include "fw/tests/wine_test_support.h"

namespace fwtest {
namespace {

TEST(GdiObjects, FontsAndPensAreReleasedEvenWhenLeftSelectedNowhere) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(memory, nullptr);
    const DWORD before = testsupport::gdiObjectCount();
    for (int i = 0; i < 100; ++i) {
        CDC dc;
        dc.SetOutputDC(memory);
        dc.SetAttribDC(memory);
        CFont font;
        ASSERT_TRUE(font.CreateFont(32, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    CHINESEBIG5_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                                    DRAFT_QUALITY, FIXED_PITCH | FF_MODERN,
                                    "\xB2\xD3\xA9\xFA\xC5\xE9")); // 細明體
        CPen pen;
        ASSERT_TRUE(pen.CreatePen(PS_SOLID, 3, RGB(0, 0, 0)));
        HGDIOBJ keptFont = dc.SelectObject(&font);
        HGDIOBJ keptPen = dc.SelectObject(&pen);
        dc.TextOut(0, 0, "FA40");
        dc.SelectObject(keptPen);
        dc.SelectObject(keptFont);
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    EXPECT_EQ(testsupport::gdiObjectCount(), before);
    DeleteDC(memory);
}

TEST(GdiObjects, DeleteObjectEmptiesTheOwner) {
    CPen pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_EQ(pen.GetSafeHandle(), nullptr);
    EXPECT_FALSE(pen.DeleteObject());
}

TEST(DeviceContext, AttributeDcAnswersWhileOutputGoesToTheMetafile) {
    testApp();
    HDC printer =
        testApp().Printer().EnsurePrinter() ? testApp().Printer().CreatePrinterDC() : nullptr;
    ASSERT_NE(printer, nullptr) << "the test bed has a default printer";
    HDC metafile = CreateEnhMetaFileA(printer, nullptr, nullptr, nullptr);
    ASSERT_NE(metafile, nullptr);
    {
        CDC dc;
        dc.SetOutputDC(metafile);
        dc.SetAttribDC(printer);
        dc.SetPrinting(TRUE);
        EXPECT_TRUE(dc.IsPrinting());
        EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), ::GetDeviceCaps(printer, HORZSIZE));
        EXPECT_EQ(dc.GetDeviceCaps(VERTSIZE), ::GetDeviceCaps(printer, VERTSIZE));
        dc.SetMapMode(MM_LOMETRIC);
        EXPECT_EQ(::GetMapMode(metafile), MM_LOMETRIC);
        EXPECT_EQ(::GetMapMode(printer), MM_LOMETRIC);
        EXPECT_TRUE(dc.TextOut(10, -10, "A"));
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    HENHMETAFILE recorded = CloseEnhMetaFile(metafile);
    ASSERT_NE(recorded, nullptr);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(recorded, sizeof header, &header);
    EXPECT_GT(header.nRecords, 3u) << "the text went into the metafile";
    DeleteEnhMetaFile(recorded);
    DeleteDC(printer);
}

} // namespace
} // namespace fwtest
