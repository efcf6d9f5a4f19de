// The features a glyph is matched by: its direction features (see
// direction_features.h), projected onto the directions in which glyphs of one
// character from different typefaces differ least against those in which
// different characters differ most (learned_projection.h), of unit length. The
// cosine of two glyphs' features is their similarity.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>

#include "match/direction_features.h"
#include "match/learned_projection.h"
#include "match/outline_contours.h"
#include "match/shape_normalisation.h"

namespace kestra::match {

using Features = std::array<float, kFeatureDims>;

// Reuses its buffers from glyph to glyph; one per thread.
class GlyphFeatures {
  public:
    // The raw direction features of a glyph of `face`, placed by its own
    // shape. False when the glyph has no outline (an empty glyph, a bitmap or
    // a glyph FreeType cannot load).
    bool raw(FT_Face face, FT_UInt glyph, RawFeatures& out);
    bool features(FT_Face face, FT_UInt glyph, Features& out);

    // The same from contours already at hand (any units).
    bool raw(const Contours& contours, RawFeatures& out);
    bool features(const Contours& contours, Features& out);

  private:
    bool load(FT_Face face, FT_UInt glyph);

    Contours contours_;
    ShapeNormalisation placement_;
    RawFeatures raw_{};
};

// Projects raw features and brings them to unit length.
void project(const RawFeatures& raw, Features& out);

} // namespace kestra::match
