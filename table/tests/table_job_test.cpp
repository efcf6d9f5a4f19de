// A table page is the Windows program's page: the drawing calls that reach the
// PDF surface are those the view's renderer makes for the same page.
#include "table/job/table_job.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "eudc/app_state.h"
#include "eudc/code_space.h"
#include "print/tests/recording_surface.h"
#include "print/tests/sample_page_texts.h"
#include "table/text/big5_text.h"
#include "table/fonts/font_files.h"

namespace kestra {
namespace testing {

bool operator==(const DrawnText& a, const DrawnText& b) {
    return std::tie(a.x, a.y, a.text, a.face, a.height) ==
           std::tie(b.x, b.y, b.text, b.face, b.height);
}
bool operator==(const DrawnBox& a, const DrawnBox& b) {
    return std::tie(a.left, a.top, a.right, a.bottom, a.hollow, a.penWidth) ==
           std::tie(b.left, b.top, b.right, b.bottom, b.hollow, b.penWidth);
}
bool operator==(const DrawnLine& a, const DrawnLine& b) {
    return std::tie(a.fromX, a.fromY, a.toX, a.toY, a.penWidth) ==
           std::tie(b.fromX, b.fromY, b.toX, b.toY, b.penWidth);
}

} // namespace testing

namespace {

using testing::RecordingSurface;

constexpr char kFontName[] = "EUDC.TTE";
constexpr char kFontPath[] = "/srv/fonts/EUDC.TTE";

class TableJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(appState.phoneticRoots, 0, sizeof appState.phoneticRoots);
        std::memset(appState.cangjieRoots, 0, sizeof appState.cangjieRoots);
        copyBounded(appState.phoneticRoots[0][0], "\xA3\x74\xA3\x75\xA3\x76\xA3\x77");
        copyBounded(appState.cangjieRoots[1], "\xA4\xE9\xA4\xEB");
    }

    // The page as the Windows view draws it, from the same appState.
    static void drawAsTheView(RecordingSurface& surface, PageSize printable, int32_t page) {
        PageRenderer renderer(surface, computePageLayout(printable, appState), printable,
                              testing::kSamplePageTexts);
        renderer.printPage(page);
    }

    static void expectSamePage(const TableChoices& options, int32_t page) {
        applyTableChoices(options, kFontName, kFontPath);
        const PaperGeometry paper = paperGeometry(options.paper, options.landscape);
        const TableJob job(paper.printable);
        RecordingSurface table;
        RecordingSurface view;
        job.drawPage(table, page);
        drawAsTheView(view, paper.printable, page);
        ASSERT_FALSE(table.texts.empty());
        EXPECT_EQ(table.texts, view.texts) << "page " << page;
        EXPECT_EQ(table.boxes, view.boxes) << "page " << page;
        EXPECT_EQ(table.lines, view.lines) << "page " << page;
        EXPECT_TRUE(table.faults().empty());
    }
};

TEST_F(TableJobTest, PagesDrawTheCallsOfTheWindowsRenderer) {
    TableChoices all;
    expectSamePage(all, 1);
    expectSamePage(all, 32);

    TableChoices annotated;
    annotated.dictionaries = {{kCangjieLayoutId, "c"}, {kPhoneticLayoutId, "p"}};
    annotated.paper = Paper::A3;
    annotated.landscape = true;
    expectSamePage(annotated, 1);

    TableChoices range;
    range.printAll = false;
    range.rangeStart = 0x8DF0;
    range.rangeEnd = 0x8E50;
    expectSamePage(range, 1);
}

TEST_F(TableJobTest, OptionsBecomeTheWindowsProgramsSettings) {
    TableChoices options;
    options.printAll = false;
    options.rangeStart = 0x8DFE;
    options.rangeEnd = 0x8E41;
    options.dictionaries = {{kPhoneticLayoutId, "p.dat"}, {kCangjieLayoutId, "c.dat"}};
    options.codeForm = CodeForm::Big5;
    applyTableChoices(options, kFontName, kFontPath);
    EXPECT_STREQ(appState.fontFace, kFontName);
    EXPECT_STREQ(appState.eudcFilePath, kFontPath);
    EXPECT_EQ(appState.printAll, 0);
    EXPECT_EQ(appState.printStartIndex, codeToCodeOrderIndex(0x8DFE));
    EXPECT_EQ(appState.printCount, 3);
    EXPECT_EQ(appState.platform, 1) << "Big5 dictionaries are read as Windows 95 wrote them";
    ASSERT_EQ(appState.annotatableImeCount, 2);
    EXPECT_EQ(appState.imeTable[0].layoutId, kPhoneticLayoutId);
    EXPECT_EQ(appState.imeTable[1].layoutId, kCangjieLayoutId);
    EXPECT_EQ(appState.annotate[0] + appState.annotate[1], 2);

    const PageLayout layout = TableJob(paperGeometry(Paper::A4, false).printable).layout();
    EXPECT_EQ(layout.columnWidth, 1588);
    EXPECT_EQ(layout.pageCount, 1);
}

TEST_F(TableJobTest, PaperIsThePrintableAreaWithinFiveMillimetreMargins) {
    EXPECT_EQ(paperGeometry(Paper::A4, false).printable.cx, 2000);
    EXPECT_EQ(paperGeometry(Paper::A4, false).printable.cy, 2870);
    EXPECT_EQ(paperGeometry(Paper::A4, true).printable.cx, 2870);
    EXPECT_EQ(paperGeometry(Paper::Letter, false).printable.cx, 2059);
    EXPECT_EQ(paperGeometry(Paper::A5, false).printable.cy, 2000);

    TableChoices both;
    both.dictionaries = {{kPhoneticLayoutId, "p"}, {kCangjieLayoutId, "c"}};
    applyTableChoices(both, kFontName, kFontPath);
    EXPECT_EQ(TableJob(paperGeometry(Paper::A4, false).printable).layout().pageCount, 223);
    EXPECT_EQ(TableJob(paperGeometry(Paper::A4, true).printable).layout().pageCount, 346);
    EXPECT_FALSE(TableJob(paperGeometry(Paper::A5, false).printable).layout().fitsOnPage());
}

TEST_F(TableJobTest, AHeaderTooWideIsShortenedInItsPathsMiddle) {
    std::string deep = "/srv";
    std::string korean = "/srv/";
    for (int i = 0; i < 60; ++i) {
        deep += "/\xE5\xAD\x97";  // /字
        korean += "\xED\x95\x9C"; // 한, which code page 950 lacks
    }
    const std::string start = "\xA6\x72\xAB\xAC\xA1\x47"                 // 字型：
                              "EUDC.TTE        \xA5\x7E\xA6\x72\xC0\xC9" // 外字
                              "\xAE\xD7\xA1\x47/srv/";                   // 檔案：
    const std::pair<std::string, std::string> pathsAndEnds[] = {
        {deep + "/EUDC.TTE", "/EUDC.TTE"},
        {korean + "/K.TTE", kUnicodeEscape + std::string("00D55C/K.TTE")}};
    for (const auto& [path, end] : pathsAndEnds) {
        applyTableChoices(TableChoices{}, kFontName, path);
        RecordingSurface page;
        TableJob(paperGeometry(Paper::A4, false).printable).drawPage(page, 1);
        const std::string header = page.texts.at(0).text;
        EXPECT_LE(page.textWidth(header.data(), static_cast<int>(header.size())), 2000);
        EXPECT_EQ(header.find(start), 0u);
        EXPECT_EQ(header.substr(header.size() - end.size()), end);
        for (size_t at = header.find(kUnicodeEscape); at != std::string::npos;
             at = header.find(kUnicodeEscape, at + 1))
            EXPECT_NE(escapedCharacter(&header[at], static_cast<int>(header.size() - at)), 0u);
    }
    applyTableChoices(TableChoices{}, "Kestra EUDC Square of the Taipei Office", "/f");
    // … is A1 4B, "\xA1K".
    EXPECT_STREQ(appState.fontFace, "Kestra EUDC Sq\xA1Ke Taipei Office") << "fits its field";
}

class DefinedCodesTest : public TableJobTest {
  protected:
    void SetUp() override {
        TableJobTest::SetUp();
        ASSERT_TRUE(font.open(library.get(), KESTRA_TABLE_FONT_DIR "/EUDC.TTE"));
    }
    FreeTypeLibrary library;
    EudcFont font;
};

TEST_F(DefinedCodesTest, OnlyCodesWithAnOutlineArePaginated) {
    applyTableChoices(TableChoices{}, kFontName, kFontPath);
    const std::vector<uint16_t> codes = definedCodesOfRange(font);
    // Every even PUA index and both ends of each range (make_eudc_fonts.py).
    ASSERT_EQ(codes.size(), 3112u);
    EXPECT_EQ(codes[0], 0xFA40);
    EXPECT_EQ(codes[1], 0xFA42);
    EXPECT_EQ(codes.back(), 0xC8FE);
    EXPECT_TRUE(font.definesCode(0xFEFE));
    EXPECT_FALSE(font.definesCode(0xFA41));

    const TableJob job(paperGeometry(Paper::A4, false).printable, &codes);
    EXPECT_EQ(job.layout().pageCount, 16); // 3112 cells, 196 a page
    RecordingSurface last;
    job.drawPage(last, 16);
    std::vector<uint16_t> drawn;
    for (const auto& text : last.texts) {
        if (text.height == kGlyphFontHeight)
            drawn.push_back(static_cast<uint16_t>((static_cast<unsigned char>(text.text[0]) << 8) |
                                                  static_cast<unsigned char>(text.text[1])));
    }
    EXPECT_EQ(drawn, std::vector<uint16_t>(codes.begin() + 15 * 196, codes.end()));
}

TEST_F(DefinedCodesTest, ARangeKeepsItsCodeOrder) {
    TableChoices range;
    range.printAll = false;
    range.rangeStart = 0x8DFC;
    range.rangeEnd = 0x8E43;
    applyTableChoices(range, kFontName, kFontPath);
    // 8DFE ends a range and 8E40 begins one; of the rest, the even PUA indexes.
    std::vector<uint16_t> expected;
    for (uint16_t code : {0x8DFC, 0x8DFD, 0x8DFE, 0x8E40, 0x8E41, 0x8E42, 0x8E43}) {
        const uint16_t index = codeToPuaIndex(code);
        if (index % 2 == 0 || code == 0x8DFE || code == 0x8E40)
            expected.push_back(code);
    }
    EXPECT_EQ(definedCodesOfRange(font), expected);
}

TEST(EudcFontFile, FilesThatAreNoEudcFontSayWhy) {
    FreeTypeLibrary library;
    EudcFont font;
    EXPECT_FALSE(font.open(library.get(), KESTRA_TABLE_FONT_DIR "/missing.TTE"));
    EXPECT_EQ(font.problem(), FontProblem::Unreadable);
    EXPECT_EQ(font.reason(), "No such file or directory");
    EXPECT_FALSE(font.open(library.get(), KESTRA_TABLE_FONT_DIR));
    EXPECT_EQ(font.problem(), FontProblem::Unreadable) << "a folder";
    EXPECT_FALSE(font.open(library.get(), KESTRA_SOURCE_DIR "/README.md"));
    EXPECT_EQ(font.problem(), FontProblem::NotAFont);
    EXPECT_FALSE(font.open(library.get(), KESTRA_TABLE_FONT_DIR "/NOPUA.TTF"));
    EXPECT_EQ(font.problem(), FontProblem::NoPuaMapping);
    EXPECT_EQ(font.glyphOfCode(0xFA40), 0u);
}

} // namespace
} // namespace kestra
