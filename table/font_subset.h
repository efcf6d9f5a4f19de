// One font of a table as its PDF embeds it: the pages ask for glyphs, each
// with the character it stands for, and get the document's codes (CIDs) for
// them; at the end the font program is cut down to those glyphs. A code stands for one glyph and
// one character, so the same glyph drawn for two characters (an EUDC editor's shared empty glyph,
// say) copies as each of them.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestra {

class MappedFile;

// What the document needs of a subset font program; widths and metrics are
// in thousandths of the em, as PDF font dictionaries give them.
struct SubsetFont {
    std::string postScriptName;         // with the subset's tag
    std::vector<unsigned char> program; // the TrueType font
    std::vector<uint16_t> glyphOfCode;  // the subset's glyph of each code
    std::vector<double> widthOfCode;
    std::vector<char32_t> characterOfCode;
    double ascent = 0;
    double descent = 0;
    double box[4] = {};
};

class FontSubset {
  public:
    // The face must stay open, and the file mapped, while the subset lives.
    FontSubset(FT_Face face, const MappedFile& file, int faceIndex);
    FontSubset(const FontSubset&) = delete;
    FontSubset& operator=(const FontSubset&) = delete;

    // The code of glyph drawn as character; 0, which draws nothing, when the
    // document has run out of codes.
    uint16_t codeOf(FT_UInt glyph, char32_t character);
    bool used() const { return !characters_.empty(); }

    // Advance of the glyph in font units; 0 for one FreeType cannot measure.
    double advance(FT_UInt glyph) const;
    // A positive GDI height is the cell height, ascent and descent together.
    double emForHeight(int32_t height) const { return height * emPerCell_; }
    double baselineForHeight(int32_t height) const { return height * ascentPerCell_; }
    // Page units per font unit at the height.
    double unitScale(int32_t height) const { return emForHeight(height) / unitsPerEm_; }
    FT_UInt glyphOf(char32_t character) const { return FT_Get_Char_Index(face_, character); }

    // The font program of the codes handed out; false when the font is no
    // TrueType font the subset can be cut from.
    bool subset(SubsetFont& out) const;

  private:
    std::string subsetTag() const;

    FT_Face face_;
    const MappedFile& file_;
    int faceIndex_;
    double unitsPerEm_ = 1000;
    double emPerCell_ = 1.0;
    double ascentPerCell_ = 0.8;
    std::unordered_map<uint64_t, uint16_t> codes_;
    std::vector<FT_UInt> glyphs_;          // of each code from 1
    std::vector<char32_t> characters_;     // of each code from 1
    mutable std::vector<double> advances_; // by glyph; negative until measured
};

} // namespace kestra
