// One printed page as the ordered GDI calls that draw it: recorded once from
// the page drawing, then replayed with nothing but GDI. A job replayed this way
// is the floor against which the program's own printing is measured: the same
// text, boxes and rules at the same places, with no framework around them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "print/draw_surface.h"

namespace floorbench {

enum class Step : uint8_t {
    CreateFont,    // object a: height b, face text
    CreateRulePen, // object a
    NullBrush,     // object a
    Select,        // object a, displacing object b
    Delete,        // object a
    Text,          // at (a, b): text
    Rectangle,     // (a, b) to (c, d)
    MoveTo,        // (a, b)
    LineTo,        // (a, b)
};

struct PageStep {
    PageStep(Step what, int32_t a_ = 0, int32_t b_ = 0, int32_t c_ = 0, int32_t d_ = 0,
             std::string text_ = {})
        : step(what), a(a_), b(b_), c(c_), d(d_), text(std::move(text_)) {}

    Step step;
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;
    int32_t d = 0;
    std::string text;
};

using PageScript = std::vector<PageStep>;

// Records the page drawing's calls in order. The centred header and footer
// need text widths: they are measured on `measuring`, a DC on the printer in
// the page's mapping mode, so the recorded places are the printer's.
class PageRecorder : public kestra::DrawSurface {
  public:
    explicit PageRecorder(HDC measuring);

    kestra::SurfaceObject createFont(int32_t height, const char* face) override;
    kestra::SurfaceObject createRulePen() override;
    kestra::SurfaceObject nullBrush() override;
    kestra::SurfaceObject select(kestra::SurfaceObject object) override;
    void deleteObject(kestra::SurfaceObject object) override;
    void textOut(int32_t x, int32_t y, const char* text, int length) override;
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    int32_t textWidth(const char* text, int length) override;

    PageScript take() { return std::move(script_); }

  private:
    enum class Kind { Font, Pen, Brush };
    struct Object {
        explicit Object(Kind k, int32_t h = 0, std::string f = {})
            : kind(k), height(h), face(std::move(f)) {}
        Kind kind;
        int32_t height;
        std::string face;
    };
    int32_t add(Object object);
    static int32_t idOf(kestra::SurfaceObject object);
    static kestra::SurfaceObject handleOf(int32_t id);

    HDC measuring_;
    std::vector<Object> objects_; // id - 1
    std::map<Kind, int32_t> selected_;
    int32_t nullBrush_;
    PageScript script_;
};

// Whether the replay keeps the fonts and the pen for the whole job (as a
// hand-written program would) or makes and deletes them page by page exactly
// as recorded.
enum class ObjectLifetime { Job, Page };

// Plays pages onto one DC; every object it made is deleted when it dies.
class PageReplayer {
  public:
    PageReplayer(HDC dc, ObjectLifetime lifetime);
    ~PageReplayer();
    PageReplayer(const PageReplayer&) = delete;
    PageReplayer& operator=(const PageReplayer&) = delete;

    void play(const PageScript& page);

  private:
    HGDIOBJ fontFor(const PageStep& step);
    HGDIOBJ rulePen();
    HGDIOBJ& slot(int32_t id);
    void release(int32_t id);

    HDC dc_;
    ObjectLifetime lifetime_;
    std::map<std::pair<int32_t, std::string>, HFONT> fonts_;
    HPEN pen_ = nullptr;
    std::vector<HGDIOBJ> handles_; // by recorded id
};

} // namespace floorbench
