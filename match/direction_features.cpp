#include "match/direction_features.h"

#include <algorithm>
#include <cmath>

namespace kestra::match {
namespace {

// Edges are followed in pieces this long (in the unit square): a quarter of a
// zone, short enough that a piece's middle stands for the whole piece.
constexpr float kPieceLength = 1.0f / (2 * kZones);
constexpr float kHalfSqrt2 = 0.70710678f;

// Twice the signed area: negative when the outer contours run clockwise, as
// TrueType's do (ink on the right of the direction of travel).
double twiceSignedArea(const Contours& contours) {
    double area = 0;
    forEachEdge(contours, [&](Point a, Point b) {
        area += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    });
    return area;
}

// Shares a piece's length between the two nearest of the eight directions
// (0 = right, counter-clockwise in 45-degree steps), so that the sum of the
// two direction vectors, weighted, is the piece itself.
void splitDirection(float dx, float dy, int& first, float& firstShare, float& secondShare) {
    // Turn into the first octant, counting the turns.
    int turns = 0;
    if (dy < 0) {
        dx = -dx;
        dy = -dy;
        turns = 4;
    }
    if (dx <= 0) {
        const float t = dx;
        dx = dy;
        dy = -t;
        turns += 2;
    }
    if (dy > dx) {
        // Between 45 and 90 degrees: against the diagonal and the vertical.
        first = turns + 1;
        firstShare = dx / kHalfSqrt2;
        secondShare = dy - dx;
        return;
    }
    first = turns;
    firstShare = dx - dy;
    secondShare = dy / kHalfSqrt2;
}

void addPiece(RawFeatures& out, Point middle, float dx, float dy) {
    int first;
    float firstShare, secondShare;
    splitDirection(dx, dy, first, firstShare, secondShare);
    const int second = (first + 1) % kDirections;
    // Zone centres sit at (k + 0.5) / kZones; a piece is shared between the
    // four nearest, linearly (pieces past the outer centres go to the edge).
    const float u = std::clamp(middle.x * kZones - 0.5f, 0.0f, kZones - 1.0f);
    const float v = std::clamp(middle.y * kZones - 0.5f, 0.0f, kZones - 1.0f);
    const int iu = std::min(static_cast<int>(u), kZones - 2);
    const int iv = std::min(static_cast<int>(v), kZones - 2);
    const float fu = u - iu, fv = v - iv;
    const float weights[4] = {(1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv};
    const int zones[4] = {iv * kZones + iu, iv * kZones + iu + 1, (iv + 1) * kZones + iu,
                          (iv + 1) * kZones + iu + 1};
    for (int k = 0; k < 4; ++k) {
        float* cell = out.data() + zones[k] * kDirections;
        cell[first] += weights[k] * firstShare;
        cell[second] += weights[k] * secondShare;
    }
}

void addEdge(RawFeatures& out, const ShapeNormalisation& placement, Point from, Point to,
             float sense) {
    Point a = placement.place(from);
    const Point end = placement.place(to);
    const float length = std::sqrt((end.x - a.x) * (end.x - a.x) + (end.y - a.y) * (end.y - a.y));
    const int pieces = static_cast<int>(length * (1 / kPieceLength)) + 1;
    for (int k = 1; k <= pieces; ++k) {
        const float t = static_cast<float>(k) / pieces;
        const Point b =
            k == pieces
                ? end
                : placement.place({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
        const float dx = (b.x - a.x) * sense, dy = (b.y - a.y) * sense;
        if (dx != 0 || dy != 0)
            addPiece(out, {(a.x + b.x) / 2, (a.y + b.y) / 2}, dx, dy);
        a = b;
    }
}

} // namespace

void directionFeatures(const Contours& contours, const ShapeNormalisation& placement,
                       RawFeatures& out) {
    out.fill(0);
    const float sense = twiceSignedArea(contours) <= 0 ? 1.0f : -1.0f;
    forEachEdge(contours, [&](Point from, Point to) { addEdge(out, placement, from, to, sense); });
    float squares = 0;
    for (float& value : out) {
        value = std::sqrt(value);
        squares += value * value;
    }
    const float scale = squares > 0 ? 1 / std::sqrt(squares) : 0;
    for (float& value : out)
        value *= scale;
}

} // namespace kestra::match
