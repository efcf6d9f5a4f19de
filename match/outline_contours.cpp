#include "match/outline_contours.h"

#include <algorithm>
#include <cmath>

namespace kestra::match {
namespace {

constexpr int kMostPiecesPerCurve = 16;

struct Walk {
    Contours* out;
    float tolerance;
    Point current;
    size_t contourStart;
};

Point pointOf(const FT_Vector* v) {
    return {static_cast<float>(v->x), static_cast<float>(v->y)};
}

// A quadratic's distance from its chord is at most a quarter of |a - 2b + c|;
// cut into n pieces it falls by n squared.
int piecesFor(Point a, Point b, Point c, float tolerance) {
    const float bend = std::hypot(a.x - 2 * b.x + c.x, a.y - 2 * b.y + c.y) / 4;
    const int pieces = static_cast<int>(std::ceil(std::sqrt(bend / tolerance)));
    return std::clamp(pieces, 1, kMostPiecesPerCurve);
}

void closeContour(Walk& walk) {
    Contours& out = *walk.out;
    // A contour that returns to its start point would count that edge twice.
    if (out.points.size() - walk.contourStart > 1) {
        const Point first = out.points[walk.contourStart];
        const Point last = out.points.back();
        if (first.x == last.x && first.y == last.y)
            out.points.pop_back();
    }
    if (out.points.size() > walk.contourStart)
        out.ends.push_back(out.points.size());
}

int moveTo(const FT_Vector* to, void* user) {
    auto& walk = *static_cast<Walk*>(user);
    if (walk.contourStart != static_cast<size_t>(-1))
        closeContour(walk);
    walk.contourStart = walk.out->points.size();
    walk.current = pointOf(to);
    walk.out->points.push_back(walk.current);
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    auto& walk = *static_cast<Walk*>(user);
    walk.current = pointOf(to);
    walk.out->points.push_back(walk.current);
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto& walk = *static_cast<Walk*>(user);
    const Point a = walk.current, b = pointOf(control), c = pointOf(to);
    const int pieces = piecesFor(a, b, c, walk.tolerance);
    for (int i = 1; i <= pieces; ++i) {
        const float t = static_cast<float>(i) / pieces, s = 1 - t;
        walk.out->points.push_back({s * s * a.x + 2 * s * t * b.x + t * t * c.x,
                                    s * s * a.y + 2 * s * t * b.y + t * t * c.y});
    }
    walk.current = c;
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    auto& walk = *static_cast<Walk*>(user);
    const Point a = walk.current, b = pointOf(control1), c = pointOf(control2), d = pointOf(to);
    const int pieces =
        std::max(piecesFor(a, b, c, walk.tolerance), piecesFor(b, c, d, walk.tolerance));
    for (int i = 1; i <= pieces; ++i) {
        const float t = static_cast<float>(i) / pieces, s = 1 - t;
        const float wa = s * s * s, wb = 3 * s * s * t, wc = 3 * s * t * t, wd = t * t * t;
        walk.out->points.push_back(
            {wa * a.x + wb * b.x + wc * c.x + wd * d.x, wa * a.y + wb * b.y + wc * c.y + wd * d.y});
    }
    walk.current = d;
    return 0;
}

} // namespace

bool flattenOutline(const FT_Outline& outline, float tolerance, Contours& out) {
    Walk walk{&out, tolerance, {0, 0}, static_cast<size_t>(-1)};
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    if (FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &walk) != 0)
        return false;
    if (walk.contourStart != static_cast<size_t>(-1))
        closeContour(walk);
    return true;
}

} // namespace kestra::match
