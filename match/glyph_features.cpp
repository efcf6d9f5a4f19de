#include "match/glyph_features.h"

#include <algorithm>
#include <cmath>

namespace kestra::match {
namespace {

// Curves are cut finely enough that no piece strays more than 1/512 em from
// them, far below the zones' size.
constexpr float kFlatnessPerEm = 1.0f / 128;

} // namespace

bool GlyphFeatures::load(FT_Face face, FT_UInt glyph) {
    contours_.clear();
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_points == 0)
        return false;
    const float em = face->units_per_EM > 0 ? face->units_per_EM : 1000.0f;
    return flattenOutline(slot->outline, em * kFlatnessPerEm, contours_);
}

bool GlyphFeatures::raw(FT_Face face, FT_UInt glyph, RawFeatures& out) {
    return load(face, glyph) && raw(contours_, out);
}

bool GlyphFeatures::features(FT_Face face, FT_UInt glyph, Features& out) {
    return load(face, glyph) && features(contours_, out);
}

bool GlyphFeatures::raw(const Contours& contours, RawFeatures& out) {
    if (!placement_.fit(contours))
        return false;
    directionFeatures(contours, placement_, out);
    return true;
}

bool GlyphFeatures::features(const Contours& contours, Features& out) {
    if (!raw(contours, raw_))
        return false;
    project(raw_, out);
    return true;
}

void project(const RawFeatures& raw, Features& out) {
    // A local sum, which the compiler knows no other pointer reaches, so that
    // the loop runs in vector registers.
    float sum[kFeatureDims] = {};
    for (int i = 0; i < kRawDims; ++i) {
        const float centred = raw[i] - kProjectionMean[i];
        const float* row = kProjection[i];
        for (int j = 0; j < kFeatureDims; ++j)
            sum[j] += centred * row[j];
    }
    std::copy_n(sum, kFeatureDims, out.begin());
    float squares = 0;
    for (float v : out)
        squares += v * v;
    const float scale = squares > 0 ? 1 / std::sqrt(squares) : 0;
    for (float& v : out)
        v *= scale;
}

} // namespace kestra::match
