// The parts of a table's PDF that no reader shows whole: the font program cut
// down to the drawn glyphs, the bookmarks and the numbers of the page content.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eudc/app_state.h"
#include "table/font_files.h"
#include "table/pdf_numbers.h"
#include "table/table_job.h"
#include "table/table_outline.h"
#include "table/truetype_subset.h"

namespace kestra {
namespace {

// The glyph's outline as FreeType reads it, unscaled, and its advance.
std::vector<std::pair<long, long>> outlineOf(FT_Face face, FT_UInt glyph) {
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
        return {};
    const FT_Outline& outline = face->glyph->outline;
    std::vector<std::pair<long, long>> points{{face->glyph->advance.x, 0}};
    for (int i = 0; i < outline.n_points; ++i)
        points.emplace_back(outline.points[i].x, outline.points[i].y);
    return points;
}

struct SubsetCase {
    const char* font;
    std::vector<uint32_t> wanted;
    long glyphCount; // in the subset: .notdef, the wanted and their parts
};

TEST(TrueTypeSubset, KeepsTheWantedGlyphsAndTheirPartsUnchanged) {
    const SubsetCase cases[] = {
        {"PARTS.TTE", {3}, 4},     // a composite of glyph 1 and unmapped 4, renumbered
        {"PARTS.TTE", {1}, 2},     // a simple glyph alone
        {"EUDC.TTE", {1, 785}, 3}, // the first and last outlines of a range
        {"EUDC.TTE", {785, 1}, 3}, // in any order
    };
    FreeTypeLibrary library;
    for (const SubsetCase& c : cases) {
        const std::string path = std::string(KESTRA_TABLE_FONT_DIR "/") + c.font;
        FontFile source;
        ASSERT_TRUE(source.file.map(path)) << path;
        source.face = FontFace(openFace(library.get(), source.file, 0));
        TrueTypeSubset subset;
        ASSERT_TRUE(subsetTrueType(source.file.data(), source.file.size(), 0, c.wanted, subset));
        FontFile cut;
        FT_Face subsetFace = nullptr;
        ASSERT_EQ(FT_New_Memory_Face(library.get(), subset.program.data(),
                                     static_cast<FT_Long>(subset.program.size()), 0, &subsetFace),
                  0)
            << c.font;
        cut.face = FontFace(subsetFace);
        EXPECT_EQ(subsetFace->num_glyphs, c.glyphCount) << c.font;
        for (uint32_t glyph : c.wanted) {
            const auto original = outlineOf(source.face.get(), glyph);
            ASSERT_GT(original.size(), 1u) << c.font << " glyph " << glyph;
            EXPECT_EQ(outlineOf(subsetFace, subset.newGlyphOf[glyph]), original)
                << c.font << " glyph " << glyph;
        }
    }
}

TEST(TrueTypeSubset, RefusesWhatIsNoTrueTypeFont) {
    MappedFile text;
    ASSERT_TRUE(text.map(KESTRA_SOURCE_DIR "/README.md"));
    TrueTypeSubset subset;
    EXPECT_FALSE(subsetTrueType(text.data(), text.size(), 0, {1}, subset));
    MappedFile font;
    ASSERT_TRUE(font.map(KESTRA_TABLE_FONT_DIR "/EUDC.TTE"));
    EXPECT_FALSE(subsetTrueType(font.data(), 100, 0, {1}, subset)) << "cut in its directory";
    EXPECT_FALSE(subsetTrueType(font.data(), font.size(), 1, {1}, subset)) << "no second face";
}

struct OutlineCase {
    const char* name;
    TableOptions options;
    std::vector<std::string> titles; // each range, then its first lead byte
    std::vector<int32_t> pages;
    std::vector<size_t> leadBytes;
};

TableOptions rangeOptions(uint16_t start, uint16_t end) {
    TableOptions options;
    options.printAll = false;
    options.rangeStart = start;
    options.rangeEnd = end;
    return options;
}

TEST(TableOutline, OneEntryPerRangeOnThePagesAndOnePerLeadByteBeneath) {
    const OutlineCase cases[] = {
        // PUA order, 196 cells a page: 8E40 is cell 785, 8140 cell 3760, C6A1 cell 5701.
        {"every code",
         TableOptions{},
         {"FA40-FEFE", "FA40-FAFE", "8E40-A0FE", "8E40-8EFE", "8140-8DFE", "8140-81FE", "C6A1-C8FE",
          "C6A1-C6FE"},
         {1, 1, 5, 5, 20, 20, 30, 30},
         {5, 19, 13, 3}},
        {"a range across two",
         rangeOptions(0x8DFC, 0x8E41),
         {"8DFC-8DFE", "8DFC-8DFE", "8E40-8E41", "8E40-8E41"},
         {1, 1, 1, 1},
         {1, 1}},
        {"the last code alone",
         rangeOptions(0xC8FE, 0xC8FE),
         {"C8FE-C8FE", "C8FE-C8FE"},
         {1, 1},
         {1}},
    };
    for (const OutlineCase& c : cases) {
        applyTableOptions(c.options, "f", "f");
        const TableJob job(paperGeometry(Paper::A4, false).printable);
        const std::vector<OutlineEntry> entries =
            tableOutline(job.codes(), job.layout().cellsPerPage);
        std::vector<std::string> titles;
        std::vector<int32_t> pages;
        std::vector<size_t> leadBytes;
        for (const OutlineEntry& range : entries) {
            ASSERT_FALSE(range.children.empty()) << c.name;
            titles.insert(titles.end(), {range.title, range.children[0].title});
            pages.insert(pages.end(), {range.page, range.children[0].page});
            leadBytes.push_back(range.children.size());
        }
        EXPECT_EQ(titles, c.titles) << c.name;
        EXPECT_EQ(pages, c.pages) << c.name;
        EXPECT_EQ(leadBytes, c.leadBytes) << c.name;
    }
    EXPECT_TRUE(tableOutline({}, 196).empty());
    const std::vector<OutlineEntry> exact = tableOutline({0xFA40, 0xFB40, 0xFB41}, 2);
    ASSERT_EQ(exact.size(), 1u);
    ASSERT_EQ(exact[0].children.size(), 2u);
    EXPECT_EQ(exact[0].children[1].page, 1) << "a lead byte whose first code ends a page";
}

TEST(PdfNumbers, AtMostThreeDecimalsAndNoTrailingZeros) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {248, "248"},
        {-313, "-313"},
        {0.5, "0.5"},
        {-127.373, "-127.373"},
        {0.2834645, "0.283"},
        {827.7165, "827.717"},
        {0.0004, "0"},
        {-0.0004, "0"},
        {1.0999, "1.1"},
    };
    for (const auto& [value, text] : cases) {
        std::string out;
        appendPdfNumber(out, value);
        EXPECT_EQ(out, text) << value;
    }
    std::string scale;
    appendPdfNumber(scale, 72 / 254.0, 6);
    EXPECT_EQ(scale, "0.283465") << "a page's scale keeps six decimals";
}

} // namespace
} // namespace kestra
