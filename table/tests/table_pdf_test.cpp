// The parts of a table's PDF that no reader shows whole: the font programs cut
// down to the drawn glyphs, the bookmarks, the numbers of the page content,
// the escapes of the file's syntax and where its objects begin.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_TRUETYPE_TABLES_H
#include <hb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "eudc/app_state.h"
#include "table/fonts/font_files.h"
#include "table/fonts/font_subset.h"
#include "table/pdf/pdf_document.h"
#include "table/pdf/pdf_numbers.h"
#include "table/pdf/pdf_syntax.h"
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

using WriteValue = void (*)(PdfValue, std::string_view);

TEST(PdfSyntax, ValuesEscapeWhatTheSyntaxReserves) {
    const WriteValue name = [](PdfValue value, std::string_view text) { value.name(text); };
    const WriteValue bytes = [](PdfValue value, std::string_view text) { value.byteString(text); };
    const WriteValue hex = [](PdfValue value, std::string_view text) { value.hexString(text); };
    const WriteValue text = [](PdfValue value, std::string_view utf8) { value.textString(utf8); };
    const struct {
        WriteValue write;
        std::string_view in;
        const char* out;
    } cases[] = {
        {name, "Kestra-E-H", "/Kestra-E-H"},
        {name, "A B#(x)/%\xC3\xA9", "/A#20B#23#28x#29#2F#25#C3#A9"}, // é
        {bytes, "a(b)\\c\n\xFF", "(a\\(b\\)\\\\c\\012\\377)"},
        {hex, "\x01\xAB", "<01AB>"},
        {text, "EUDC.TTE (1)", "(EUDC.TTE \\(1\\))"},
        // かな😀é: a character past the first plane in two units.
        {text, "\xE3\x81\x8B\xE3\x81\xAA\xF0\x9F\x98\x80\xC3\xA9", "<FEFF304B306AD83DDE0000E9>"},
        {text, "a\xFF", "<FEFF0061FFFD>"}, // a byte that begins no UTF-8 character
    };
    for (const auto& c : cases) {
        std::string out;
        c.write(PdfValue(out), c.in);
        EXPECT_EQ(out, c.out) << c.in;
    }
}

// Bytes no compression makes smaller, more than a stdio buffer holds.
std::string noise(size_t size, uint32_t seed) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525 + 1013904223;
        bytes += static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::unique_ptr<PdfDocument> document(uint32_t seed, size_t pageSize = 6000) {
    auto made = std::make_unique<PdfDocument>(595.276, 841.89);
    for (int page = 0; page < 2; ++page)
        EXPECT_EQ(made->addPage(noise(pageSize, seed + page)), "");
    made->setOutline({{"FA40-FEFE", 1, {{"FA40-FAFE", 1, {}}, {"FB40-FBFE", 2, {}}}}});
    made->setInformation({"EUDC.TTE", "Kestra EUDC Square", "kestra-table"});
    return made;
}

std::string written(PdfDocument& document) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    EXPECT_EQ(document.write(stream), "");
    std::fclose(stream);
    std::string file(buffer, size);
    std::free(buffer);
    return file;
}

size_t numberAt(const std::string& file, size_t at) {
    return std::strtoull(file.c_str() + at, nullptr, 10);
}

// Where a reader looks before anything else: each object where the
// cross-reference table says it begins, each stream as long as it says.
TEST(PdfDocument, EachObjectWhereTheTableSaysAndEachStreamAsLongAsItSays) {
    const std::string file = written(*document(1));
    const size_t table = numberAt(file, file.rfind("startxref\n") + 10);
    ASSERT_EQ(file.compare(table, 7, "xref\n0 "), 0);
    const size_t count = numberAt(file, table + 7);
    const size_t entries = file.find('\n', table + 7) + 1;
    ASSERT_GT(count, 10u);
    EXPECT_NE(file.find("/Size " + std::to_string(count) + " "), std::string::npos);
    for (size_t object = 1; object < count; ++object) {
        const size_t entry = entries + 20 * object;
        ASSERT_EQ(file.compare(entry + 10, 10, " 00000 n \n"), 0) << object;
        const size_t begins = numberAt(file, entry);
        const std::string head = std::to_string(object) + " 0 obj\n";
        ASSERT_EQ(file.compare(begins, head.size(), head), 0) << object;
        const size_t length = file.find("/Length ", begins);
        if (length < file.find("endobj", begins)) {
            const size_t data = file.find(">>\nstream\n", begins) + 10;
            EXPECT_EQ(file.compare(data + numberAt(file, length + 8), 10, "\nendstream"), 0)
                << object;
        }
    }
    const size_t identifier = file.find("/ID [ <", table);
    ASSERT_NE(identifier, std::string::npos);
    EXPECT_EQ(written(*document(1)), file) << "the same document, the same file";
    EXPECT_EQ(written(*document(2)).find(file.substr(identifier, 40)), std::string::npos)
        << "another document, another identifier";
}

// The widths of a font's CIDs, each once: a run of one width as "first last
// width", the others listed from the first of each stretch of consecutive
// CIDs. A CFF font's CIDs are its glyphs', with gaps, and two codes may share one.
TEST(PdfDocument, EachCidGivenItsWidthOnce) {
    const struct {
        OutlineFormat format;
        std::vector<uint16_t> glyphOfCode;
        std::vector<double> widthOfCode;
        const char* widths;
    } cases[] = {
        {OutlineFormat::TrueType,
         {0, 7, 8, 9, 4},
         {0, 1000, 1000, 1000, 500},
         "[ 1 3 1000 4 [ 500 ] ]"},
        {OutlineFormat::Cff,
         {0, 3, 5, 6, 5, 9, 10},
         {0, 500, 600, 700, 600, 1000, 1000},
         "[ 3 [ 500 ] 5 [ 600 700 ] 9 10 1000 ]"},
    };
    for (const auto& c : cases) {
        SubsetFont font;
        font.format = c.format;
        font.postScriptName = "KESTRA+Test";
        font.program = FontProgram(hb_blob_get_empty());
        font.glyphOfCode = c.glyphOfCode;
        font.widthOfCode = c.widthOfCode;
        font.characterOfCode.assign(c.glyphOfCode.size(), U'\uE000');
        const std::unique_ptr<PdfDocument> made = document(1, 10);
        ASSERT_EQ(made->addFont("E", font), "");
        const std::string file = written(*made);
        const std::string head =
            "\n" + std::to_string(numberAt(file, file.find("/W ") + 3)) + " 0 obj\n";
        const size_t widths = file.find(head) + head.size();
        EXPECT_EQ(file.substr(widths, file.find("\nendobj", widths) - widths), c.widths);
    }
}

// The first write that fails, at once, on the way or when the end is flushed,
// says why.
TEST(PdfDocument, AFailedWriteGivesTheSystemsReason) {
    const struct {
        const char* path;
        const char* mode;
        size_t pageSize;
        int error;
    } cases[] = {
        {"/dev/null", "rb", 10, EBADF},
        {"/dev/full", "wb", 6000, ENOSPC},
        {"/dev/full", "wb", 10, ENOSPC},
    };
    for (const auto& c : cases) {
        std::FILE* stream = std::fopen(c.path, c.mode);
        ASSERT_NE(stream, nullptr) << c.path;
        EXPECT_EQ(document(1, c.pageSize)->write(stream), std::strerror(c.error))
            << c.path << " " << c.pageSize;
        std::fclose(stream);
    }
}

} // namespace
} // namespace kestra
