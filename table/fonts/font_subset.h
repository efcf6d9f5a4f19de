// One font of a table as its PDF embeds it: the pages ask for glyphs, each
// with the character it stands for, and get the document's codes for them; at
// the end HarfBuzz's subsetter cuts the font program down to those glyphs. A
// code stands for one glyph and one character, so the same glyph drawn for two
// characters (an EUDC editor's shared empty glyph, say) copies as each of them.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct hb_blob_t;
struct hb_map_t;

namespace kestra {

class MappedFile;

// The two kinds of outline a PDF can embed from an OpenType font.
enum class OutlineFormat {
    None,     // neither (bitmaps only, CFF2, a Type 1 file): cannot be embedded
    TrueType, // 'glyf': the whole subset font, as FontFile2
    Cff,      // 'CFF ': the bare CFF program, as FontFile3 of subtype CIDFontType0C
};

OutlineFormat outlineFormatOf(FT_Face face);

// Bytes HarfBuzz made, released with their owner.
class FontProgram {
  public:
    FontProgram() = default;
    explicit FontProgram(hb_blob_t* blob) : blob_(blob) {}
    ~FontProgram();
    FontProgram(FontProgram&& other) noexcept : blob_(other.blob_) { other.blob_ = nullptr; }
    FontProgram& operator=(FontProgram&& other) noexcept;
    FontProgram(const FontProgram&) = delete;
    FontProgram& operator=(const FontProgram&) = delete;

    const unsigned char* data() const;
    size_t size() const;

  private:
    hb_blob_t* blob_ = nullptr;
};

// The character collection a CFF program's CIDs belong to.
struct CidSystem {
    std::string registry = "Adobe";
    std::string ordering = "Identity";
    int supplement = 0;
};

// What the document needs of a subset font program; widths and metrics are
// in thousandths of the em, as PDF font dictionaries give them.
struct SubsetFont {
    OutlineFormat format = OutlineFormat::TrueType;
    std::string postScriptName; // with the subset's tag
    FontProgram program;
    // Each code's glyph as the program names it: its glyph number in a
    // TrueType program, its CID in a CFF one. Code 0 is never drawn.
    std::vector<uint16_t> glyphOfCode;
    std::vector<double> widthOfCode;
    std::vector<char32_t> characterOfCode;
    CidSystem cidSystem; // of a CFF program
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

    // The font program of the codes handed out; false when HarfBuzz cannot
    // cut it down or its outlines are of no kind a PDF embeds.
    bool subset(SubsetFont& out) const;

  private:
    std::string subsetTag() const;
    uint16_t programGlyph(FT_UInt glyph, const hb_map_t* newGlyphs, bool cidKeyed) const;

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
