#include "print/gdi_surface.h"

namespace kestra {

GdiSurface::GdiSurface(HDC output, HDC attributes)
    : output_(output), attributes_(attributes ? attributes : output) {}

SurfaceObject GdiSurface::createFont(int32_t height, const char* face) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face);
}

SurfaceObject GdiSurface::createRulePen() {
    return CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
}

SurfaceObject GdiSurface::nullBrush() {
    return GetStockObject(NULL_BRUSH);
}

SurfaceObject GdiSurface::select(SurfaceObject object) {
    HGDIOBJ displaced = nullptr;
    if (output_ != attributes_)
        displaced = SelectObject(output_, static_cast<HGDIOBJ>(object));
    if (attributes_)
        displaced = SelectObject(attributes_, static_cast<HGDIOBJ>(object));
    return displaced;
}

void GdiSurface::deleteObject(SurfaceObject object) {
    DeleteObject(static_cast<HGDIOBJ>(object));
}

void GdiSurface::textOut(int32_t x, int32_t y, const char* text, int length) {
    TextOutA(output_, x, y, text, length);
}

void GdiSurface::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Rectangle(output_, left, top, right, bottom);
}

void GdiSurface::moveTo(int32_t x, int32_t y) {
    MoveToEx(output_, x, y, nullptr);
}

void GdiSurface::lineTo(int32_t x, int32_t y) {
    LineTo(output_, x, y);
}

int32_t GdiSurface::textWidth(const char* text, int length) {
    SIZE size{};
    GetTextExtentPoint32A(attributes_, text, length, &size);
    return size.cx;
}

} // namespace kestra
