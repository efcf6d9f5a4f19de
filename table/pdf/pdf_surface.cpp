#include "table/pdf/pdf_surface.h"

#include <cmath>
#include <cstdio>

#include "eudc/code_space.h"
#include "table/fonts/font_files.h"
#include "table/pdf/pdf_numbers.h"
#include "table/pdf/pdf_syntax.h"

namespace kestra {
namespace {

constexpr char32_t kFirstPuaCodePoint = 0xE000;
// The device context's own pen, which draws the glyph boxes, is one device
// pixel wide at any scale: PDF's line width 0, the thinnest line a device
// draws. The rule pen is 3 page units (0.3 mm) wide.
constexpr double kDefaultPenWidth = 0;
constexpr double kRulePenWidth = 3.0;
constexpr int kSizeDecimals = 6;

void appendBox(std::string& out, int32_t left, int32_t bottom, int32_t right, int32_t top) {
    appendPdfNumber(out, left);
    out += ' ';
    appendPdfNumber(out, bottom);
    out += ' ';
    appendPdfNumber(out, right - left);
    out += ' ';
    appendPdfNumber(out, top - bottom);
    out += " re";
}

void appendLine(std::string& out, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    appendPdfNumber(out, x0);
    out += ' ';
    appendPdfNumber(out, y0);
    out += " m ";
    appendPdfNumber(out, x1);
    out += ' ';
    appendPdfNumber(out, y1);
    out += " l\n";
}

} // namespace

struct PdfSurface::Object {
    enum class Kind { Font, Pen, Brush } kind;
    bool stock;
    int32_t fontHeight = 0; // 0 for the device context's own font: draws nothing
    double penWidth = 0;
    bool hollow = false;
    int face = -1; // of the added faces; -1 for none
};

// The texts of one font at one height, as text operators, waiting for the
// page to be taken. Each run moves from the start of the one before it.
struct PdfSurface::TextGroup {
    int font;
    int32_t height;
    std::string operators;
    double lastX = 0;
    double lastY = 0;

    void startRun(double x, double y) {
        if (!operators.empty())
            operators += ">Tj\n";
        appendPdfNumber(operators, x - lastX);
        operators += ' ';
        appendPdfNumber(operators, y - lastY);
        operators += " Td<";
        lastX = x;
        lastY = y;
    }
};

PdfSurface::PdfSurface(const EudcFont& eudc, FontSubset& eudcFont, FontSubset& labelFont,
                       PageMatrix matrix)
    : eudc_(eudc), eudcFont_(eudcFont), labelFont_(labelFont),
      defaultFont_(new Object{Object::Kind::Font, true}),
      defaultPen_(new Object{Object::Kind::Pen, true, 0, kDefaultPenWidth}),
      whiteBrush_(new Object{Object::Kind::Brush, true}),
      nullBrush_(new Object{Object::Kind::Brush, true}) {
    nullBrush_->hollow = true;
    font_ = defaultFont_.get();
    pen_ = defaultPen_.get();
    brush_ = whiteBrush_.get();
    // Page units from the top left of the printable area, y upwards as in PDF;
    // lines end in square caps, as GDI's geometric pens do.
    constexpr int kMatrixDecimals = 6;
    appendPdfNumber(prologue_, matrix.pointsPerUnit, kMatrixDecimals);
    prologue_ += " 0 0 ";
    appendPdfNumber(prologue_, matrix.pointsPerUnit, kMatrixDecimals);
    prologue_ += ' ';
    appendPdfNumber(prologue_, matrix.originX, kMatrixDecimals);
    prologue_ += ' ';
    appendPdfNumber(prologue_, matrix.originY, kMatrixDecimals);
    prologue_ += " cm 2 J\n";
}

PdfSurface::~PdfSurface() = default;

SurfaceObject PdfSurface::createFont(int32_t height, const char* face) {
    if (height <= 0)
        return nullptr;
    auto* object = new Object{Object::Kind::Font, false};
    object->fontHeight = height;
    for (size_t k = 0; k < faces_.size() && face != nullptr; ++k) {
        if (!faces_[k].name.empty() && faces_[k].name == face)
            object->face = static_cast<int>(k);
    }
    return object;
}

SurfaceObject PdfSurface::createRulePen() {
    return new Object{Object::Kind::Pen, false, 0, kRulePenWidth};
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

void PdfSurface::addFace(const std::string& name, FontSubset& font, AlternativeGlyph alternative) {
    faces_.push_back({name, &font, std::move(alternative)});
}

void PdfSurface::addFallbackFace(FontSubset& font) {
    faces_.push_back({std::string(), &font, {}});
}

std::string PdfSurface::faceResourceName(size_t k) {
    std::string name = "R";
    return name += std::to_string(k);
}

FontSubset& PdfSurface::fontOf(int font) const {
    return font == kLabelFont  ? labelFont_
           : font == kEudcFont ? eudcFont_
                               : *faces_[static_cast<size_t>(font - kFirstAddedFace)].font;
}

std::string PdfSurface::resourceNameOf(int font) const {
    return font == kLabelFont  ? kLabelFontName
           : font == kEudcFont ? kEudcFontName
                               : faceResourceName(static_cast<size_t>(font - kFirstAddedFace));
}

PdfSurface::TextGroup* PdfSurface::textGroup(int font, int32_t height) {
    for (const auto& group : textGroups_) {
        if (group->font == font && group->height == height)
            return group.get();
    }
    textGroups_.push_back(std::make_unique<TextGroup>(TextGroup{font, height, {}}));
    return textGroups_.back().get();
}

// The glyphs of Big5 text: a user-defined code reaches its glyph through its
// PUA index, the mapping Windows gives code page 950; every other character
// is the label font's, and an escaped character the added face's when the
// font is of one. A character a font does not map takes its place but shows
// nothing.
void PdfSurface::glyphsOf(const char* text, int length, int face) {
    glyphs_.clear();
    for (int i = 0; i < length;) {
        if (const char32_t escaped = escapedCharacter(text + i, length - i)) {
            spellEscaped(escaped, face);
            i += kUnicodeEscapeLength;
            continue;
        }
        const auto lead = static_cast<unsigned char>(text[i]);
        const int width = characterLength(text + i, length - i);
        const auto code = static_cast<uint16_t>(
            width == 2 ? (lead << 8) | static_cast<unsigned char>(text[i + 1]) : lead);
        if (width == 2 && isEudcCode(code)) {
            glyphs_.push_back(
                {kEudcFont, eudc_.glyphOfCode(code), kFirstPuaCodePoint + codeToPuaIndex(code)});
        } else {
            const char32_t character = lead < 0x80 ? lead : big5_.toUnicode(text + i, width)[0];
            glyphs_.push_back({kLabelFont, labelFont_.glyphOf(character), character});
        }
        i += width;
    }
}

FT_UInt PdfSurface::glyphOfAddedFace(const NamedFace& face, char32_t character) {
    const FT_UInt glyph = face.font->glyphOf(character);
    return glyph != 0 || !face.alternative ? glyph : face.alternative(character);
}

// An escaped character: the added face's glyph in a font of one, else the
// label font's or a fallback face's, or where none has it its code point,
// "U+AC00", which reads and copies as something that names it.
void PdfSurface::spellEscaped(char32_t character, int face) {
    const FT_UInt faceGlyph =
        face >= 0 ? glyphOfAddedFace(faces_[static_cast<size_t>(face)], character) : 0;
    if (faceGlyph != 0) {
        glyphs_.push_back({kFirstAddedFace + face, faceGlyph, character});
        return;
    }
    if (const FT_UInt glyph = labelFont_.glyphOf(character)) {
        glyphs_.push_back({kLabelFont, glyph, character});
        return;
    }
    for (size_t k = 0; k < faces_.size(); ++k) {
        const FT_UInt glyph = faces_[k].name.empty() ? faces_[k].font->glyphOf(character) : 0;
        if (glyph != 0) {
            glyphs_.push_back({kFirstAddedFace + static_cast<int>(k), glyph, character});
            return;
        }
    }
    for (const char c : codePointName(character))
        glyphs_.push_back({kLabelFont, labelFont_.glyphOf(static_cast<unsigned char>(c)),
                           static_cast<char32_t>(c)});
}

// Lays the text out from (x, y), its top left; draws it when asked, and
// returns its advance. A glyph that shows nothing ends the run it is in.
double PdfSurface::layOut(const Object& selected, const char* text, int length, double x, double y,
                          bool draw) {
    const int32_t height = selected.fontHeight;
    glyphsOf(text, length, selected.face);
    double advance = 0;
    TextGroup* run = nullptr;
    for (const Glyph& glyph : glyphs_) {
        FontSubset& font = fontOf(glyph.font);
        const uint16_t code =
            draw && glyph.glyph != 0 ? font.codeOf(glyph.glyph, glyph.character) : 0;
        if (code == 0) {
            run = nullptr;
        } else {
            TextGroup* group = textGroup(glyph.font, height);
            if (run != group) {
                run = group;
                run->startRun(x + advance, y - font.baselineForHeight(height));
            }
            appendHex(run->operators, code, 4);
        }
        advance += font.advance(glyph.glyph) * font.unitScale(height);
    }
    return advance;
}

void PdfSurface::textOut(int32_t x, int32_t y, const char* text, int length) {
    if (font_->fontHeight <= 0 || length <= 0)
        return;
    layOut(*font_, text, length, x, y, true);
}

void PdfSurface::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (brush_->hollow) {
        strokes_.push_back({pen_->penWidth, true, left, bottom, right, top});
        return;
    }
    // A filled box covers what came before it: that must be on the page first.
    flush();
    appendPdfNumber(content_, pen_->penWidth);
    content_ += " w 1 g ";
    appendBox(content_, left, bottom, right, top);
    content_ += " B 0 g\n";
}

void PdfSurface::moveTo(int32_t x, int32_t y) {
    penX_ = x;
    penY_ = y;
}

void PdfSurface::lineTo(int32_t x, int32_t y) {
    strokes_.push_back({pen_->penWidth, false, penX_, penY_, x, y});
    moveTo(x, y);
}

int32_t PdfSurface::textWidth(const char* text, int length) {
    if (font_->fontHeight <= 0 || length <= 0)
        return 0;
    return static_cast<int32_t>(std::lround(layOut(*font_, text, length, 0, 0, false)));
}

std::string PdfSurface::takePage() {
    flush();
    std::string page = prologue_ + content_;
    content_.clear();
    return page;
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
        appendPdfNumber(content_, width);
        content_ += " w\n";
        for (const Stroke& stroke : strokes_) {
            if (stroke.width != width) {
                others.push_back(stroke);
            } else if (stroke.box) {
                appendBox(content_, stroke.x0, stroke.y0, stroke.x1, stroke.y1);
                content_ += '\n';
            } else {
                appendLine(content_, stroke.x0, stroke.y0, stroke.x1, stroke.y1);
            }
        }
        content_ += "S\n";
        strokes_.swap(others);
    }
}

void PdfSurface::flushTexts() {
    for (const auto& group : textGroups_) {
        if (group->operators.empty())
            continue;
        FontSubset& font = fontOf(group->font);
        content_ += "BT/";
        content_ += resourceNameOf(group->font);
        content_ += ' ';
        // The size multiplies every advance of a line: a header's last
        // character would be off by a tenth of a point at three decimals.
        appendPdfNumber(content_, font.emForHeight(group->height), kSizeDecimals);
        content_ += " Tf\n";
        content_ += group->operators;
        content_ += ">Tj ET\n";
        group->operators.clear();
        group->lastX = 0;
        group->lastY = 0;
    }
}

} // namespace kestra
