#include "match/shape_normalisation.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestra::match {
namespace {

// Lines across the glyph, per axis, that measure its density.
constexpr int kDensityLines = 32;
// The share of each axis's stretch that stays linear: measured on glyphs of
// Kai and Ming typefaces against Ming references, 0.3 recognised more than
// 0.5 and than a stretch by moments alone.
constexpr float kLinearShare = 0.3f;

// std::ceil without SSE4.1 is a call; this is two instructions.
int ceilOf(float v) {
    const int truncated = static_cast<int>(v);
    return truncated < v ? truncated + 1 : truncated;
}

// Adds one unit spread evenly over [from, to) (in steps) to the density: the
// ends' partial steps directly, the whole steps between as a difference (a
// step-up at the first, a step-down after the last), summed up afterwards.
void spreadEvenly(std::array<float, ShapeNormalisation::kSteps>& partial,
                  std::array<float, ShapeNormalisation::kSteps + 1>& steps, float from, float to) {
    const float perStep = 1 / (to - from);
    const int first = std::clamp(static_cast<int>(from), 0, ShapeNormalisation::kSteps - 1);
    const int last = std::clamp(static_cast<int>(to), 0, ShapeNormalisation::kSteps - 1);
    if (first == last) {
        partial[first] += 1;
        return;
    }
    partial[first] += (first + 1 - from) * perStep;
    partial[last] += (to - last) * perStep;
    steps[first + 1] += perStep;
    steps[last] -= perStep;
}

} // namespace

ShapeNormalisation::Box ShapeNormalisation::inkBox(const Contours& contours) {
    Box box{contours.points[0].x, contours.points[0].y, contours.points[0].x, contours.points[0].y};
    for (const Point& p : contours.points) {
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.bottom = std::min(box.bottom, p.y);
        box.top = std::max(box.top, p.y);
    }
    return box;
}

float ShapeNormalisation::AxisMap::place(float v) const {
    const float s = std::clamp((v - low) * scale, 0.0f, static_cast<float>(kSteps));
    const int i = std::min(static_cast<int>(s), kSteps - 1);
    const float f = s - i;
    return outLow + outSpan * (at[i] + (at[i + 1] - at[i]) * f);
}

// Each gap between two strokes on a line across the glyph adds one unit of
// density spread over the gap: the closer the strokes, the denser. The lines
// run across the axis being measured (`across`: lines at fixed y, measuring x).
void ShapeNormalisation::spreadGaps(const Contours& contours, const Box& box, bool across,
                                    std::array<float, kSteps>& density) {
    const float low = across ? box.left : box.bottom;
    const float high = across ? box.right : box.top;
    const float lineLow = across ? box.bottom : box.left;
    const float linesPerUnit = kDensityLines / ((across ? box.top : box.right) - lineLow);
    const float toSteps = kSteps / (high - low);
    // Each line's crossings, gathered in one buffer: counted first, then placed.
    thread_local std::vector<float> crossings;
    std::array<int, kDensityLines + 1> starts{};
    auto linesOf = [&](Point a, Point b, int& first, int& last) {
        // Line k lies at lineLow + (k + 0.5) / linesPerUnit; an edge takes
        // the lines in [lo, hi).
        const float a1 = ((across ? a.y : a.x) - lineLow) * linesPerUnit - 0.5f;
        const float b1 = ((across ? b.y : b.x) - lineLow) * linesPerUnit - 0.5f;
        first = std::max(0, ceilOf(std::min(a1, b1)));
        last = std::min(kDensityLines - 1, ceilOf(std::max(a1, b1)) - 1);
    };
    forEachEdge(contours, [&](Point a, Point b) {
        int first, last;
        linesOf(a, b, first, last);
        for (int k = first; k <= last; ++k)
            ++starts[k + 1];
    });
    for (int k = 0; k < kDensityLines; ++k)
        starts[k + 1] += starts[k];
    crossings.resize(starts[kDensityLines]);
    std::array<int, kDensityLines> filled{};
    forEachEdge(contours, [&](Point a, Point b) {
        int first, last;
        linesOf(a, b, first, last);
        const float a1 = across ? a.y : a.x, b1 = across ? b.y : b.x;
        const float a0 = across ? a.x : a.y, b0 = across ? b.x : b.y;
        const float slope = (b0 - a0) / (b1 - a1);
        for (int k = first; k <= last; ++k) {
            const float at = lineLow + (k + 0.5f) / linesPerUnit;
            crossings[starts[k] + filled[k]++] = a0 + (at - a1) * slope;
        }
    });
    std::array<float, kSteps + 1> steps{};
    for (int k = 0; k < kDensityLines; ++k) {
        float* line = crossings.data() + starts[k];
        const int count = starts[k + 1] - starts[k];
        std::sort(line, line + count);
        // Runs alternate ink, gap, ink: the gaps lie between crossings 1-2, 3-4...
        for (int i = 1; i + 1 < count; i += 2) {
            const float from = (line[i] - low) * toSteps, to = (line[i + 1] - low) * toSteps;
            if (to > from)
                spreadEvenly(density, steps, from, to);
        }
    }
    float level = 0;
    for (int i = 0; i < kSteps; ++i) {
        level += steps[i];
        density[i] += level;
    }
}

void ShapeNormalisation::setMap(AxisMap& map, float low, float high,
                                const std::array<float, kSteps>& density, float outLow,
                                float outSpan) {
    map.low = low;
    map.scale = kSteps / (high - low);
    map.outLow = outLow;
    map.outSpan = outSpan;
    float total = 0;
    for (float d : density)
        total += d;
    const float densityShare = total > 0 ? (1 - kLinearShare) / total : 0;
    const float even = (total > 0 ? kLinearShare : 1.0f) / kSteps;
    map.at[0] = 0;
    for (int i = 0; i < kSteps; ++i)
        map.at[i + 1] = map.at[i] + density[i] * densityShare + even;
    map.at[kSteps] = 1; // against rounding
}

bool ShapeNormalisation::fit(const Contours& contours) {
    if (contours.points.size() < 3)
        return false;
    const Box box = inkBox(contours);
    const float width = box.right - box.left, height = box.top - box.bottom;
    if (!(width > 0) || !(height > 0))
        return false;
    // The shorter side keeps part of its proportion: a flat 一 stays flat
    // rather than filling the square, yet a glyph a little narrower than
    // another of the same character still lands alike.
    const float ratio = std::min(width, height) / std::max(width, height);
    const float shortSpan = std::sqrt(std::sin(static_cast<float>(M_PI) / 2 * ratio));
    const float xSpan = width >= height ? 1.0f : shortSpan;
    const float ySpan = height >= width ? 1.0f : shortSpan;
    std::array<float, kSteps> densityX{}, densityY{};
    spreadGaps(contours, box, true, densityX);
    spreadGaps(contours, box, false, densityY);
    setMap(x_, box.left, box.right, densityX, (1 - xSpan) / 2, xSpan);
    setMap(y_, box.bottom, box.top, densityY, (1 - ySpan) / 2, ySpan);
    return true;
}

} // namespace kestra::match
