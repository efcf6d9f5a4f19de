#include "table/font_subset.h"

#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <hb-subset.h>

#include <algorithm>
#include <cctype>

#include "table/font_files.h"

namespace kestra {
namespace {

constexpr double kPdfUnitsPerEm = 1000;
constexpr uint16_t kLastCode = 0xFFFF;
constexpr size_t kTagLength = 6;

// The tables a PDF reader draws TrueType glyphs from; the character map,
// names and layout tables serve no purpose inside a PDF, where the document
// says which glyph to draw.
constexpr const char* kKeptTables[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "post"};

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

void dropAllTablesBut(hb_face_t* face, hb_subset_input_t* input) {
    hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    hb_tag_t tags[64];
    unsigned start = 0;
    unsigned count = 0;
    do {
        count = sizeof tags / sizeof tags[0];
        hb_face_get_table_tags(face, start, &count, tags);
        for (unsigned i = 0; i < count; ++i) {
            const bool kept = std::any_of(std::begin(kKeptTables), std::end(kKeptTables),
                                          [&](const char* name) {
                                              return hb_tag_from_string(name, 4) == tags[i];
                                          });
            if (!kept)
                hb_set_add(dropped, tags[i]);
        }
        start += count;
    } while (count > 0);
}

} // namespace

SubsetFont::~SubsetFont() {
    hb_blob_destroy(program);
}

SubsetFont::SubsetFont(SubsetFont&& other) noexcept
    : postScriptName(std::move(other.postScriptName)), program(other.program),
      glyphOfCode(std::move(other.glyphOfCode)), widthOfCode(std::move(other.widthOfCode)),
      characterOfCode(std::move(other.characterOfCode)), ascent(other.ascent),
      descent(other.descent), box{other.box[0], other.box[1], other.box[2], other.box[3]} {
    other.program = nullptr;
}

const char* SubsetFont::programData(size_t& size) const {
    unsigned length = 0;
    const char* data = hb_blob_get_data(program, &length);
    size = length;
    return data;
}

FontSubset::FontSubset(FT_Face face, const MappedFile& file, int faceIndex) : face_(face) {
    hb_blob_t* blob = hb_blob_create(reinterpret_cast<const char*>(file.data()),
                                     static_cast<unsigned>(file.size()), HB_MEMORY_MODE_READONLY,
                                     nullptr, nullptr);
    hbFace_ = hb_face_create(blob, static_cast<unsigned>(faceIndex));
    hb_blob_destroy(blob);
    if (face_ != nullptr) {
        cellMetrics(face_, emPerCell_, ascentPerCell_);
        if (face_->units_per_EM > 0)
            unitsPerEm_ = face_->units_per_EM;
        advances_.assign(static_cast<size_t>(face_->num_glyphs), -1);
    }
}

FontSubset::~FontSubset() {
    hb_face_destroy(hbFace_);
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
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (input == nullptr)
        return false;
    hb_set_t* glyphSet = hb_subset_input_glyph_set(input);
    hb_set_add(glyphSet, 0);
    for (FT_UInt glyph : glyphs_)
        hb_set_add(glyphSet, glyph);
    hb_set_clear(hb_subset_input_unicode_set(input));
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING);
    dropAllTablesBut(hbFace_, input);
    hb_subset_plan_t* plan = hb_subset_plan_create_or_fail(hbFace_, input);
    hb_subset_input_destroy(input);
    hb_face_t* subsetFace = plan != nullptr ? hb_subset_plan_execute_or_fail(plan) : nullptr;
    if (subsetFace == nullptr) {
        hb_subset_plan_destroy(plan);
        return false;
    }
    const hb_map_t* newGlyphs = hb_subset_plan_old_to_new_glyph_mapping(plan);
    out.glyphOfCode.assign(1, 0);
    out.widthOfCode.assign(1, 0);
    out.characterOfCode.assign(1, 0);
    const double scale = kPdfUnitsPerEm / unitsPerEm_;
    for (size_t i = 0; i < glyphs_.size(); ++i) {
        const hb_codepoint_t glyph = hb_map_get(newGlyphs, glyphs_[i]);
        out.glyphOfCode.push_back(glyph == HB_MAP_VALUE_INVALID ? 0 : static_cast<uint16_t>(glyph));
        out.widthOfCode.push_back(advance(glyphs_[i]) * scale);
        out.characterOfCode.push_back(characters_[i]);
    }
    hb_subset_plan_destroy(plan);
    out.program = hb_face_reference_blob(subsetFace);
    hb_face_destroy(subsetFace);
    out.postScriptName = subsetTag() + "+" + postScriptNameOf(face_);
    out.ascent = kPdfUnitsPerEm * ascentPerCell_ / emPerCell_;
    out.descent = out.ascent - kPdfUnitsPerEm / emPerCell_;
    const FT_BBox& box = face_->bbox;
    out.box[0] = box.xMin * scale;
    out.box[1] = box.yMin * scale;
    out.box[2] = box.xMax * scale;
    out.box[3] = box.yMax * scale;
    return hb_blob_get_length(out.program) > 0;
}

} // namespace kestra
