#include "print/page_renderer.h"

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "print/tests/recording_surface.h"
#include "print/tests/sample_page_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace kestra {
namespace {

using testing::DrawnText;
using testing::RecordingSurface;

constexpr PageSize kA4{2000, 2870};
const std::string kLabelFace = testing::kLabelFace;
const std::string kStandardLabel = testing::kStandardLabel;
const std::string kCodeHeading = testing::kCodeHeading;
const std::string kPhoneticName = "\xAA\x60\xAD\xB5";             // 注音
const std::string kCangjieName = "\xAD\xDC\xBE\x65";              // 倉頡
const std::string kUserFace = "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9"; // 新細明體
const std::string kEudcFile = "C:\\WINDOWS\\FONTS\\EUDC.TTE";

// ㄅㄆㄇㄈ and ㄉㄊㄋㄌ, two Phonetic readings; 日月金木水, a Cangjie element.
const char kReadingA[] = "\xA3\x74\xA3\x75\xA3\x76\xA3\x77";
const char kReadingB[] = "\xA3\x78\xA3\x79\xA3\x7A\xA3\x7B";
const char kCangjieKeys[] = "\xA4\xE9\xA4\xEB\xAA\xF7\xA4\xEC\xA4\xF4";

class PageRendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        appState.printAll = 1;
        appState.printStartIndex = 0;
        appState.printCount = kEudcCodeCount;
        appState.annotatableImeCount = 0;
        std::fill(std::begin(appState.annotate), std::end(appState.annotate), 0);
        std::memset(appState.phoneticRoots, 0, sizeof appState.phoneticRoots);
        std::memset(appState.cangjieRoots, 0, sizeof appState.cangjieRoots);
        copyBounded(appState.fontFace, kUserFace.c_str());
        copyBounded(appState.eudcFilePath, kEudcFile.c_str());
    }

    void addIme(uint32_t layoutId, const char* layoutText = "") {
        ImeRecord& ime = appState.imeTable[appState.annotatableImeCount];
        ime = ImeRecord{};
        ime.layoutId = layoutId;
        copyBounded(ime.layoutText, layoutText);
        appState.annotate[appState.annotatableImeCount++] = 1;
    }

    PageLayout layout() const { return computePageLayout(kA4, appState); }

    PageTexts texts() const { return testing::kSamplePageTexts; }

    void render(int32_t page) {
        PageRenderer renderer(surface, layout(), kA4, texts());
        renderer.printPage(page);
    }

    // Texts drawn in the glyph font (64 high): one per cell.
    std::vector<DrawnText> glyphs() const { return textsOfHeight(64); }

    std::vector<DrawnText> textsOfHeight(int32_t height) const {
        std::vector<DrawnText> found;
        for (const DrawnText& t : surface.texts) {
            if (t.height == height)
                found.push_back(t);
        }
        return found;
    }

    std::vector<DrawnText> textsAt(int32_t y) const {
        std::vector<DrawnText> found;
        for (const DrawnText& t : surface.texts) {
            if (t.y == y)
                found.push_back(t);
        }
        return found;
    }

    const DrawnText* textAt(int32_t x, int32_t y) const {
        for (const DrawnText& t : surface.texts) {
            if (t.x == x && t.y == y)
                return &t;
        }
        return nullptr;
    }

    static std::string codeBytes(uint16_t code) {
        return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    }

    RecordingSurface surface;
};

TEST_F(PageRendererTest, PlainA4GridColumnsAndRows) {
    render(1);
    const std::vector<DrawnText> cells = glyphs();
    ASSERT_EQ(cells.size(), 196u);

    std::set<int32_t> xs, ys;
    for (const DrawnText& g : cells) {
        xs.insert(g.x);
        ys.insert(g.y);
    }
    EXPECT_EQ(xs, (std::set<int32_t>{182, 430, 678, 926, 1174, 1422, 1670}));
    ASSERT_EQ(ys.size(), 28u);
    EXPECT_EQ(*ys.rbegin(), -300);
    EXPECT_EQ(*ys.begin(), -2568);
    EXPECT_EQ(ys.count(-384), 1u);
    EXPECT_EQ(ys.count(-468), 1u);
}

TEST_F(PageRendererTest, CellsFillRowsLeftToRightInPuaOrder) {
    render(1);
    const std::vector<DrawnText> cells = glyphs();
    ASSERT_EQ(cells.size(), 196u);
    EXPECT_EQ(cells[0].text, "\xFA\x40");
    EXPECT_EQ(cells[0].x, 182);
    EXPECT_EQ(cells[0].y, -300);
    EXPECT_EQ(cells[6].x, 1670);
    EXPECT_EQ(cells[7].x, 182);
    EXPECT_EQ(cells[7].y, -384);
    for (size_t i = 0; i < cells.size(); ++i)
        EXPECT_EQ(cells[i].text, codeBytes(puaIndexToCode(static_cast<uint16_t>(i)))) << i;
}

TEST_F(PageRendererTest, CellHasBoxCodeAndGlyphInPlace) {
    render(1);
    ASSERT_EQ(surface.boxes.size(), 196u);
    const auto& box = surface.boxes[0];
    EXPECT_EQ(box.left, 181);
    EXPECT_EQ(box.top, -299);
    EXPECT_EQ(box.right, 248);
    EXPECT_EQ(box.bottom, -366);
    EXPECT_TRUE(box.hollow);
    EXPECT_EQ(box.penWidth, 1) << "cells keep the device context's own pen";

    const DrawnText* code = textAt(266, -316);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->text, "FA40");
    EXPECT_EQ(code->height, 32);
    EXPECT_EQ(code->face, kLabelFace);
}

TEST_F(PageRendererTest, SecondPageStartsAtCell196) {
    render(2);
    const std::vector<DrawnText> cells = glyphs();
    ASSERT_EQ(cells.size(), 196u);
    EXPECT_EQ(cells[0].text, codeBytes(puaIndexToCode(196)));
    EXPECT_EQ(cells[195].text, codeBytes(puaIndexToCode(391)));
}

TEST_F(PageRendererTest, CodeRangeFollowsCodeOrderFromItsStart) {
    appState.printAll = 0;
    appState.printStartIndex = codeToCodeOrderIndex(0x8DFE);
    appState.printCount = 3;
    render(1);
    const std::vector<DrawnText> cells = glyphs();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].text, "\x8D\xFE");
    EXPECT_EQ(cells[1].text, "\x8E\x40");
    EXPECT_EQ(cells[2].text, "\x8E\x41");
    EXPECT_NE(textAt(430 + 84, -316), nullptr);
    EXPECT_EQ(textAt(430 + 84, -316)->text, "8E40");
}

TEST_F(PageRendererTest, ChosenCodesFillTheCellsInsteadOfTheRange) {
    std::vector<uint16_t> codes;
    for (uint16_t i = 0; i < 200; ++i)
        codes.push_back(puaIndexToCode(static_cast<uint16_t>(2 * i)));
    PageRenderer renderer(surface, computePageLayout(kA4, 148, 200), kA4, texts());
    renderer.useCellCodes({codes.data(), 200});
    renderer.printPage(2);
    const std::vector<DrawnText> cells = glyphs();
    ASSERT_EQ(cells.size(), 4u) << "cells 196 to 199 of the chosen codes, not of the range";
    EXPECT_EQ(cells[0].text, codeBytes(codes[196]));
    EXPECT_EQ(cells[3].text, codeBytes(codes[199]));
}

TEST_F(PageRendererTest, HeaderIsCentredAtTheTop) {
    render(1);
    const std::vector<DrawnText> header = textsAt(-100);
    ASSERT_EQ(header.size(), 1u);
    const std::string expected = "\xA6\x72\xAB\xAC\xA1\x47" + kUserFace + "        " +
                                 "\xA5\x7E\xA6\x72\xC0\xC9\xAE\xD7\xA1\x47" + kEudcFile;
    EXPECT_EQ(header[0].text, expected);
    EXPECT_EQ(header[0].x, (2000 - static_cast<int32_t>(expected.size()) * 16) / 2);
    EXPECT_EQ(header[0].face, kLabelFace);
}

TEST_F(PageRendererTest, LongestHeaderIsDrawnWhole) {
    copyBounded(appState.fontFace, std::string(31, 'F').c_str());
    copyBounded(appState.eudcFilePath, std::string(255, 'P').c_str());
    render(1);
    const std::vector<DrawnText> header = textsAt(-100);
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].text.size(), 310u);
    EXPECT_EQ(header[0].text.substr(header[0].text.size() - 255), std::string(255, 'P'));
    // Wider than the page: the centring goes negative, truncating toward zero.
    EXPECT_EQ(header[0].x, (2000 - 310 * 16) / 2);
}

TEST_F(PageRendererTest, FooterNamesThePageAtTheFoot) {
    render(12);
    const std::vector<DrawnText> footer = textsAt(-2770);
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_EQ(footer[0].text, "\xB2\xC4 12 \xAD\xB6");
    EXPECT_EQ(footer[0].x, (2000 - 8 * 16) / 2);
    EXPECT_EQ(footer[0].face, kLabelFace);
}

TEST_F(PageRendererTest, EveryColumnHasCodeHeadingAndThickRule) {
    render(1);
    const std::vector<DrawnText> headings = textsAt(-230);
    ASSERT_EQ(headings.size(), 7u);
    ASSERT_EQ(surface.lines.size(), 7u);
    const int32_t columnXs[] = {182, 430, 678, 926, 1174, 1422, 1670};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(headings[c].x, columnXs[c] + 84);
        EXPECT_EQ(headings[c].text, kCodeHeading);
        EXPECT_EQ(surface.lines[c].fromX, columnXs[c]);
        EXPECT_EQ(surface.lines[c].toX, columnXs[c] + 148);
        EXPECT_EQ(surface.lines[c].fromY, -272);
        EXPECT_EQ(surface.lines[c].toY, -272);
        EXPECT_EQ(surface.lines[c].penWidth, 3);
    }
}

TEST_F(PageRendererTest, PhoneticFieldFollowsTheCode) {
    addIme(kPhoneticLayoutId);
    copyBounded(appState.phoneticRoots[0][0], kReadingA);
    render(1);
    EXPECT_EQ(layout().columns, 1);
    ASSERT_NE(textAt(380, -230), nullptr);
    EXPECT_EQ(textAt(380, -230)->text, kCodeHeading);
    ASSERT_NE(textAt(464, -230), nullptr);
    EXPECT_EQ(textAt(464, -230)->text, kPhoneticName);
    ASSERT_NE(textAt(380, -316), nullptr);
    EXPECT_EQ(textAt(380, -316)->text, "FA40");
    ASSERT_NE(textAt(464, -316), nullptr);
    EXPECT_EQ(textAt(464, -316)->text, kReadingA);
    EXPECT_EQ(textAt(464, -316)->face, kLabelFace);
}

TEST_F(PageRendererTest, SeveralPhoneticReadingsAreDrawnAsOneText) {
    addIme(kPhoneticLayoutId);
    copyBounded(appState.phoneticRoots[0][0], kReadingA);
    copyBounded(appState.phoneticRoots[0][1], kReadingB);
    render(1);
    ASSERT_NE(textAt(464, -316), nullptr);
    EXPECT_EQ(textAt(464, -316)->text, std::string(kReadingA) + "\xA1\x40" + kReadingB);
}

TEST_F(PageRendererTest, CangjieFieldAfterPhoneticStartsAt1348) {
    addIme(kPhoneticLayoutId);
    addIme(kCangjieLayoutId);
    copyBounded(appState.phoneticRoots[0][0], kReadingA);
    copyBounded(appState.cangjieRoots[0], kCangjieKeys);
    render(1);
    const int32_t x = 206; // (2000 - 1588) / 2
    ASSERT_NE(textAt(x + 168, -230), nullptr);
    EXPECT_EQ(textAt(x + 168, -230)->text, kPhoneticName);
    ASSERT_NE(textAt(x + 1348, -230), nullptr);
    EXPECT_EQ(textAt(x + 1348, -230)->text, kCangjieName);
    ASSERT_NE(textAt(x + 1348, -316), nullptr);
    EXPECT_EQ(textAt(x + 1348, -316)->text, kCangjieKeys);
    EXPECT_EQ(surface.lines.at(0).toX, x + 1588);
}

TEST_F(PageRendererTest, PhoneticFieldAfterCangjieStartsAt348) {
    addIme(kCangjieLayoutId);
    addIme(kPhoneticLayoutId);
    copyBounded(appState.phoneticRoots[0][0], kReadingA);
    copyBounded(appState.cangjieRoots[0], kCangjieKeys);
    render(1);
    const int32_t x = 206;
    EXPECT_EQ(textAt(x + 168, -230)->text, kCangjieName);
    EXPECT_EQ(textAt(x + 348, -230)->text, kPhoneticName);
    ASSERT_NE(textAt(x + 168, -316), nullptr);
    EXPECT_EQ(textAt(x + 168, -316)->text, kCangjieKeys);
    ASSERT_NE(textAt(x + 348, -316), nullptr);
    EXPECT_EQ(textAt(x + 348, -316)->text, kReadingA);
}

TEST_F(PageRendererTest, FieldWithoutRadicalsStaysBlankAndNextKeepsItsPlace) {
    addIme(kPhoneticLayoutId);
    addIme(kCangjieLayoutId);
    copyBounded(appState.cangjieRoots[0], kCangjieKeys);
    std::memset(appState.annotationText, 'X', sizeof appState.annotationText - 1);
    render(1);
    const int32_t x = 206;
    EXPECT_EQ(textAt(x + 168, -316), nullptr);
    ASSERT_NE(textAt(x + 1348, -316), nullptr);
    EXPECT_EQ(textAt(x + 1348, -316)->text, kCangjieKeys);
    // The second cell has radicals for neither input method: only glyph and code.
    EXPECT_EQ(textsAt(-400).size(), 1u);
}

TEST_F(PageRendererTest, UntickedInputMethodTakesNoField) {
    addIme(kPhoneticLayoutId);
    addIme(kCangjieLayoutId);
    appState.annotate[0] = 0;
    copyBounded(appState.phoneticRoots[0][0], kReadingA);
    copyBounded(appState.cangjieRoots[0], kCangjieKeys);
    render(1);
    const std::vector<DrawnText> headings = textsAt(-230);
    ASSERT_EQ(headings.size(), 4u * 2); // four Cangjie columns, code and Cangjie each
    EXPECT_EQ(headings[1].text, kCangjieName);
    const int32_t x = (2000 - (4 * 328 + 3 * 100)) / 2;
    EXPECT_EQ(headings[1].x, x + 168);
    EXPECT_EQ(textAt(x + 168, -316)->text, kCangjieKeys);
}

TEST_F(PageRendererTest, HeadingsComeFromTheKnownTableOrTheLayoutText) {
    addIme(0xE0050404, "ignored");
    addIme(0xE0060404, "ignored");
    addIme(0xE0080404, "ignored");
    addIme(0xE00F0404, "My IME");
    render(1);
    const std::vector<DrawnText> headings = textsAt(-230);
    ASSERT_GE(headings.size(), 5u);
    EXPECT_EQ(headings[1].text, "\xA6\xE6\xA6\x43");         // 行列
    EXPECT_EQ(headings[2].text, "\xA4\x6A\xA9\xF6");         // 大易
    EXPECT_EQ(headings[3].text, "\xB7\x73\xAA\x60\xAD\xB5"); // 新注音
    EXPECT_EQ(headings[4].text, "My IME");
    EXPECT_EQ(headings[4].x - headings[1].x, 3 * 180);
}

TEST_F(PageRendererTest, LastPageEndsAfterTheLastCellButKeepsItsFurniture) {
    appState.printCount = 200;
    render(2);
    EXPECT_EQ(glyphs().size(), 4u);
    EXPECT_EQ(surface.boxes.size(), 4u);
    EXPECT_EQ(textsAt(-100).size(), 1u);
    EXPECT_EQ(textsAt(-230).size(), 7u);
    EXPECT_EQ(surface.lines.size(), 7u);
    EXPECT_EQ(textsAt(-2770).size(), 1u);
}

TEST_F(PageRendererTest, PagePastTheLastHasOnlyItsFurniture) {
    appState.printCount = 200;
    render(5);
    EXPECT_TRUE(glyphs().empty());
    EXPECT_TRUE(surface.boxes.empty());
    EXPECT_EQ(textsAt(-100).size(), 1u);
    EXPECT_EQ(surface.lines.size(), 7u);
    EXPECT_EQ(textsAt(-2770).size(), 1u);
}

TEST_F(PageRendererTest, PageNumbersOutsideTheJobDrawNoCells) {
    render(0);
    EXPECT_TRUE(glyphs().empty());
    render(65535);
    render(0x7FFFFFFF);
    EXPECT_TRUE(glyphs().empty());
    EXPECT_EQ(textsAt(-100).size(), 3u);
}

TEST_F(PageRendererTest, RangeRunningPastTheCodeSpaceStopsAtItsEnd) {
    appState.printAll = 0;
    appState.printStartIndex = kEudcCodeCount - 2;
    appState.printCount = 10; // inconsistent: only two codes remain
    render(1);
    const std::vector<DrawnText> cells = glyphs();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1].text, "\xFE\xFE");
}

TEST_F(PageRendererTest, StandardEudcEntryDrawsGlyphsInTheLabelFace) {
    copyBounded(appState.fontFace, kStandardLabel.c_str());
    render(1);
    ASSERT_FALSE(glyphs().empty());
    EXPECT_EQ(glyphs()[0].face, kLabelFace);
    EXPECT_EQ(surface.fontFacesCreated, (std::vector<std::string>{kLabelFace, kLabelFace}));
    EXPECT_EQ(surface.fontHeightsCreated, (std::vector<int32_t>{32, 64}));
}

TEST_F(PageRendererTest, OtherFaceDrawsOnlyTheGlyphs) {
    render(1);
    EXPECT_EQ(glyphs()[0].face, kUserFace);
    for (const DrawnText& t : textsOfHeight(32))
        EXPECT_EQ(t.face, kLabelFace) << t.text;
    EXPECT_EQ(textsOfHeight(32).size() + glyphs().size(), surface.texts.size());
}

TEST_F(PageRendererTest, StandardLabelMatchesWithAsciiCaseFolded) {
    const std::string asciiLabel = "Standard EUDC";
    copyBounded(appState.fontFace, "STANDARD eudc");
    PageTexts t = texts();
    t.standardEudcLabel = asciiLabel.c_str();
    PageRenderer(surface, layout(), kA4, t).printPage(1);
    EXPECT_EQ(glyphs().at(0).face, kLabelFace);
}

TEST_F(PageRendererTest, PageReleasesEverythingItMade) {
    addIme(kPhoneticLayoutId);
    render(1);
    EXPECT_EQ(surface.createdCount(), 3); // two fonts and the rule pen
    EXPECT_EQ(surface.liveCount(), 0);
    EXPECT_TRUE(surface.selectionsAsFound());
    EXPECT_TRUE(surface.faults().empty()) << surface.faults().front();
}

TEST_F(PageRendererTest, FailedCreationsNeitherLeakNorLoseTheOriginals) {
    surface.failFontCreation();
    surface.failPenCreation();
    render(1);
    EXPECT_EQ(glyphs().size(), 0u);             // nothing was drawn in a 64 font
    EXPECT_EQ(textsAt(-2770).size(), 1u);       // the page still runs to its end
    EXPECT_EQ(surface.lines.at(0).penWidth, 1); // with the pen it found
    EXPECT_TRUE(surface.selectionsAsFound());
    EXPECT_TRUE(surface.faults().empty()) << surface.faults().front();
}

TEST_F(PageRendererTest, ManyPagesKeepTheSurfaceBalanced) {
    for (int32_t page = 1; page <= 32; ++page)
        render(page);
    EXPECT_EQ(glyphs().size(), 6217u);
    EXPECT_EQ(surface.createdCount(), 32 * 3);
    EXPECT_EQ(surface.liveCount(), 0);
    EXPECT_TRUE(surface.selectionsAsFound());
    EXPECT_TRUE(surface.faults().empty());
}

} // namespace
} // namespace kestra
