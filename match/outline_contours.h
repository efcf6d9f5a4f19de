// A glyph's outline as closed polygons: curves cut into short straight pieces.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <vector>

namespace kestra::match {

struct Point {
    float x;
    float y;
};

// The polygons one after another; contour k is points[ends[k-1]..ends[k]).
// Each polygon closes by itself (its last point joins its first).
struct Contours {
    std::vector<Point> points;
    std::vector<size_t> ends;

    void clear() {
        points.clear();
        ends.clear();
    }
};

// Appends the outline's contours to `out`, in the outline's own units; no
// point of a cut curve lies farther than `tolerance` from it. False when
// FreeType cannot walk the outline.
bool flattenOutline(const FT_Outline& outline, float tolerance, Contours& out);

} // namespace kestra::match
