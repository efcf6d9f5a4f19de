// A PDF page as one more face of DrawSurface: cairo draws what the page
// renderer asks for, in page units (0.1 mm, y negative downwards) mapped by the
// transformation of the cairo context. Every text is real text: the labels
// carry their Unicode, and a glyph cell its PUA character.
//
// A page is hundreds of small texts and boxes, all opaque black and none over
// another, and cairo's cost is per drawing operation: so the surface gathers
// the texts of each font and the outlines of each pen width, and draws each
// group in one operation when the page is flushed (or before anything that
// paints over what came before).
#pragma once

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <vector>

#include "print/draw_surface.h"
#include "table/big5_text.h"

namespace kestra {

class EudcFont;

// A FreeType face as cairo draws it, with the metrics GDI would give a font
// of a given cell height.
class CairoFace {
  public:
    explicit CairoFace(FT_Face face);
    ~CairoFace();
    CairoFace(const CairoFace&) = delete;
    CairoFace& operator=(const CairoFace&) = delete;

    bool ok() const;
    cairo_font_face_t* get() const { return face_; }
    FT_Face ftFace() const { return ftFace_; }
    // A positive GDI height is the cell height, ascent and descent together.
    double emForHeight(int32_t height) const { return height * emPerCell_; }
    double baselineForHeight(int32_t height) const { return height * ascentPerCell_; }
    // Advance in font units; 0 for a glyph FreeType cannot measure.
    double advance(FT_UInt glyph) const;

  private:
    FT_Face ftFace_;
    cairo_font_face_t* face_;
    double emPerCell_ = 1.0;
    double ascentPerCell_ = 0.8;
};

class PdfSurface : public DrawSurface {
  public:
    // glyphFaceName is the Big5 face name in which the renderer draws the
    // glyph cells; every other face draws in the label font.
    PdfSurface(cairo_t* cr, const EudcFont& eudc, const CairoFace& glyphFace,
               const CairoFace& labelFace, std::string glyphFaceName);
    ~PdfSurface() override;

    SurfaceObject createFont(int32_t height, const char* face) override;
    SurfaceObject createRulePen() override;
    SurfaceObject nullBrush() override;
    SurfaceObject select(SurfaceObject object) override;
    void deleteObject(SurfaceObject object) override;
    void textOut(int32_t x, int32_t y, const char* text, int length) override;
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    int32_t textWidth(const char* text, int length) override;

    // Draws everything gathered so far; before the page is shown.
    void flush();

    struct Object;
    struct ScaledFont;
    struct TextRun;

  private:
    struct Stroke {
        double width;
        bool box;
        double x0, y0, x1, y1;
    };

    ScaledFont* scaledFont(const CairoFace& face, int32_t height);
    double layOutText(const ScaledFont& font, const char* text, int length, double x, double y,
                      TextRun* run);
    double layOutCells(const ScaledFont& font, const char* text, int length, double x, double y,
                       TextRun* run);
    void flushStrokes();
    void flushTexts();

    cairo_t* cr_;
    const EudcFont& eudc_;
    const CairoFace& glyphFace_;
    const CairoFace& labelFace_;
    std::string glyphFaceName_;
    Big5Text big5_;

    std::vector<std::unique_ptr<ScaledFont>> scaledFonts_;
    std::unique_ptr<Object> defaultFont_;
    std::unique_ptr<Object> defaultPen_;
    std::unique_ptr<Object> whiteBrush_;
    std::unique_ptr<Object> nullBrush_;
    Object* font_;
    Object* pen_;
    Object* brush_;
    int32_t penX_ = 0;
    int32_t penY_ = 0;
    std::vector<Stroke> strokes_;
};

} // namespace kestra
