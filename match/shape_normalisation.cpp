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

struct Box {
    float left, bottom, right, top;
};

Box inkBox(const Contours& contours) {
    Box box{contours.points[0].x, contours.points[0].y, contours.points[0].x,
            contours.points[0].y};
    for (const Point& p : contours.points) {
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.bottom = std::min(box.bottom, p.y);
        box.top = std::max(box.top, p.y);
    }
    return box;
}

// Adds `amount` spread evenly over [from, to) (in steps) to the density.
void spreadEvenly(std::array<float, ShapeNormalisation::kSteps>& density, float from, float to,
                  float amount) {
    const float perStep = amount / (to - from);
    const int first = std::clamp(static_cast<int>(from), 0, ShapeNormalisation::kSteps - 1);
    const int last = std::clamp(static_cast<int>(to), 0, ShapeNormalisation::kSteps - 1);
    for (int i = first; i <= last; ++i) {
        const float overlap = std::min(to, static_cast<float>(i + 1)) - std::max(from, static_cast<float>(i));
        if (overlap > 0)
            density[i] += overlap * perStep;
    }
}

} // namespace

float ShapeNormalisation::AxisMap::place(float v) const {
    const float s = std::clamp((v - low) * scale, 0.0f, static_cast<float>(kSteps));
    const int i = std::min(static_cast<int>(s), kSteps - 1);
    const float f = s - i;
    return outLow + outSpan * (at[i] + (at[i + 1] - at[i]) * f);
}

// Each gap between two strokes on a line across the glyph adds one unit of
// density spread over the gap: the closer the strokes, the denser. The lines
// run across the axis being measured (`across`: lines at fixed y, measuring x).
void ShapeNormalisation::spreadGaps(const Contours& contours, bool across, float low, float high,
                                    std::array<float, kSteps>& density) {
    const Box box = inkBox(contours);
    const float lineLow = across ? box.bottom : box.left;
    const float lineHigh = across ? box.top : box.right;
    const float lineStep = (lineHigh - lineLow) / kDensityLines;
    const float toSteps = kSteps / (high - low);
    thread_local std::vector<std::vector<float>> crossings;
    crossings.resize(kDensityLines);
    for (auto& line : crossings)
        line.clear();
    size_t start = 0;
    for (size_t end : contours.ends) {
        for (size_t i = start; i < end; ++i) {
            const Point a = contours.points[i];
            const Point b = contours.points[i + 1 < end ? i + 1 : start];
            const float a1 = across ? a.y : a.x, b1 = across ? b.y : b.x;
            const float a0 = across ? a.x : a.y, b0 = across ? b.x : b.y;
            // Lines k at lineLow + (k + 0.5) * lineStep that the edge crosses.
            const float lo = std::min(a1, b1), hi = std::max(a1, b1);
            const int first = std::max(0, static_cast<int>(std::ceil((lo - lineLow) / lineStep - 0.5f)));
            const int last = std::min(kDensityLines - 1,
                                      static_cast<int>(std::ceil((hi - lineLow) / lineStep - 0.5f)) - 1);
            for (int k = first; k <= last; ++k) {
                const float at = lineLow + (k + 0.5f) * lineStep;
                crossings[k].push_back(a0 + (at - a1) / (b1 - a1) * (b0 - a0));
            }
        }
        start = end;
    }
    for (auto& line : crossings) {
        std::sort(line.begin(), line.end());
        // Runs alternate ink, gap, ink: the gaps lie between crossings 1-2, 3-4...
        for (size_t i = 1; i + 1 < line.size(); i += 2) {
            const float from = (line[i] - low) * toSteps, to = (line[i + 1] - low) * toSteps;
            if (to > from)
                spreadEvenly(density, from, to, 1.0f);
        }
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
    spreadGaps(contours, true, box.left, box.right, densityX);
    spreadGaps(contours, false, box.bottom, box.top, densityY);
    setMap(x_, box.left, box.right, densityX, (1 - xSpan) / 2, xSpan);
    setMap(y_, box.bottom, box.top, densityY, (1 - ySpan) / 2, ySpan);
    return true;
}

} // namespace kestra::match
