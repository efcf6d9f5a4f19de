// A PDF page as one more face of DrawSurface: what the page renderer draws
// becomes the few PDF operators it needs (texts, boxes, lines) in the page's
// content stream, in page units (0.1 mm, y negative downwards) mapped to the
// paper by the page's matrix. Every text is real text: each glyph carries the
// character it stands for, a glyph cell its PUA character.
//
// As Windows draws a face with its linked EUDC font, every font draws the
// user-defined codes from the EUDC font file and every other character from
// the label font; a font's height is all that sets it apart. Faces added by
// name draw more: a font created with such a name draws the escaped
// characters (see kUnicodeEscape) from that face. Fallback faces draw the
// escaped characters that the label font lacks.
//
// A page is hundreds of small texts and boxes, all opaque black and none over
// another: the surface gathers the texts of each font and the outlines of
// each pen width and writes each group once, when the page is taken (or
// before anything that paints over what came before).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "print/draw_surface.h"
#include "table/text/big5_text.h"
#include "table/fonts/font_subset.h"

namespace kestra {

class EudcFont;

// Where page units land on the paper, in points from its bottom left.
struct PageMatrix {
    double pointsPerUnit = 1;
    double originX = 0; // the top left of the printable area
    double originY = 0;
};

class PdfSurface : public DrawSurface {
  public:
    PdfSurface(const EudcFont& eudc, FontSubset& eudcFont, FontSubset& labelFont,
               PageMatrix matrix);
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

    // The content stream of everything drawn since the last page was taken.
    std::string takePage();

    // The glyph a face draws for a character it does not map itself, under
    // another code point that stands for the same character; 0 for none.
    using AlternativeGlyph = std::function<FT_UInt(char32_t character)>;

    // A face that createFont knows by name; the subset must outlive the
    // surface's pages.
    void addFace(const std::string& name, FontSubset& font, AlternativeGlyph alternative = {});
    // A face for the escaped characters the label font lacks, tried in the
    // order added, after the named faces.
    void addFallbackFace(FontSubset& font);
    // The resource name under which the page content uses the k-th face
    // added, named or fallback.
    static std::string faceResourceName(size_t k);

    // The resource names under which the page content uses the label and the
    // EUDC font.
    static constexpr char kEudcFontName[] = "E";
    static constexpr char kLabelFontName[] = "L";

    struct Object;
    struct TextGroup;

  private:
    struct Stroke {
        double width;
        bool box;
        int32_t x0, y0, x1, y1;
    };
    // Fonts by number: the label font, the EUDC font, then the added faces.
    static constexpr int kLabelFont = 0;
    static constexpr int kEudcFont = 1;
    static constexpr int kFirstAddedFace = 2;

    struct Glyph {
        int font;
        FT_UInt glyph;
        char32_t character;
    };
    struct NamedFace {
        std::string name; // empty for a fallback face
        FontSubset* font;
        AlternativeGlyph alternative;
    };

    static FT_UInt glyphOfAddedFace(const NamedFace& face, char32_t character);
    FontSubset& fontOf(int font) const;
    std::string resourceNameOf(int font) const;
    TextGroup* textGroup(int font, int32_t height);
    void glyphsOf(const char* text, int length, int face);
    void spellEscaped(char32_t character, int face);
    double layOut(const Object& font, const char* text, int length, double x, double y, bool draw);
    void flush();
    void flushStrokes();
    void flushTexts();

    const EudcFont& eudc_;
    FontSubset& eudcFont_;
    FontSubset& labelFont_;
    std::vector<NamedFace> faces_;
    Big5Text big5_;
    std::string content_;

    std::vector<std::unique_ptr<TextGroup>> textGroups_;
    std::vector<Glyph> glyphs_; // of the text being laid out
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
    std::string prologue_;
};

} // namespace kestra
