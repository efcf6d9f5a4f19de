#include "table/pdf_surface.h"

#include <cairo-ft.h>
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>

#include "eudc/code_space.h"
#include "table/font_files.h"

namespace kestra {
namespace {

constexpr char32_t kFirstPuaCodePoint = 0xE000;
// The device context's own pen is one device pixel wide; on paper that is a
// hairline, drawn here 0.1 mm wide so it survives any viewer's scaling.
constexpr double kDefaultPenWidth = 1.0;
constexpr double kRulePenWidth = 3.0;

const cairo_user_data_key_t kFaceKey{};

void releaseFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
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

} // namespace

struct PdfSurface::ScaledFont {
    const CairoFace* face = nullptr;
    int32_t height = 0;
    cairo_scaled_font_t* scaled = nullptr;
    double unitScale = 0; // page units per font unit
    double baseline = 0;  // below the top of the text
    ~ScaledFont() { cairo_scaled_font_destroy(scaled); }
};

struct PdfSurface::Object {
    enum class Kind { Font, Pen, Brush } kind;
    bool stock;
    ScaledFont* font = nullptr; // null for the device context's own font: draws nothing
    double penWidth = 0;
    bool hollow = false;
};

CairoFace::CairoFace(FT_Face face) : ftFace_(face), face_(nullptr) {
    if (face == nullptr)
        return;
    // cairo may keep the face beyond this object; it releases its own
    // reference to the FreeType face when it lets go.
    FT_Reference_Face(face);
    face_ = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_set_user_data(face_, &kFaceKey, face, releaseFace) != CAIRO_STATUS_SUCCESS)
        FT_Done_Face(face);
    cellMetrics(face, emPerCell_, ascentPerCell_);
}

CairoFace::~CairoFace() {
    if (face_ != nullptr)
        cairo_font_face_destroy(face_);
}

bool CairoFace::ok() const {
    return face_ != nullptr && cairo_font_face_status(face_) == CAIRO_STATUS_SUCCESS;
}

double CairoFace::advance(FT_UInt glyph) const {
    FT_Fixed advance = 0;
    if (FT_Get_Advance(ftFace_, glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return 0;
    return static_cast<double>(advance);
}

PdfSurface::PdfSurface(cairo_t* cr, const EudcFont& eudc, const CairoFace& glyphFace,
                       const CairoFace& labelFace, std::string glyphFaceName)
    : cr_(cr), eudc_(eudc), glyphFace_(glyphFace), labelFace_(labelFace),
      glyphFaceName_(std::move(glyphFaceName)), defaultFont_(new Object{Object::Kind::Font, true}),
      defaultPen_(new Object{Object::Kind::Pen, true, nullptr, kDefaultPenWidth}),
      whiteBrush_(new Object{Object::Kind::Brush, true}),
      nullBrush_(new Object{Object::Kind::Brush, true}) {
    nullBrush_->hollow = true;
    font_ = defaultFont_.get();
    pen_ = defaultPen_.get();
    brush_ = whiteBrush_.get();
}

PdfSurface::~PdfSurface() = default;

PdfSurface::ScaledFont* PdfSurface::scaledFont(const CairoFace& face, int32_t height) {
    for (const auto& font : scaledFonts_) {
        if (font->face == &face && font->height == height)
            return font.get();
    }
    auto font = std::make_unique<ScaledFont>();
    font->face = &face;
    font->height = height;
    const double em = face.emForHeight(height);
    font->unitScale = em / face.ftFace()->units_per_EM;
    font->baseline = face.baselineForHeight(height);
    cairo_matrix_t fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, em, em);
    cairo_matrix_t ctm;
    cairo_get_matrix(cr_, &ctm);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    font->scaled = cairo_scaled_font_create(face.get(), &fontMatrix, &ctm, options);
    cairo_font_options_destroy(options);
    scaledFonts_.push_back(std::move(font));
    return scaledFonts_.back().get();
}

SurfaceObject PdfSurface::createFont(int32_t height, const char* face) {
    const CairoFace& chosen = glyphFaceName_ == face ? glyphFace_ : labelFace_;
    if (!chosen.ok())
        return nullptr;
    auto* object = new Object{Object::Kind::Font, false};
    object->font = scaledFont(chosen, height);
    return object;
}

SurfaceObject PdfSurface::createRulePen() {
    return new Object{Object::Kind::Pen, false, nullptr, kRulePenWidth};
}

SurfaceObject PdfSurface::nullBrush() {
    return nullBrush_.get();
}

SurfaceObject PdfSurface::select(SurfaceObject handle) {
    auto* object = static_cast<Object*>(handle);
    Object*& slot = object->kind == Object::Kind::Font  ? font_
                    : object->kind == Object::Kind::Pen ? pen_
                                                        : brush_;
    Object* previous = slot;
    slot = object;
    return previous;
}

void PdfSurface::deleteObject(SurfaceObject handle) {
    auto* object = static_cast<Object*>(handle);
    if (object != nullptr && !object->stock)
        delete object;
}

void PdfSurface::addGlyph(FT_UInt glyph, char32_t character, double advance) {
    const size_t before = utf8_.size();
    appendUtf8(utf8_, character);
    if (glyph != 0) {
        glyphs_.push_back({glyph, penAdvance_, 0});
        clusters_.push_back({static_cast<int>(utf8_.size() - before), 1});
    } else {
        utf8_.resize(before);
    }
    penAdvance_ += advance;
}

// A glyph cell holds user-defined codes: each reaches its glyph through its
// PUA index, the mapping Windows gives code page 950.
void PdfSurface::collectCellGlyphs(const char* text, int length) {
    const ScaledFont& font = *font_->font;
    for (int i = 0; i + 1 < length; i += 2) {
        const auto code = static_cast<uint16_t>((static_cast<unsigned char>(text[i]) << 8) |
                                                static_cast<unsigned char>(text[i + 1]));
        const uint16_t index = codeToPuaIndex(code);
        const FT_UInt glyph = eudc_.glyphOfCode(code);
        const double advance = font.face->advance(glyph) * font.unitScale;
        if (index != kNoCode)
            addGlyph(glyph, kFirstPuaCodePoint + index, advance);
    }
}

void PdfSurface::collectLabelGlyphs(const char* text, int length) {
    const ScaledFont& font = *font_->font;
    const FT_Face face = font.face->ftFace();
    for (char32_t character : big5_.toUnicode(text, length)) {
        const FT_UInt glyph = FT_Get_Char_Index(face, character);
        addGlyph(glyph, character, font.face->advance(glyph) * font.unitScale);
    }
}

void PdfSurface::collectGlyphs(const ScaledFont& font, const char* text, int length) {
    glyphs_.clear();
    clusters_.clear();
    utf8_.clear();
    penAdvance_ = 0;
    if (font.face == &glyphFace_)
        collectCellGlyphs(text, length);
    else
        collectLabelGlyphs(text, length);
}

void PdfSurface::textOut(int32_t x, int32_t y, const char* text, int length) {
    if (font_->font == nullptr || length <= 0)
        return;
    const ScaledFont& font = *font_->font;
    collectGlyphs(font, text, length);
    if (glyphs_.empty())
        return;
    for (cairo_glyph_t& glyph : glyphs_) {
        glyph.x += x;
        glyph.y = -y + font.baseline;
    }
    cairo_set_scaled_font(cr_, font.scaled);
    cairo_show_text_glyphs(cr_, utf8_.data(), static_cast<int>(utf8_.size()), glyphs_.data(),
                           static_cast<int>(glyphs_.size()), clusters_.data(),
                           static_cast<int>(clusters_.size()), cairo_text_cluster_flags_t{});
}

void PdfSurface::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    cairo_rectangle(cr_, left, -top, right - left, top - bottom);
    if (!brush_->hollow) {
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_fill_preserve(cr_);
        cairo_set_source_rgb(cr_, 0, 0, 0);
    }
    cairo_set_line_width(cr_, pen_->penWidth);
    cairo_stroke(cr_);
}

void PdfSurface::moveTo(int32_t x, int32_t y) {
    penX_ = x;
    penY_ = y;
}

void PdfSurface::lineTo(int32_t x, int32_t y) {
    cairo_move_to(cr_, penX_, -penY_);
    cairo_line_to(cr_, x, -y);
    cairo_set_line_width(cr_, pen_->penWidth);
    cairo_stroke(cr_);
    moveTo(x, y);
}

int32_t PdfSurface::textWidth(const char* text, int length) {
    if (font_->font == nullptr || length <= 0)
        return 0;
    collectGlyphs(*font_->font, text, length);
    return static_cast<int32_t>(std::lround(penAdvance_));
}

} // namespace kestra
