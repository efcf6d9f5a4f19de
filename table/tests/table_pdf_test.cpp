// The parts of a table's PDF that no reader shows whole: the font programs cut
// down to the drawn glyphs, the bookmarks and the numbers of the page content.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_TRUETYPE_TABLES_H

#include <string>
#include <vector>

#include "eudc/app_state.h"
#include "table/fonts/font_files.h"
#include "table/fonts/font_subset.h"
#include "table/pdf/pdf_numbers.h"
#include "table/job/table_job.h"
#include "table/job/table_outline.h"

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

bool hasTable(FT_Face face, const char* tag) {
    FT_ULong length = 0;
    return FT_Load_Sfnt_Table(face, FT_MAKE_TAG(tag[0], tag[1], tag[2], tag[3]), 0, nullptr,
                              &length) == 0;
}

struct SubsetCase {
    const char* font;
    int face;
    std::vector<char32_t> characters; // drawn in this order
    OutlineFormat format;
};

// Each code's glyph in the subset program is the file's own glyph: outline,
// advance and bearing (which places it), parts of composites, hinting.
TEST(FontSubset, EachCodeDrawsTheFilesOwnGlyph) {
    const SubsetCase cases[] = {
        {"PARTS.TTE", 0, {0xE002}, OutlineFormat::TrueType},        // parts renumbered
        {"EUDC.TTE", 0, {0xE310, 0xE000}, OutlineFormat::TrueType}, // hinted
        // A far bearing, a scaled and a turned composite, one glyph for two.
        {"SHAPED.TTE", 0, {0xE000, 0xE001, 0xE002, 0xE004, 0xE005}, OutlineFormat::TrueType},
        {"PAIR.TTC", 1, {0xE000}, OutlineFormat::TrueType},
        {"CFFEUDC.OTF", 0, {0xE002, 0xE000, 0xE003, 0xE004}, OutlineFormat::Cff}, // CID-keyed
        {"CFFLABEL.OTF", 0, {U'F', U'A', U'4'}, OutlineFormat::Cff},
    };
    FreeTypeLibrary library;
    for (const SubsetCase& c : cases) {
        FontFile source;
        ASSERT_TRUE(source.file.map(std::string(KESTRA_TABLE_FONT_DIR "/") + c.font)) << c.font;
        source.face = FontFace(openFace(library.get(), source.file, c.face));
        ASSERT_NE(source.face.get(), nullptr) << c.font;
        FontSubset subset(source.face.get(), source.file, c.face);
        for (char32_t character : c.characters)
            subset.codeOf(subset.glyphOf(character), character);
        SubsetFont cut;
        ASSERT_TRUE(subset.subset(cut)) << c.font;
        EXPECT_EQ(cut.format, c.format) << c.font;
        FT_Face program = nullptr;
        ASSERT_EQ(FT_New_Memory_Face(library.get(), cut.program.data(),
                                     static_cast<FT_Long>(cut.program.size()), 0, &program),
                  0)
            << c.font;
        const FontFace owner(program);
        const bool hinted = hasTable(source.face.get(), "fpgm");
        for (const char* table : {"cvt ", "fpgm", "prep"})
            EXPECT_EQ(hasTable(program, table), hinted) << c.font << " " << table;
        for (size_t code = 1; code <= c.characters.size(); ++code) {
            const auto original =
                outlineOf(source.face.get(), subset.glyphOf(c.characters[code - 1]));
            ASSERT_GT(original.size(), 1u) << c.font << " code " << code;
            // A bare CID-keyed CFF program is read by CID, as a PDF reader does.
            EXPECT_EQ(outlineOf(program, cut.glyphOfCode[code]), original)
                << c.font << " code " << code;
            EXPECT_EQ(cut.characterOfCode[code], c.characters[code - 1]) << c.font;
        }
    }
}

struct OutlineCase {
    const char* name;
    TableChoices options;
    std::vector<std::string> titles; // each range, then its first lead byte
    std::vector<int32_t> pages;
    std::vector<size_t> leadBytes;
};

TableChoices rangeOptions(uint16_t start, uint16_t end) {
    TableChoices options;
    options.printAll = false;
    options.rangeStart = start;
    options.rangeEnd = end;
    return options;
}

TEST(TableOutline, OneEntryPerRangeOnThePagesAndOnePerLeadByteBeneath) {
    const OutlineCase cases[] = {
        // PUA order, 196 cells a page: 8E40 is cell 785, 8140 cell 3760, C6A1 cell 5701.
        {"every code",
         TableChoices{},
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
        applyTableChoices(c.options, "f", "f");
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
