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

// Glyphs positioned on the page with the text they stand for, one glyph to
// each character.
struct PdfSurface::TextRun {
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
    std::string utf8;

    void add(FT_UInt glyph, char32_t character, double x, double y) {
        const size_t before = utf8.size();
        appendUtf8(utf8, character);
        glyphs.push_back({glyph, x, y});
        clusters.push_back({static_cast<int>(utf8.size() - before), 1});
    }
    void clear() {
        glyphs.clear();
        clusters.clear();
        utf8.clear();
    }
};

struct PdfSurface::ScaledFont {
    const CairoFace* face = nullptr;
    int32_t height = 0;
    cairo_scaled_font_t* scaled = nullptr;
    double unitScale = 0; // page units per font unit
    double baseline = 0;  // below the top of the text
    TextRun pending;      // drawn at the next flush
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

// A glyph cell holds user-defined codes: each reaches its glyph through its
// PUA index, the mapping Windows gives code page 950. A code the font does
// not map takes its place but shows nothing.
double PdfSurface::layOutCells(const ScaledFont& font, const char* text, int length, double x,
                               double y, TextRun* run) {
    double advance = 0;
    for (int i = 0; i + 1 < length; i += 2) {
        const auto code = static_cast<uint16_t>((static_cast<unsigned char>(text[i]) << 8) |
                                                static_cast<unsigned char>(text[i + 1]));
        const uint16_t index = codeToPuaIndex(code);
        const FT_UInt glyph = eudc_.glyphOfCode(code);
        if (run != nullptr && glyph != 0 && index != kNoCode)
            run->add(glyph, kFirstPuaCodePoint + index, x + advance, y);
        advance += font.face->advance(glyph) * font.unitScale;
    }
    return advance;
}

// Lays the text out from (x, y), the top left, into run when one is given;
// returns its advance.
double PdfSurface::layOutText(const ScaledFont& font, const char* text, int length, double x,
                              double y, TextRun* run) {
    const double baseline = -y + font.baseline;
    if (font.face == &glyphFace_)
        return layOutCells(font, text, length, x, baseline, run);
    const FT_Face face = font.face->ftFace();
    double advance = 0;
    for (char32_t character : big5_.toUnicode(text, length)) {
        const FT_UInt glyph = FT_Get_Char_Index(face, character);
        if (run != nullptr && glyph != 0)
            run->add(glyph, character, x + advance, baseline);
        advance += font.face->advance(glyph) * font.unitScale;
    }
    return advance;
}

void PdfSurface::textOut(int32_t x, int32_t y, const char* text, int length) {
    if (font_->font == nullptr || length <= 0)
        return;
    layOutText(*font_->font, text, length, x, y, &font_->font->pending);
}

void PdfSurface::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (brush_->hollow) {
        strokes_.push_back(
            {pen_->penWidth, true, double(left), double(-top), double(right), double(-bottom)});
        return;
    }
    // A filled box covers what came before it: that must be on the page first.
    flush();
    cairo_rectangle(cr_, left, -top, right - left, top - bottom);
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_fill_preserve(cr_);
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_set_line_width(cr_, pen_->penWidth);
    cairo_stroke(cr_);
}

void PdfSurface::moveTo(int32_t x, int32_t y) {
    penX_ = x;
    penY_ = y;
}

void PdfSurface::lineTo(int32_t x, int32_t y) {
    strokes_.push_back(
        {pen_->penWidth, false, double(penX_), double(-penY_), double(x), double(-y)});
    moveTo(x, y);
}

int32_t PdfSurface::textWidth(const char* text, int length) {
    if (font_->font == nullptr || length <= 0)
        return 0;
    return static_cast<int32_t>(std::lround(layOutText(*font_->font, text, length, 0, 0, nullptr)));
}

void PdfSurface::flush() {
    flushStrokes();
    flushTexts();
}

// One path and one stroke for each pen width.
void PdfSurface::flushStrokes() {
    while (!strokes_.empty()) {
        const double width = strokes_.front().width;
        std::vector<Stroke> others;
        for (const Stroke& stroke : strokes_) {
            if (stroke.width != width) {
                others.push_back(stroke);
            } else if (stroke.box) {
                cairo_rectangle(cr_, stroke.x0, stroke.y0, stroke.x1 - stroke.x0,
                                stroke.y1 - stroke.y0);
            } else {
                cairo_move_to(cr_, stroke.x0, stroke.y0);
                cairo_line_to(cr_, stroke.x1, stroke.y1);
            }
        }
        cairo_set_line_width(cr_, width);
        cairo_stroke(cr_);
        strokes_.swap(others);
    }
}

void PdfSurface::flushTexts() {
    for (const auto& font : scaledFonts_) {
        TextRun& run = font->pending;
        if (run.glyphs.empty())
            continue;
        cairo_set_scaled_font(cr_, font->scaled);
        cairo_show_text_glyphs(cr_, run.utf8.data(), static_cast<int>(run.utf8.size()),
                               run.glyphs.data(), static_cast<int>(run.glyphs.size()),
                               run.clusters.data(), static_cast<int>(run.clusters.size()),
                               cairo_text_cluster_flags_t{});
        run.clear();
    }
}

} // namespace kestra
