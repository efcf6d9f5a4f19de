#include "table/pdf/pdf_cid_font.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "table/pdf/pdf_cmaps.h"

namespace kestra {
namespace {

// The font is symbolic: its glyphs are no standard Latin set.
constexpr int kSymbolicFlag = 4;
// A dominant vertical stem width is required; a reader uses it only to pick a
// stand-in for a font it cannot load.
constexpr int kStemV = 80;

using CidWidth = std::pair<uint16_t, double>;

bool isCff(const SubsetFont& font) {
    return font.format == OutlineFormat::Cff;
}

// The widths of the CIDs the codes stand for: in a TrueType font the CID is
// the code, in a CFF font the glyph's own. In CID order, each once.
std::vector<CidWidth> cidWidths(const SubsetFont& font) {
    std::vector<CidWidth> widths;
    for (size_t code = 1; code < font.widthOfCode.size(); ++code) {
        widths.emplace_back(isCff(font) ? font.glyphOfCode[code] : static_cast<uint16_t>(code),
                            font.widthOfCode[code]);
    }
    std::sort(widths.begin(), widths.end());
    widths.erase(std::unique(widths.begin(), widths.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 widths.end());
    return widths;
}

// How many widths from at on belong to consecutive CIDs of one width.
size_t runLength(const std::vector<CidWidth>& widths, size_t at) {
    size_t end = at + 1;
    while (end < widths.size() && widths[end].second == widths[at].second &&
           widths[end].first == widths[at].first + (end - at))
        ++end;
    return end - at;
}

// Runs of CIDs of one width as "first last width", the others as
// "first [width width ...]", a list for each stretch of consecutive CIDs.
void writeWidths(PdfArray& array, const std::vector<CidWidth>& widths) {
    for (size_t at = 0; at < widths.size();) {
        const size_t run = runLength(widths, at);
        array.item().integer(widths[at].first);
        if (run > 1) {
            array.item().integer(widths[at + run - 1].first);
            array.item().number(widths[at].second);
            at += run;
            continue;
        }
        PdfArray list = array.item().array();
        do {
            list.item().number(widths[at].second);
            ++at;
        } while (at < widths.size() && widths[at].first == widths[at - 1].first + 1 &&
                 runLength(widths, at) == 1);
    }
}

std::string glyphMap(const std::vector<uint16_t>& glyphs) {
    std::string map;
    map.reserve(glyphs.size() * 2);
    for (uint16_t glyph : glyphs) {
        map += static_cast<char>(glyph >> 8);
        map += static_cast<char>(glyph & 0xFF);
    }
    return map;
}

int32_t addProgram(PdfObjects& objects, const SubsetFont& font) {
    const int32_t file = objects.reserve();
    PdfDictionary entries = objects.stream(file, font.program.data(), font.program.size());
    if (isCff(font))
        entries.key("Subtype").name("CIDFontType0C");
    else
        entries.key("Length1").integer(static_cast<int64_t>(font.program.size()));
    return file;
}

int32_t addDescriptor(PdfObjects& objects, const SubsetFont& font) {
    const int32_t program = addProgram(objects, font);
    const int32_t descriptor = objects.reserve();
    PdfDictionary entries = objects.value(descriptor).dictionary();
    entries.key("Type").name("FontDescriptor");
    entries.key("FontName").name(font.postScriptName);
    entries.key("Flags").integer(kSymbolicFlag);
    {
        PdfArray box = entries.key("FontBBox").array();
        for (double side : font.box)
            box.item().number(side);
    }
    entries.key("ItalicAngle").integer(0);
    entries.key("Ascent").number(font.ascent);
    entries.key("Descent").number(font.descent);
    entries.key("CapHeight").number(font.ascent);
    entries.key("StemV").integer(kStemV);
    entries.key(isCff(font) ? "FontFile3" : "FontFile2").reference(program);
    return descriptor;
}

int32_t addWidths(PdfObjects& objects, const SubsetFont& font) {
    const int32_t widths = objects.reserve();
    PdfArray array = objects.value(widths).array();
    writeWidths(array, cidWidths(font));
    return widths;
}

CidSystem cidSystemOf(const SubsetFont& font) {
    return isCff(font) ? font.cidSystem : CidSystem{};
}

int32_t addCidFont(PdfObjects& objects, const SubsetFont& font) {
    const int32_t descriptor = addDescriptor(objects, font);
    const int32_t widths = addWidths(objects, font);
    const int32_t glyphs = isCff(font) ? 0 : objects.addStream(glyphMap(font.glyphOfCode));
    const int32_t cidFont = objects.reserve();
    PdfDictionary entries = objects.value(cidFont).dictionary();
    entries.key("Type").name("Font");
    entries.key("Subtype").name(isCff(font) ? "CIDFontType0" : "CIDFontType2");
    entries.key("BaseFont").name(font.postScriptName);
    writeCidSystemInfo(entries.key("CIDSystemInfo"), cidSystemOf(font));
    entries.key("FontDescriptor").reference(descriptor);
    entries.key("DW").integer(0);
    entries.key("W").reference(widths);
    if (glyphs != 0)
        entries.key("CIDToGIDMap").reference(glyphs);
    return cidFont;
}

int32_t addEncoding(PdfObjects& objects, std::string_view resourceName, const SubsetFont& font) {
    const std::string name = "Kestra-" + std::string(resourceName) + "-H";
    const int32_t encoding = objects.reserve();
    const std::string map = encodingCMap(name, font.cidSystem, font.glyphOfCode);
    PdfDictionary entries = objects.stream(encoding, map.data(), map.size());
    entries.key("Type").name("CMap");
    entries.key("CMapName").name(name);
    writeCidSystemInfo(entries.key("CIDSystemInfo"), font.cidSystem);
    return encoding;
}

} // namespace

int32_t embedCidFont(PdfObjects& objects, std::string_view resourceName, const SubsetFont& font) {
    const int32_t cidFont = addCidFont(objects, font);
    const int32_t encoding = isCff(font) ? addEncoding(objects, resourceName, font) : 0;
    const int32_t toUnicode = objects.addStream(toUnicodeCMap(font.characterOfCode));
    const int32_t type0 = objects.reserve();
    PdfDictionary entries = objects.value(type0).dictionary();
    entries.key("Type").name("Font");
    entries.key("Subtype").name("Type0");
    entries.key("BaseFont").name(font.postScriptName);
    if (encoding != 0)
        entries.key("Encoding").reference(encoding);
    else
        entries.key("Encoding").name("Identity-H");
    {
        PdfArray descendants = entries.key("DescendantFonts").array();
        descendants.item().reference(cidFont);
    }
    entries.key("ToUnicode").reference(toUnicode);
    return type0;
}

} // namespace kestra
