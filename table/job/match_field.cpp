#include "table/job/match_field.h"

#include "table/job/code_matches.h"
#include "table/job/table_job.h"
#include "table/text/big5_text.h"

namespace kestra {
namespace {

constexpr char kMatchHeading[] = "\xAB\xD8\xC4\xB3\xBC\xD0\xB7\xC7\xA6\x72"; // 建議標準字
constexpr char kNoMatchMark[] = "\xB5\x4C\xAC\xDB\xB2\xC5\xA6\x72";          // 無相符字
// The code point and similarity stand in two lines of labels beside the
// standard character, which is as high as the glyph cell; the mark alone
// sits as the cell's code does.
constexpr int32_t kLabelsOffset = kGlyphFontHeight + 12;
constexpr int32_t kMarkDrop = 16;

void drawLabel(DrawSurface& surface, int32_t x, int32_t y, const std::string& text) {
    surface.textOut(x, y, text.data(), static_cast<int>(text.size()));
}

void drawSuggestion(DrawSurface& surface, const CodeMatch& match, int32_t x, int32_t y) {
    const std::string face = referenceFaceName(match.face);
    SurfaceObjectOwner standardFont(surface, surface.createFont(kGlyphFontHeight, face.c_str()));
    SurfaceObjectOwner labelFont(surface,
                                 surface.createFont(kLabelFontHeight, kTablePageTexts.labelFace));
    SelectionKeeper fonts(surface);
    fonts.select(standardFont.get());
    std::string character;
    appendEscape(character, match.standard);
    drawLabel(surface, x, y, character);
    fonts.select(labelFont.get());
    drawLabel(surface, x + kLabelsOffset, y, codePointName(match.standard));
    drawLabel(surface, x + kLabelsOffset, y - kLabelFontHeight, similarityText(match.similarity));
}

void drawNoMatch(DrawSurface& surface, int32_t x, int32_t y) {
    SurfaceObjectOwner labelFont(surface,
                                 surface.createFont(kLabelFontHeight, kTablePageTexts.labelFace));
    SelectionKeeper fonts(surface);
    fonts.select(labelFont.get());
    drawLabel(surface, x, y - kMarkDrop, kNoMatchMark);
}

} // namespace

std::string referenceFaceName(int face) {
    std::string name = "reference face ";
    return name += std::to_string(face);
}

ExtraField matchField(DrawSurface& surface, const CodeMatches& matches) {
    return {kMatchHeading, kMatchFieldWidth,
            [&surface, &matches](uint16_t code, int32_t x, int32_t y) {
                const CodeMatch& match = matches.of(code);
                if (match.standard != 0)
                    drawSuggestion(surface, match, x, y);
                else if (match.hasGlyph)
                    drawNoMatch(surface, x, y);
            }};
}

} // namespace kestra
