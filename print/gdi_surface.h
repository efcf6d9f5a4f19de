// The page drawing's surface on a real device context. Output and attributes
// may be two DCs, as in print preview: the page goes to a metafile while the
// printer answers for text extents, so the page is laid out as on paper.
#pragma once

#include <windows.h>

#include "print/draw_surface.h"

namespace kestra {

class GdiSurface : public DrawSurface {
  public:
    // attributes null: the output DC answers for itself. Neither DC is owned.
    explicit GdiSurface(HDC output, HDC attributes = nullptr);

    SurfaceObject createFont(int32_t height, const char* face) override;
    SurfaceObject createRulePen() override;
    SurfaceObject nullBrush() override;
    // Selects into both DCs; returns what the attribute DC gave up.
    SurfaceObject select(SurfaceObject object) override;
    void deleteObject(SurfaceObject object) override;
    void textOut(int32_t x, int32_t y, const char* text, int length) override;
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    int32_t textWidth(const char* text, int length) override;

  private:
    HDC output_;
    HDC attributes_;
};

} // namespace kestra
