// Where each point of a glyph goes in the unit square the features are taken
// in: placed by the glyph's own shape, never by the font's metrics, so that the
// same character from two fonts lands alike.
//
// Each axis is stretched by the glyph's line density (how many strokes a line
// across the glyph meets, and how close together): crowded parts are widened,
// empty ones narrowed. Typefaces differ most in the proportions of a
// character's parts (a Kai 口 is narrower than a Ming one beside the same
// right part); evening out the spacing of the strokes takes most of that away.
// A share of the stretch stays linear, so a glyph with one stroke on an axis
// keeps its shape.
#pragma once

#include <array>

#include "match/outline_contours.h"

namespace kestra::match {

class ShapeNormalisation {
  public:
    static constexpr int kSteps = 32;

    // False for a glyph with no area (no contour, or all on one line).
    bool fit(const Contours& contours);

    // Into [0, 1] on the longer axis of the ink box; the shorter is centred.
    Point place(Point p) const { return {x_.place(p.x), y_.place(p.y)}; }

  private:
    // A monotone piecewise-linear map of [low, high] onto [outLow, outHigh].
    struct AxisMap {
        float low = 0;
        float scale = 0; // steps per unit
        float outLow = 0;
        float outSpan = 0;
        std::array<float, kSteps + 1> at{}; // cumulative share at each step, 0 .. 1

        float place(float v) const;
    };

    struct Box {
        float left, bottom, right, top;
    };
    static Box inkBox(const Contours& contours);
    static void spreadGaps(const Contours& contours, const Box& box, bool across,
                           std::array<float, kSteps>& density);
    static void setMap(AxisMap& map, float low, float high,
                       const std::array<float, kSteps>& density, float outLow, float outSpan);

    AxisMap x_;
    AxisMap y_;
};

} // namespace kestra::match
