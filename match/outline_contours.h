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

// Calls visit(a, b) for each edge of each polygon in turn, its closing edge
// (from the last point back to the first) last.
template <typename Visit> void forEachEdge(const Contours& contours, Visit&& visit) {
    size_t start = 0;
    for (size_t end : contours.ends) {
        for (size_t i = start; i < end; ++i)
            visit(contours.points[i], contours.points[i + 1 < end ? i + 1 : start]);
        start = end;
    }
}

// Appends the outline's contours to `out`, in the outline's own units; no
// point of a cut curve lies farther than `tolerance` from it. False when
// FreeType cannot walk the outline.
bool flattenOutline(const FT_Outline& outline, float tolerance, Contours& out);

} // namespace kestra::match
