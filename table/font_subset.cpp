#include "table/font_subset.h"

#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cctype>

#include "table/font_files.h"
#include "table/truetype_subset.h"

namespace kestra {
namespace {

constexpr double kPdfUnitsPerEm = 1000;
constexpr uint16_t kLastCode = 0xFFFF;
constexpr size_t kTagLength = 6;

// GDI's cell of a TrueType font is its Windows ascent and descent.
void cellMetrics(FT_Face face, double& emPerCell, double& ascentPerCell) {
    double ascent = face->ascender;
    double descent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
    }
    const double cell = ascent + descent;
    if (cell <= 0 || face->units_per_EM == 0)
        return;
    emPerCell = face->units_per_EM / cell;
    ascentPerCell = ascent / cell;
}

// A PDF name holds no blanks or delimiters; a font without a PostScript
// name gets one.
std::string postScriptNameOf(FT_Face face) {
    const char* name = FT_Get_Postscript_Name(face);
    std::string kept;
    for (const char* c = name != nullptr ? name : ""; *c != '\0'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)) || *c == '-' || *c == '_')
            kept += *c;
    }
    return kept.empty() ? "Font" : kept;
}

} // namespace

FontSubset::FontSubset(FT_Face face, const MappedFile& file, int faceIndex)
    : face_(face), file_(file), faceIndex_(faceIndex) {
    if (face_ != nullptr) {
        cellMetrics(face_, emPerCell_, ascentPerCell_);
        if (face_->units_per_EM > 0)
            unitsPerEm_ = face_->units_per_EM;
        advances_.assign(static_cast<size_t>(face_->num_glyphs), -1);
    }
}

uint16_t FontSubset::codeOf(FT_UInt glyph, char32_t character) {
    const uint64_t key = (static_cast<uint64_t>(glyph) << 32) | character;
    const auto found = codes_.find(key);
    if (found != codes_.end())
        return found->second;
    if (glyphs_.size() >= kLastCode)
        return 0;
    glyphs_.push_back(glyph);
    characters_.push_back(character);
    const auto code = static_cast<uint16_t>(glyphs_.size());
    codes_.emplace(key, code);
    return code;
}

double FontSubset::advance(FT_UInt glyph) const {
    if (glyph >= advances_.size())
        return 0;
    double& known = advances_[glyph];
    if (known < 0) {
        FT_Fixed units = 0;
        known = FT_Get_Advance(face_, glyph, FT_LOAD_NO_SCALE, &units) == 0
                    ? static_cast<double>(units)
                    : 0;
    }
    return known;
}

// The tag that marks a subset in its font's name: six capitals of its own,
// the same for the same glyphs.
std::string FontSubset::subsetTag() const {
    uint64_t hash = 1469598103934665603ull;
    for (FT_UInt glyph : glyphs_)
        hash = (hash ^ glyph) * 1099511628211ull;
    std::string tag;
    for (size_t i = 0; i < kTagLength; ++i, hash /= 26)
        tag += static_cast<char>('A' + hash % 26);
    return tag;
}

bool FontSubset::subset(SubsetFont& out) const {
    TrueTypeSubset subset;
    const std::vector<uint32_t> glyphs(glyphs_.begin(), glyphs_.end());
    if (!subsetTrueType(file_.data(), file_.size(), faceIndex_, glyphs, subset))
        return false;
    out.program = std::move(subset.program);
    out.glyphOfCode.assign(1, 0);
    out.widthOfCode.assign(1, 0);
    out.characterOfCode.assign(1, 0);
    const double scale = kPdfUnitsPerEm / unitsPerEm_;
    for (size_t i = 0; i < glyphs_.size(); ++i) {
        const FT_UInt glyph = glyphs_[i];
        out.glyphOfCode.push_back(glyph < subset.newGlyphOf.size() ? subset.newGlyphOf[glyph] : 0);
        out.widthOfCode.push_back(advance(glyph) * scale);
        out.characterOfCode.push_back(characters_[i]);
    }
    out.postScriptName = subsetTag() + "+" + postScriptNameOf(face_);
    out.ascent = kPdfUnitsPerEm * ascentPerCell_ / emPerCell_;
    out.descent = out.ascent - kPdfUnitsPerEm / emPerCell_;
    const FT_BBox& box = face_->bbox;
    out.box[0] = box.xMin * scale;
    out.box[1] = box.yMin * scale;
    out.box[2] = box.xMax * scale;
    out.box[3] = box.yMax * scale;
    return true;
}

} // namespace kestra
