#include "table/fonts/font_subset.h"

#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H
#include FT_CID_H

#include <hb-subset.h>

#include <cctype>
#include <memory>

#include "table/fonts/font_files.h"

namespace kestra {
namespace {

constexpr double kPdfUnitsPerEm = 1000;
constexpr uint16_t kLastCode = 0xFFFF;
constexpr size_t kTagLength = 6;

// What a PDF reader draws each kind of outline from, hinting included: a
// glyph's instructions call the functions of 'fpgm' and read 'cvt '. The
// character map, names and layout tables serve no purpose inside a PDF, where
// the document says which glyph to draw and what it stands for.
constexpr const char* kTrueTypeTables[] = {"head", "hhea", "hmtx", "maxp", "loca",
                                           "glyf", "cvt ", "fpgm", "prep"};
constexpr const char* kCffTables[] = {"CFF "};

hb_tag_t tagOf(const char* name) {
    return hb_tag_from_string(name, 4);
}

bool hasTable(FT_Face face, const char* name) {
    FT_ULong length = 0;
    return FT_Load_Sfnt_Table(face, tagOf(name), 0, nullptr, &length) == 0 && length > 0;
}

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

bool isCidKeyed(FT_Face face) {
    FT_Bool cidKeyed = 0;
    return FT_Get_CID_Is_Internally_CID_Keyed(face, &cidKeyed) == 0 && cidKeyed != 0;
}

// Written into PDF strings: anything but letters, digits and dashes is left
// out, so that no name needs escaping.
std::string plainName(const char* name) {
    std::string kept;
    for (const char* c = name; *c != '\0'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)) || *c == '-')
            kept += *c;
    }
    return kept;
}

CidSystem cidSystemOf(FT_Face face) {
    const char* registry = nullptr;
    const char* ordering = nullptr;
    FT_Int supplement = 0;
    if (FT_Get_CID_Registry_Ordering_Supplement(face, &registry, &ordering, &supplement) != 0 ||
        registry == nullptr || ordering == nullptr)
        return {};
    return {plainName(registry), plainName(ordering), supplement};
}

// A HarfBuzz object, let go by its own function.
template <auto destroy> struct Destroyer {
    template <typename T> void operator()(T* object) const { destroy(object); }
};
using HbBlob = std::unique_ptr<hb_blob_t, Destroyer<hb_blob_destroy>>;
using HbFace = std::unique_ptr<hb_face_t, Destroyer<hb_face_destroy>>;
using HbInput = std::unique_ptr<hb_subset_input_t, Destroyer<hb_subset_input_destroy>>;
using HbPlan = std::unique_ptr<hb_subset_plan_t, Destroyer<hb_subset_plan_destroy>>;

// HarfBuzz reads the mapped file in place.
HbFace faceOfFile(const MappedFile& file, int faceIndex) {
    const HbBlob blob(hb_blob_create_or_fail(reinterpret_cast<const char*>(file.data()),
                                             static_cast<unsigned>(file.size()),
                                             HB_MEMORY_MODE_READONLY, nullptr, nullptr));
    return HbFace(blob ? hb_face_create(blob.get(), static_cast<unsigned>(faceIndex)) : nullptr);
}

// The glyphs asked for and .notdef; every table but those kept is dropped.
// The glyphs are numbered anew: kept numbers would give a label font of
// thousands of glyphs a glyph index and metrics for every one of them.
HbInput subsetInput(const std::vector<FT_UInt>& glyphs, OutlineFormat format) {
    HbInput input(hb_subset_input_create_or_fail());
    if (!input)
        return input;
    hb_set_t* wanted = hb_subset_input_glyph_set(input.get());
    hb_set_add(wanted, 0);
    for (FT_UInt glyph : glyphs)
        hb_set_add(wanted, glyph);
    hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    hb_set_clear(dropped);
    if (format == OutlineFormat::Cff) {
        for (const char* name : kCffTables)
            hb_set_add(dropped, tagOf(name));
    } else {
        for (const char* name : kTrueTypeTables)
            hb_set_add(dropped, tagOf(name));
    }
    hb_set_invert(dropped);
    return input;
}

// A TrueType program is the whole subset font file; a CFF one, the bare
// 'CFF ' table, which is what PDF embeds.
FontProgram programOf(hb_face_t* subset, OutlineFormat format) {
    if (format == OutlineFormat::Cff)
        return FontProgram(hb_face_reference_table(subset, tagOf("CFF ")));
    return FontProgram(hb_face_reference_blob(subset));
}

} // namespace

OutlineFormat outlineFormatOf(FT_Face face) {
    if (face == nullptr)
        return OutlineFormat::None;
    if (hasTable(face, "glyf"))
        return OutlineFormat::TrueType;
    if (hasTable(face, "CFF "))
        return OutlineFormat::Cff;
    return OutlineFormat::None;
}

FontProgram::~FontProgram() {
    hb_blob_destroy(blob_);
}

FontProgram& FontProgram::operator=(FontProgram&& other) noexcept {
    if (this != &other) {
        hb_blob_destroy(blob_);
        blob_ = other.blob_;
        other.blob_ = nullptr;
    }
    return *this;
}

// HarfBuzz takes its empty blob, never a null one: a program moved from, or
// never made, holds no bytes.
const unsigned char* FontProgram::data() const {
    return blob_ != nullptr
               ? reinterpret_cast<const unsigned char*>(hb_blob_get_data(blob_, nullptr))
               : nullptr;
}

size_t FontProgram::size() const {
    return blob_ != nullptr ? hb_blob_get_length(blob_) : 0;
}

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

// A CID-keyed CFF program keeps the CIDs of its glyphs; in any other the
// glyph's new number names it.
uint16_t FontSubset::programGlyph(FT_UInt glyph, const hb_map_t* newGlyphs, bool cidKeyed) const {
    FT_UInt cid = 0;
    if (cidKeyed)
        return FT_Get_CID_From_Glyph_Index(face_, glyph, &cid) == 0 ? static_cast<uint16_t>(cid)
                                                                    : 0;
    const hb_codepoint_t newGlyph = hb_map_get(newGlyphs, glyph);
    return newGlyph == HB_MAP_VALUE_INVALID ? 0 : static_cast<uint16_t>(newGlyph);
}

bool FontSubset::subset(SubsetFont& out) const {
    const OutlineFormat format = outlineFormatOf(face_);
    const HbFace source = faceOfFile(file_, faceIndex_);
    const auto input = subsetInput(glyphs_, format);
    if (format == OutlineFormat::None || !source || !input)
        return false;
    const HbPlan plan(hb_subset_plan_create_or_fail(source.get(), input.get()));
    const HbFace subset(plan ? hb_subset_plan_execute_or_fail(plan.get()) : nullptr);
    if (!subset)
        return false;
    out.format = format;
    out.program = programOf(subset.get(), format);
    const bool cidKeyed = format == OutlineFormat::Cff && isCidKeyed(face_);
    if (cidKeyed)
        out.cidSystem = cidSystemOf(face_);
    const hb_map_t* newGlyphs = hb_subset_plan_old_to_new_glyph_mapping(plan.get());
    out.glyphOfCode.assign(1, 0);
    out.widthOfCode.assign(1, 0);
    out.characterOfCode.assign(1, 0);
    const double scale = kPdfUnitsPerEm / unitsPerEm_;
    for (size_t i = 0; i < glyphs_.size(); ++i) {
        out.glyphOfCode.push_back(programGlyph(glyphs_[i], newGlyphs, cidKeyed));
        out.widthOfCode.push_back(advance(glyphs_[i]) * scale);
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
    return out.program.size() > 0;
}

} // namespace kestra
