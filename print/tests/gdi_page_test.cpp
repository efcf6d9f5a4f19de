// The page renderer on real GDI: pages recorded into enhanced metafiles whose
// reference is a memory DC in page units, then read back record by record.
#include "print/gdi_surface.h"
#include "print/page_renderer.h"
#include "print/tests/sample_page_texts.h"

#include "eudc/app_state.h"
#include "eudc/code_space.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestra {
namespace {

constexpr PageSize kA4{2000, 2870};

std::wstring puaCodeText(uint16_t puaIndex) {
    wchar_t text[8];
    swprintf(text, 8, L"%4X", static_cast<unsigned>(puaIndexToCode(puaIndex)));
    return text;
}

// Remembers the objects it creates, so a test can ask GDI whether they still exist.
class TrackingSurface : public GdiSurface {
  public:
    using GdiSurface::GdiSurface;
    SurfaceObject createFont(int32_t height, const char* face) override {
        return keep(GdiSurface::createFont(height, face));
    }
    SurfaceObject createRulePen() override { return keep(GdiSurface::createRulePen()); }
    std::vector<HGDIOBJ> created;

  private:
    SurfaceObject keep(SurfaceObject object) {
        created.push_back(static_cast<HGDIOBJ>(object));
        return object;
    }
};

struct RecordedText {
    int x;
    int y;
    std::wstring text;
};

struct PageRecord {
    std::vector<RecordedText> texts;
    int rectangles = 0;
    int lines = 0;
    std::vector<LONG> fontHeights;
};

std::wstring textOfRecord(const ENHMETARECORD* record) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* bytes = reinterpret_cast<const BYTE*>(record) + text->emrtext.offString;
    if (record->iType == EMR_EXTTEXTOUTW)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes), text->emrtext.nChars);
    std::string narrow(reinterpret_cast<const char*>(bytes), text->emrtext.nChars);
    wchar_t wide[512];
    const int n =
        MultiByteToWideChar(950, 0, narrow.data(), static_cast<int>(narrow.size()), wide, 512);
    return std::wstring(wide, n > 0 ? n : 0);
}

int CALLBACK collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    auto* page = reinterpret_cast<PageRecord*>(data);
    switch (record->iType) {
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        page->texts.push_back(
            {text->emrtext.ptlReference.x, text->emrtext.ptlReference.y, textOfRecord(record)});
        break;
    }
    case EMR_RECTANGLE:
        ++page->rectangles;
        break;
    case EMR_LINETO:
        ++page->lines;
        break;
    case EMR_EXTCREATEFONTINDIRECTW:
        page->fontHeights.push_back(
            reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)->elfw.elfLogFont.lfHeight);
        break;
    default:
        break;
    }
    return 1;
}

class GdiPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reference_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(reference_, nullptr);
        SetMapMode(reference_, MM_LOMETRIC);
        appState.printAll = 1;
        appState.printStartIndex = 0;
        appState.printCount = kEudcCodeCount;
        appState.annotatableImeCount = 0;
        copyBounded(appState.fontFace, "AR PL UMing TW");
        copyBounded(appState.eudcFilePath, "C:\\WINDOWS\\FONTS\\EUDC.TTE");
    }
    void TearDown() override { DeleteDC(reference_); }

    // Draws page `page` into a metafile and hands back the metafile.
    HENHMETAFILE drawPage(int32_t page) {
        HDC metafile = CreateEnhMetaFileA(reference_, nullptr, nullptr, nullptr);
        if (metafile == nullptr)
            return nullptr;
        SetMapMode(metafile, MM_LOMETRIC);
        TrackingSurface surface(metafile, reference_);
        const PageTexts& texts = testing::kSamplePageTexts;
        PageRenderer(surface, computePageLayout(kA4, appState), kA4, texts).printPage(page);
        created_.insert(created_.end(), surface.created.begin(), surface.created.end());
        return CloseEnhMetaFile(metafile);
    }

    PageRecord readPage(int32_t page) {
        PageRecord record;
        HENHMETAFILE metafile = drawPage(page);
        EXPECT_NE(metafile, nullptr);
        if (metafile != nullptr) {
            EnumEnhMetaFile(nullptr, metafile, collect, &record, nullptr);
            DeleteEnhMetaFile(metafile);
        }
        return record;
    }

    static const RecordedText* find(const PageRecord& page, const std::wstring& text) {
        for (const RecordedText& t : page.texts) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }

    HDC reference_ = nullptr;
    std::vector<HGDIOBJ> created_;
};

TEST_F(GdiPageTest, FirstPageCarriesEveryCellAndItsFurniture) {
    const PageRecord page = readPage(1);
    EXPECT_EQ(page.rectangles, 196);
    EXPECT_EQ(page.lines, 7);
    // Per cell a glyph and a code, plus header, 7 headings and footer.
    EXPECT_EQ(page.texts.size(), 196u * 2 + 1 + 7 + 1);

    const RecordedText* first = find(page, L"FA40");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x, 182 + 84);
    EXPECT_EQ(first->y, -316);
    const RecordedText* last = find(page, puaCodeText(195));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->x, 1670 + 84);
    EXPECT_EQ(last->y, -2568 - 16);

    const RecordedText* glyph = find(page, std::wstring(1, wchar_t(0xE000))); // FA40
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->x, 182);
    EXPECT_EQ(glyph->y, -300);

    const RecordedText* footer = find(page, L"\x7B2C 1 \x9801"); // 第 1 頁
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->y, -2770);
    EXPECT_GT(footer->x, 900);
    EXPECT_LT(footer->x, 1000);
}

TEST_F(GdiPageTest, FontsAreMadeInPageUnits) {
    const PageRecord page = readPage(1);
    ASSERT_EQ(page.fontHeights.size(), 2u);
    EXPECT_EQ(page.fontHeights[0], 32);
    EXPECT_EQ(page.fontHeights[1], 64);
}

TEST_F(GdiPageTest, LastPageHoldsTheRemainingCells) {
    const PageRecord page = readPage(32); // 6217 - 31 * 196 = 141 cells
    EXPECT_EQ(page.rectangles, 141);
    EXPECT_NE(find(page, L"\x7B2C 32 \x9801"), nullptr);
}

TEST_F(GdiPageTest, HundredPagesLeaveNoGdiObjectBehind) {
    HENHMETAFILE warmUp = drawPage(1);
    DeleteEnhMetaFile(warmUp);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int32_t page = 1; page <= 100; ++page) {
        HENHMETAFILE metafile = drawPage((page - 1) % 32 + 1);
        ASSERT_NE(metafile, nullptr);
        DeleteEnhMetaFile(metafile);
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    ASSERT_EQ(created_.size(), 101u * 3);
    for (HGDIOBJ object : created_) {
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(GetObjectType(object), 0u) << "still exists";
    }
    // The reference DC got its own objects back.
    EXPECT_EQ(GetCurrentObject(reference_, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(reference_, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(reference_, OBJ_PEN), GetStockObject(BLACK_PEN));
}

} // namespace
} // namespace kestra
